// Stored connection strings as each driver receives them, and the SQL Server drivers this machine prefers.
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/odbcsetup.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The installed drivers, preferred first, and the text each kind of driver gets from a stored string, read as the
    // OLE DB provider reads it: the text after DRIVER={...}; or, after '!', why the string is refused.
    void driverEStringhe()
    {
        const QStringList preferiti = {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
            "ODBC Driver 13.1 for SQL Server", "SQL Server Native Client 11.0", "SQL Native Client", "SQL Server",
            "FreeTDS"};
        QStringList installati = preferiti;
        std::rotate(installati.begin(), installati.begin() + 3, installati.end());
        installati.insert(2, "SQLite3");
        OdbcSetup::Machine machine{installati, {"MAGAZZINO"}, {}, {}};
        OdbcSetup::setFake(&machine);
        QCOMPARE(OdbcSetup::sqlServerDrivers(), preferiti);
        const QString d18 = preferiti[0], d17 = preferiti[1], snac = preferiti[3], ss = preferiti[5];
        const QString tds = preferiti[6], s = u"Provider=SQLOLEDB;Data Source=s;"_s;
        const QStringList microsoft = {d18, d17, snac, ss};
        const QString plain = u"Encrypt=no;TrustServerCertificate=yes;"_s;
        const QString tds74 = u"TDS_Version=7.4;ClientCharset=UTF-8;"_s;
        const struct {
            QStringList drivers;
            QString stored, odbc;
        } casi[] = {{microsoft, "Provider=SQLOLEDB;Data Source=tcp:10.0.0.5,1455;UID=sa;PWD=ab}c;DATABASE=Ventrox",
                        "SERVER=tcp:10.0.0.5,1455;" + plain + "UID=sa;PWD={ab}}c};DATABASE=Ventrox;"},
            {{d17},
                "Provider=SQLNCLI11; data source = NEGOZIO\\SQLEXPRESS ;User ID=op;Password=\"x;\"\"y\";"
                "PROVIDER=Oracle;Initial Catalog=' Db;''s ';PWD='a\"b';Encrypt = True;TrustServerCertificate=True",
                "SERVER=NEGOZIO\\SQLEXPRESS;Encrypt=yes;TrustServerCertificate=yes;UID=op;PWD=a\"b;DATABASE={ Db;'s "
                "};"},
            {{tds}, s + "UID=sa;PWD=\" x{;\"", "SERVER=s;" + tds74 + "UID=sa;PWD={ x{;};"},
            {{tds}, s + "UID=sa;PWD=\"a};b\"", "!FreeTDS non riceve un valore di PWD"},
            {{tds},
                "Provider=SQLOLEDB;Data Source=magazzino;UID=sa;PWD={x};DATABASE=V",   // braces are no quotes
                "SERVERNAME=magazzino;" + tds74 + "UID=sa;PWD={{x}};DATABASE=V;"},
            {{tds}, "Provider=SQLOLEDB;Data Source=tcp:MAGAZZINO;UID=sa", "SERVER=MAGAZZINO;" + tds74 + "UID=sa;PWD=;"},
            {{tds}, "Provider=SQLOLEDB;Data Source=MAGAZZINO,1455",
                "SERVER=MAGAZZINO;PORT=1455;" + tds74 + "UID=;PWD=;"},
            // encryption, every spelling
            {{d18}, s + "Encrypt=Mandatory;UID=a;PWD=b", "SERVER=s;Encrypt=yes;TrustServerCertificate=no;UID=a;PWD=b;"},
            {{ss}, s + "UID= sa;PWD=;Use Encryption for Data=True",
                "SERVER=s;Encrypt=yes;TrustServerCertificate=no;UID=sa;PWD=;"},
            {{d17, tds}, s + "Encrypt=strict", "!Encrypt=strict richiede ODBC Driver 18"},
            {{d18, tds}, s + "Encrypt=forse", "!Valore non valido per Encrypt: forse"},
            {{d18}, s + "Encrypt=yes;Host Name In Certificate=srv.shop.lan",
                "SERVER=s;Encrypt=yes;TrustServerCertificate=no;HostNameInCertificate=srv.shop.lan;UID=;PWD=;"},
            {{d17}, s + "Encrypt=yes;HostNameInCertificate=srv.shop.lan",
                "!Host Name In Certificate richiede ODBC Driver 18"},
            {{tds}, s + "Encrypt=optional;Use Encryption for Data=yes;TrustServerCertificate=yes",
                "SERVER=s;" + tds74 + "Encryption=require;UID=;PWD=;"},
            {{tds}, s + "Encrypt=yes", "!FreeTDS verifica il certificato del server solo per"},
            // the Windows login, the named pipes, the address, the rest of the keywords
            {microsoft, s + "Integrated Security=SSPI;User ID=sa;Password=x;Initial Catalog=V",
                "SERVER=s;" + plain + "Trusted_Connection=Yes;DATABASE=V;"},
            {{tds}, s + "Trusted_Connection=yes;UID=sa", "SERVER=s;" + tds74 + "Trusted_Connection=Yes;"},
            {microsoft, s + "Network Library=DBNMPNTW;Network Address=10.0.0.9,1433",
                "SERVER=s;Address=10.0.0.9,1433;Network=DBNMPNTW;" + plain + "UID=;PWD=;"},
            {{tds}, s + "Network Library=DBNMPNTW", "!FreeTDS si collega solo in TCP/IP"},
            {{tds}, s + "Net=dbmssocn;Addr=10.0.0.9,1433", "SERVER=10.0.0.9;PORT=1433;" + tds74 + "UID=;PWD=;"},
            {{d18},
                s
                    + "Application Name=Inventario;Workstation ID=CASSA 1;Current Language=Italiano;"
                      "Auto Translate=False;MARS Connection=True;Persist Security Info=True;Packet Size=8192;"
                      "Connect Timeout=7;X=y",
                "SERVER=s;" + plain
                    + "UID=;PWD=;APP=Inventario;WSID=CASSA 1;Language=Italiano;AutoTranslate=no;"
                      "MARS_Connection=yes;"},
            {{tds}, s + "APP=Inventario;WSID=CASSA 1;Language=Italiano;AutoTranslate=no;PacketSize=8192",
                "SERVER=s;" + tds74 + "UID=;PWD=;PacketSize=8192;APP=Inventario;WSID=CASSA 1;Language=Italiano;"},
            // ODBC strings go as they are, with the ';' that ends their last value
            {{}, "Driver={FreeTDS};Server=h;PWD={a;\"b}", "Driver={FreeTDS};Server=h;PWD={a;\"b};ClientCharset=UTF-8;"},
            {{}, "DSN=Gestionale;UID=sa;", "DSN=Gestionale;UID=sa;"},
            {{"SQLite3"}, s + "UID=sa;PWD=x", "!Nessun driver ODBC per SQL Server"},
            {{d18}, "Provider=SQLOLEDB;UID=sa", "!Server non specificato"},
            {{d18}, "Provider=Oracle;Data Source=x", "!Provider non trovato: Oracle"},
            {{d18}, s + "PWD=\"x", "!virgolette non chiuse nel valore di PWD"},
            {{d18}, "", "!Stringa di connessione non valida"}};
        for (const auto &c : casi) {
            for (const QString &driver : c.drivers.isEmpty() ? QStringList{QString()} : c.drivers) {
                machine.drivers = c.drivers.isEmpty() ? QStringList() : QStringList{driver};
                const ConnectionTarget t = ConnString::resolve(c.stored);
                const QString got = t.kind == ConnectionTarget::Invalid ? u"!"_s + t.error
                                    : c.drivers.isEmpty() || driver == "SQLite3"
                                        ? t.databaseName
                                        : t.databaseName.mid(t.databaseName.indexOf(u"};"_s) + 2);
                QVERIFY2(c.odbc.startsWith(u'!') ? got.startsWith(u'!') && got.contains(c.odbc.mid(1)) : got == c.odbc,
                    qPrintable(driver + u": "_s + c.stored + u"\n  -> "_s + got));
            }
        }
        machine.drivers = {d18};   // the attributes beside the text
        const ConnectionTarget t = ConnString::resolve(casi[20].stored);
        QCOMPARE(QString::number(t.loginTimeout) + t.options, u"7SQL_ATTR_PACKET_SIZE=8192"_s);
        OdbcSetup::setFake(nullptr);
        QVERIFY(ConnString::resolve(u"Driver=SQLite3;Database=/tmp/x.db"_s).sqliteDialect);
    }
};
INVENTARIO_TEST(TestDb)
#include "tst_db.moc"
