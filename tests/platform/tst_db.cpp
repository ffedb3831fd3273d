// The database layer over SQLite, over ODBC (through the SQLite ODBC driver)
// and the resolution of SQL Server connection strings.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/odbcsetup.h"
#include "platform/shell.h"

#include <QFile>
#include <QTemporaryFile>
#include <QTest>

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The installed drivers, preferred first, and the ODBC text each kind
    // of driver gets from a stored string.
    void sqlServerDriversAndStrings()
    {
        const QStringList preferred = {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
                                       "ODBC Driver 13.1 for SQL Server", "SQL Server Native Client 11.0",
                                       "SQL Native Client", "SQL Server", "FreeTDS"};
        QStringList installed = preferred;
        std::rotate(installed.begin(), installed.begin() + 3, installed.end());
        installed.insert(2, "SQLite3");
        OdbcSetup::Machine machine{installed, {"MAGAZZINO"}, {}, {}};
        OdbcSetup::setFake(&machine);
        QCOMPARE(OdbcSetup::sqlServerDrivers(), preferred);
        std::reverse(machine.drivers.begin(), machine.drivers.end());
        QCOMPARE(OdbcSetup::sqlServerDrivers(), preferred);

        const struct {
            QStringList drivers;
            QString stored, odbc;
        } cases[] = {
            {installed, "Provider=SQLOLEDB;Data Source=tcp:10.0.0.5,1455;UID=sa;PWD=ab}c;DATABASE=Ventrox",
             "DRIVER={ODBC Driver 18 for SQL Server};SERVER=10.0.0.5,1455;Encrypt=no;UID=sa;PWD={ab}}c};DATABASE=Ventrox"},
            {{"ODBC Driver 17 for SQL Server"},
             "Provider=SQLNCLI11;Data Source=NEGOZIO\\SQLEXPRESS;User ID=op;Password=\"x;\"\"y\";Initial Catalog={Db}}};"
             "Encrypt=True;TrustServerCertificate=True",
             "DRIVER={ODBC Driver 17 for SQL Server};SERVER=NEGOZIO\\SQLEXPRESS;Encrypt=yes;TrustServerCertificate=yes;"
             "UID=op;PWD={x;\"y};DATABASE={Db}}}"},
            {{"SQL Server"}, "Provider=SQLOLEDB;Data Source=srv;UID=sa;PWD=;Use Encryption for Data=True",
             "DRIVER={SQL Server};SERVER=srv;Encrypt=yes;UID=sa;PWD="},
            {{"FreeTDS", "SQLite3"}, "Provider=SQLOLEDB;Data Source=magazzino;UID=sa;PWD=x;DATABASE=V",
             "DRIVER={FreeTDS};SERVERNAME=magazzino;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x;DATABASE=V"},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=tcp:MAGAZZINO,1500;UID=sa;PWD=x",
             "DRIVER={FreeTDS};SERVER=MAGAZZINO;PORT=1500;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x"},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=NEGOZIO\\SQLEXPRESS;UID=sa;PWD=x",
             "DRIVER={FreeTDS};SERVER=NEGOZIO\\SQLEXPRESS;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x"},
            {{}, "Driver={FreeTDS};Server=h;Port=1;", "Driver={FreeTDS};Server=h;Port=1;ClientCharset=UTF-8"},
            {{}, "Driver=FreeTDS;Server=h;ClientCharset=ISO-8859-1", "Driver=FreeTDS;Server=h;ClientCharset=ISO-8859-1"},
            {{"SQLite3"}, "Provider=SQLOLEDB;Data Source=srv;UID=sa;PWD=x", ""},
        };
        for (const auto &c : cases) {
            machine.drivers = c.drivers;
            const ConnectionTarget t = ConnString::resolve(c.stored);
            QCOMPARE(t.databaseName, c.odbc);
            QCOMPARE(t.kind == ConnectionTarget::Invalid, c.odbc.isEmpty());
        }
        OdbcSetup::setFake(nullptr);
    }
    void otherStrings()
    {
        QCOMPARE(ConnString::resolve(QStringLiteral("Provider=Oracle;Data Source=x")).kind, ConnectionTarget::Invalid);
        QCOMPARE(ConnString::resolve(QStringLiteral("garbage")).kind, ConnectionTarget::Invalid);
        QCOMPARE(ConnString::resolve(QString()).kind, ConnectionTarget::Invalid);
        const ConnectionTarget odbc = ConnString::resolve(QStringLiteral("Driver=SQLite3;Database=/tmp/x.db"));
        QCOMPARE(odbc.kind, ConnectionTarget::Odbc);
        QCOMPARE(odbc.databaseName, QStringLiteral("Driver=SQLite3;Database=/tmp/x.db"));
        QVERIFY(odbc.sqliteDialect);
        Fixture::Program program;
        const ConnectionTarget rel = ConnString::resolve(QStringLiteral("Provider=SQLite;Data Source=test.db"));
        QCOMPARE(rel.databaseName, program.dbPath());
    }
    void topBecomesLimitOnSqlite()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        QCOMPARE(c.adapt(QStringLiteral("SELECT TOP 50 * FROM   InventarioReale")),
                 QStringLiteral("SELECT * FROM   InventarioReale LIMIT 50"));
        QCOMPARE(c.adapt(QStringLiteral("SELECT TOP 50 * FROM   InventarioReale ORDER BY IDInventarioReale DESC")),
                 QStringLiteral("SELECT * FROM   InventarioReale ORDER BY IDInventarioReale DESC LIMIT 50"));
        QCOMPARE(c.adapt(QStringLiteral("SELECT * FROM Prodotti")), QStringLiteral("SELECT * FROM Prodotti"));
    }
    void recordsetsAndStatements()
    {
        Fixture::Program program;
        for (int i = 1; i <= 3; ++i)
            program.addProduct(i, QStringLiteral("C%1").arg(i), QStringLiteral("PRODOTTO %1").arg(i), QString(), 1.5 * i, 1, 0);
        Connection c;
        c.open(program.connectionString());
        Recordset rs(c, QStringLiteral("SELECT TOP 2 IDprodotto, CodInterno FROM Prodotti ORDER BY IDProdotto"));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.field(QStringLiteral("idPRODOTTO")).toInt(), 1);   // names without regard to case
        QCOMPARE(rs.field(QStringLiteral("codinterno")).toString(), QStringLiteral("C1"));
        rs.moveNext();
        QCOMPARE(rs.field(QStringLiteral("IdProdotto")).toInt(), 2);
        rs.moveNext();
        QVERIFY(rs.eof());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs.field(QStringLiteral("Nessuno")));
        try {
            c.execute(QStringLiteral("UPDATE Nessuna SET x = 1"));
            QFAIL("a rejected statement must throw");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), ErrNo::DbStatementFailure);
            QVERIFY(e.description().contains(QStringLiteral("Nessuna")));
        }
    }
    void transactionRollsBackOnError()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        try {
            Transaction t(c);
            c.execute(QStringLiteral("INSERT INTO Prodotti (IDProdotto) VALUES (7)"));
            throw RuntimeError(1, QStringLiteral("boom"));
        } catch (const RuntimeError &) {
        }
        QCOMPARE(program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti")).toInt(), 0);
        {
            Transaction t(c);
            c.execute(QStringLiteral("INSERT INTO Prodotti (IDProdotto) VALUES (8)"));
            t.commit();
        }
        QCOMPARE(program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti")).toInt(), 1);
    }
    void missingOrForeignFilesDoNotOpen()
    {
        Fixture::Program program;
        Connection c;
        const QString missing = program.file(QStringLiteral("nessuno.db"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.open(QStringLiteral("Provider=SQLite;Data Source=") + missing));
        QVERIFY(!QFile::exists(missing));   // never created empty
        QVERIFY(!c.isOpen());
        QFile garbage(program.file(QStringLiteral("garbage.db")));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.open(QStringLiteral("Provider=SQLite;Data Source=garbage.db")));
        QVERIFY(!Db::testConnection(QStringLiteral("Provider=SQLite;Data Source=garbage.db"), 3, 5000).isEmpty());
        QVERIFY(Db::testConnection(program.connectionString(), 3, 5000).isEmpty());
    }
    void fileDeletedOrReplacedUnderTheConnection()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        QVERIFY(c.isOpen());
        // replaced by another file: what the program writes must not go to the old one
        QVERIFY(QFile::rename(program.dbPath(), program.dbPath() + QStringLiteral(".old")));
        QVERIFY(QFile::copy(program.dbPath() + QStringLiteral(".old"), program.dbPath()));
        QVERIFY(!c.isOpen());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.execute(QStringLiteral("DELETE FROM Prodotti")));
        c.open(program.connectionString());
        QVERIFY(c.isOpen());
        QVERIFY(QFile::remove(program.dbPath()));
        QVERIFY(!c.isOpen());
    }
    void odbcThroughTheSqliteDriver()
    {
        Fixture::Program program;
        program.addProduct(1, QStringLiteral("A1"), QStringLiteral("CAFFE' MACINATO"), QStringLiteral("800"), 3.99, 2.5, 12.5);
        Connection c;
        c.open(QStringLiteral("Driver=SQLite3;Database=") + program.dbPath());
        QVERIFY(c.isOpen());
        QVERIFY(c.sqlite());
        Recordset rs(c, QStringLiteral("Select TOP 1 * FROM Prodotti WHERE Descrizione Like 'CAFFE'' %'"));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.field(QStringLiteral("Giacenza")).toDouble(), 12.5);
        c.execute(QStringLiteral("UPDATE Prodotti SET Giacenza = 3 WHERE IDProdotto = 1"));
        QCOMPARE(program.scalar(QStringLiteral("SELECT Giacenza FROM Prodotti")).toDouble(), 3.0);
    }
};
INVENTARIO_TEST(TestDb)
#include "tst_db.moc"
