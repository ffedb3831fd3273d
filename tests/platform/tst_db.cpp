// The database layer over SQLite, over ODBC (through the SQLite ODBC driver)
// and the connection strings, with the SQL Server drivers this machine has.
#include "fixture/fixture.h"
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/odbcsetup.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The installed drivers, preferred first, and the ODBC text each kind
    // of driver gets from a stored string.
    void driverEStringhe()
    {
        const QStringList preferiti = {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
                                       "ODBC Driver 13.1 for SQL Server", "SQL Server Native Client 11.0",
                                       "SQL Native Client", "SQL Server", "FreeTDS"};
        QStringList installati = preferiti;
        std::rotate(installati.begin(), installati.begin() + 3, installati.end());
        installati.insert(2, "SQLite3");
        OdbcSetup::Machine machine{installati, {"MAGAZZINO"}, {}, {}};
        OdbcSetup::setFake(&machine);
        QCOMPARE(OdbcSetup::sqlServerDrivers(), preferiti);
        std::reverse(machine.drivers.begin(), machine.drivers.end());
        QCOMPARE(OdbcSetup::sqlServerDrivers(), preferiti);
        const struct { QStringList drivers; QString stored, odbc; } casi[] = {
            {installati, "Provider=SQLOLEDB;Data Source=tcp:10.0.0.5,1455;UID=sa;PWD=ab}c;DATABASE=Ventrox",
             "DRIVER={ODBC Driver 18 for SQL Server};SERVER=10.0.0.5,1455;Encrypt=no;TrustServerCertificate=yes;UID=sa;PWD={ab}}c};DATABASE=Ventrox"},
            {installati, "Provider=SQLOLEDB;Data Source=s;Encrypt=Mandatory;UID=a;PWD=b",
             "DRIVER={ODBC Driver 18 for SQL Server};SERVER=s;Encrypt=yes;TrustServerCertificate=no;UID=a;PWD=b"},
            {installati, "Provider=MSOLEDBSQL;Data Source=s;Use Encryption for Data=Strict;Trust Server Certificate=True;UID=a;PWD=b",
             "DRIVER={ODBC Driver 18 for SQL Server};SERVER=s;Encrypt=strict;UID=a;PWD=b"},
            {{"ODBC Driver 17 for SQL Server"}, "Provider=SQLOLEDB;Data Source=s;Encrypt=strict;UID=a;PWD=b", ""},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=s;Encrypt=strict;UID=a;PWD=b", ""},
            {{"ODBC Driver 17 for SQL Server"},
             "Provider=SQLNCLI11;Data Source=NEGOZIO\\SQLEXPRESS;User ID=op;Password=\"x;\"\"y\";Initial Catalog={Db}}};"
             "Encrypt=True;TrustServerCertificate=True",
             "DRIVER={ODBC Driver 17 for SQL Server};SERVER=NEGOZIO\\SQLEXPRESS;Encrypt=yes;TrustServerCertificate=yes;"
             "UID=op;PWD={x;\"y};DATABASE={Db}}}"},
            {{"SQL Server"}, "Provider=SQLOLEDB;Data Source=srv;UID= sa;PWD=;Use Encryption for Data=True",
             "DRIVER={SQL Server};SERVER=srv;Encrypt=yes;TrustServerCertificate=no;UID=sa;PWD="},
            {{"FreeTDS", "SQLite3"}, "Provider=SQLOLEDB;Data Source=magazzino;UID=sa;PWD=x;DATABASE=V",
             "DRIVER={FreeTDS};SERVERNAME=magazzino;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x;DATABASE=V"},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=tcp:MAGAZZINO;UID=sa;PWD= x",   // a host, though a section too
             "DRIVER={FreeTDS};SERVER=MAGAZZINO;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x"},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=MAGAZZINO,1455;UID=sa;PWD=x",   // a section's name with a port
             "DRIVER={FreeTDS};SERVER=MAGAZZINO;PORT=1455;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD=x"},
            {{"FreeTDS"}, "Provider=SQLOLEDB;Data Source=NEGOZIO\\SQLEXPRESS;UID=sa;PWD={ x }",
             "DRIVER={FreeTDS};SERVER=NEGOZIO\\SQLEXPRESS;TDS_Version=7.4;ClientCharset=UTF-8;UID=sa;PWD={ x }"},
            {{}, "Driver={FreeTDS};Server=h;Port=1;", "Driver={FreeTDS};Server=h;Port=1;ClientCharset=UTF-8"},
            {{}, "Driver=FreeTDS;Server=h;ClientCharset=ISO-8859-1", "Driver=FreeTDS;Server=h;ClientCharset=ISO-8859-1"},
            {{}, "DSN=Gestionale;UID=sa", "DSN=Gestionale;UID=sa"},
            {{"SQLite3"}, "Provider=SQLOLEDB;Data Source=srv;UID=sa;PWD=x", ""},
            {installati, "Provider=SQLOLEDB;UID=sa", ""}, {installati, "Provider=Oracle;Data Source=x", ""},
            {installati, "garbage", ""}, {installati, "", ""}};
        for (const auto &c : casi) {
            machine.drivers = c.drivers;
            const ConnectionTarget t = ConnString::resolve(c.stored);
            QCOMPARE(t.databaseName, c.odbc);
            QCOMPARE(t.kind == ConnectionTarget::Invalid, c.odbc.isEmpty());
        }
        machine.drivers = {"ODBC Driver 17 for SQL Server"};   // what the dialog's box says
        QCOMPARE(ConnString::resolve(u"Provider=SQLOLEDB;Data Source=s;Encrypt=Strict"_s).error,
                 u"Encrypt=strict richiede ODBC Driver 18 for SQL Server o successivo; il driver in uso \u00e8 ODBC Driver 17 for SQL Server"_s);
        OdbcSetup::setFake(nullptr);
        Fixture::Program program;   // a relative file is the program folder's
        QCOMPARE(ConnString::resolve(u"Provider=SQLite;Data Source=test.db"_s).databaseName, program.dbPath());
        QVERIFY(ConnString::resolve(u"Driver=SQLite3;Database=/tmp/x.db"_s).sqliteDialect);
    }

    // The ODBC path through the SQLite ODBC driver. A missing file is never
    // created empty, a file that is no database does not open; a statement
    // refused throws; a file deleted or replaced under the connection closes it.
    void fileMancantiOSostituiti()
    {
        Fixture::Program program;
        program.addProduct(1, u"A1"_s, u"CAFFE' MACINATO"_s, u"800"_s, 3.99, 2.5, 12.5);
        Connection o;   // through the SQLite ODBC driver
        o.open(u"Driver=SQLite3;Database="_s + Fixture::odbcPath(program.dbPath()));
        QVERIFY(o.isOpen() && o.sqlite());
        Recordset rs(o, u"Select TOP 1 * FROM Prodotti WHERE Descrizione Like 'CAFFE'' %'"_s);
        QCOMPARE(rs.field(u"giacenza"_s).toDouble(), 12.5);   // TOP read by SQLite, names in any case
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs.fieldIndex(u"Nessuno"_s));
        o.execute(u"UPDATE Prodotti SET Giacenza = 3 WHERE IDProdotto = 1"_s);
        QCOMPARE(program.scalar(u"SELECT Giacenza FROM Prodotti"_s).toDouble(), 3.0);
        Connection c;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.open(u"Provider=SQLite;Data Source=nessuno.db"_s));
        QVERIFY(!QFile::exists(program.file(u"nessuno.db"_s)) && !c.isOpen());
        QFile garbage(program.file(u"garbage.db"_s));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096);
        garbage.close();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.open(u"Provider=SQLite;Data Source=garbage.db"_s));
        QVERIFY(!Db::testConnection(u"Provider=SQLite;Data Source=garbage.db"_s, 3, 5000).isEmpty());
        QVERIFY(Db::testConnection(program.connectionString(), 3, 5000).isEmpty());
        START_RECORDER(muta, QByteArray(), true);   // a server that never answers: the wait gives up before the driver does
        bool scaduto = false;
        const auto inizio = std::chrono::steady_clock::now();   // FreeTDS itself gives up after 6 s or more
        QCOMPARE(Db::testConnection(u"Driver={FreeTDS};Server=127.0.0.1;Port=%1"_s.arg(muta.port()), 2, 300, &scaduto),
                 u"Timeout scaduto"_s);
        QVERIFY(scaduto && std::chrono::steady_clock::now() - inizio < std::chrono::seconds(2));
        c.open(program.connectionString());
        try {
            c.execute(u"UPDATE Nessuna SET x = 1"_s);
            QFAIL("a rejected statement must throw");
        } catch (const RuntimeError &e) {   // the driver's text alone: the statement goes to the debug output
            QCOMPARE(e.number(), ErrNo::DbStatementFailure);
            QCOMPARE(e.description(), u"no such table: Nessuna"_s);
        }
#ifdef Q_OS_WIN
        // Windows keeps the open database from being renamed or removed.
        QVERIFY(!QFile::rename(program.dbPath(), program.dbPath() + u".old"_s));
        QVERIFY(!QFile::remove(program.dbPath()) && c.isOpen());
#else
        QVERIFY(QFile::rename(program.dbPath(), program.dbPath() + u".old"_s));
        QVERIFY(QFile::copy(program.dbPath() + u".old"_s, program.dbPath()));
        QVERIFY(!c.isOpen());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.execute(u"DELETE FROM Prodotti"_s));
        c.open(program.connectionString());
        QVERIFY(c.isOpen() && QFile::remove(program.dbPath()) && !c.isOpen());
#endif
    }
};
INVENTARIO_TEST(TestDb)
#include "tst_db.moc"
