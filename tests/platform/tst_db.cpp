// The database layer over SQLite, over ODBC (through the SQLite ODBC driver)
// and the resolution of SQL Server connection strings.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/shell.h"

#include <QFile>
#include <QTemporaryFile>
#include <QTest>

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sqlServerStrings()
    {
        const ConnectionTarget t = ConnString::resolve(QStringLiteral(
            "Provider=SQLOLEDB;Data Source=NEGOZIO\\SQLEXPRESS;UID=sa;PWD=ab}c;DATABASE=Ventrox"));
        QCOMPARE(t.kind, ConnectionTarget::SqlServer);
        QCOMPARE(t.driver, QStringLiteral("QODBC"));
        QVERIFY(t.databaseName.contains(QStringLiteral("SERVER=NEGOZIO\\SQLEXPRESS")));
        QVERIFY(t.databaseName.contains(QStringLiteral("DATABASE=Ventrox")));
        QVERIFY(t.databaseName.contains(QStringLiteral("PWD={ab}}c}")));
        QVERIFY(!t.sqliteDialect);

        const ConnectionTarget p = ConnString::resolve(QStringLiteral(
            "Provider=SQLNCLI11;Data Source=10.0.0.5,1455;User ID=op;Password={x;y};Initial Catalog=Db"));
        QCOMPARE(p.kind, ConnectionTarget::SqlServer);
        QVERIFY(p.databaseName.contains(QStringLiteral("UID=op")));
        QVERIFY(p.databaseName.contains(QStringLiteral("PWD={x;y}")));   // braced: it holds a ';'
        QVERIFY(p.databaseName.contains(QStringLiteral("PORT=1455")) || p.databaseName.contains(QStringLiteral("10.0.0.5,1455")));
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
