// What only a Windows station has: drivers, aliases and data sources in the registry (the keys written are put back),
// NTFS's file identity, the program's folder, files in binary mode.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/parametri.h"
#include "platform/connstring.h"
#include "platform/fileidentity.h"
#include "platform/odbcsetup.h"
#include "platform/shell.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kDrivers = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers"_s;
const QString kAliases = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo"_s;
const QString kSystemDsn = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI"_s;
const QString kUserDsn = u"HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI"_s;

// The values under `key` now, put back when the guard ends.
auto kept(const QString &key)
{
    QMap<QString, QVariant> values;
    QSettings now(key, QSettings::NativeFormat);
    for (const QString &name : now.allKeys())
        values.insert(name, now.value(name));
    return qScopeGuard([key, values] {
        QSettings r(key, QSettings::NativeFormat);
        r.clear();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
    });
}
}   // namespace

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariable("INVENTARIO_WINDOWS_TEST") != "1"_L1)
            QFAIL("INVENTARIO_WINDOWS_TEST=1 is not set: this test rewrites the machine's ODBC registry keys; run it "
                  "through scripts/windows.sh (a Wine prefix of its own) or on a test machine");
        QVERIFY(QSettings(kDrivers, QSettings::NativeFormat).isWritable());
    }

    // The drivers the registry lists as installed, preferred first, and the string a stored connection becomes with
    // each set.
    void driversDalRegistro()
    {
        const auto restore = kept(kDrivers);
        const struct {
            QStringList installed, expected;
            QString odbcStart;
        } casi[] = {{{"SQL Server", "SQL Server Native Client 11.0", "ODBC Driver 17 for SQL Server",
                         "ODBC Driver 18 for SQL Server", "Microsoft Access Driver (*.mdb)"},
                        {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
                            "SQL Server Native Client 11.0", "SQL Server"},
                        "DRIVER={ODBC Driver 18 for SQL Server};SERVER=NEGOZIO\\SQLEXPRESS;"},
            {{"SQL Server"}, {"SQL Server"}, "DRIVER={SQL Server};SERVER=NEGOZIO\\SQLEXPRESS;"}, {{}, {}, QString()}};
        for (const auto &c : casi) {
            QSettings drivers(kDrivers, QSettings::NativeFormat);
            drivers.clear();
            for (const QString &name : c.installed)
                drivers.setValue(name, u"Installed"_s);
            drivers.sync();
            QCOMPARE(OdbcSetup::sqlServerDrivers(), c.expected);
            const ConnectionTarget t =
                ConnString::resolve(u"Provider=SQLOLEDB;Data Source=NEGOZIO\\SQLEXPRESS;UID=sa;PWD=x;DATABASE=V"_s);
            QVERIFY2(
                c.odbcStart.isEmpty() ? t.kind == ConnectionTarget::Invalid : t.databaseName.startsWith(c.odbcStart),
                qPrintable(t.databaseName + t.error));
        }
        // A driver the registry lists as not installed is not there.
        QSettings(kDrivers, QSettings::NativeFormat).setValue(u"ODBC Driver 18 for SQL Server"_s, u"0"_s);
        QVERIFY(OdbcSetup::sqlServerDrivers().isEmpty());
    }

    // Client aliases and data sources, the system's and the user's.
    void aliasEOrigini()
    {
        const auto aliases = kept(kAliases), sistema = kept(kSystemDsn), utente = kept(kUserDsn);
        const struct {
            QString key, name, value;
        } valori[] = {{kAliases, u"MAGAZZINO"_s, u"DBMSSOCN,192.168.1.20,1433"_s},
            {kSystemDsn, u"ODBC Data Sources/Gestionale"_s, u"SQL Server"_s},
            {kSystemDsn, u"Gestionale/Server"_s, u"SRV\\VENTROX"_s},
            {kSystemDsn, u"Gestionale/Database"_s, u"Ventrox"_s},
            {kUserDsn, u"ODBC Data Sources/Cassa"_s, u"ODBC Driver 17 for SQL Server"_s},
            {kUserDsn, u"Cassa/Server"_s, u"cassa1"_s}, {kUserDsn, u"Cassa/Port"_s, u"1500"_s}};
        for (const auto &v : valori)
            QSettings(v.key, QSettings::NativeFormat).setValue(v.name, v.value);
        QVERIFY(OdbcSetup::aliases().contains(u"MAGAZZINO"_s));
        QStringList found;
        for (const OdbcSetup::DataSource &d : OdbcSetup::dataSources())
            found << d.name + u" | "_s + d.driver + u" | "_s + d.server;
        QVERIFY2(found.contains(u"Gestionale | SQL Server | SRV\\VENTROX"_s), qPrintable(found.join(u"; "_s)));
        QVERIFY2(
            found.contains(u"Cassa | ODBC Driver 17 for SQL Server | cassa1,1500"_s), qPrintable(found.join(u"; "_s)));
    }

    // The identity of a file follows the file, not its name; the program's folder is the executable's; term.ini and the
    // logs are written with CR LF alone, where a text-mode write would give CR CR LF.
    void fileECartella()
    {
        Fixture::Program program;
        const QString a = program.file(u"a.db"_s), b = program.file(u"b.db"_s);
        QFile f(a);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        f.close();
        const auto first = fileIdentity(a);
        QVERIFY(first && first->file != 0);
        QVERIFY(fileIdentity(a) == first);
        QVERIFY(QFile::copy(a, b) && fileIdentity(b) != first);
        QVERIFY(QFile::rename(a, program.file(u"c.db"_s)) && fileIdentity(program.file(u"c.db"_s)) == first);
        QVERIFY(!fileIdentity(a));

        Modulo::ScriviParametro(u"StrConnPrincipale"_s, u"Provider=SQLite;Data Source=demo.db"_s);
        const QByteArray ini = program.readFile(u"term.ini"_s);
        QVERIFY2(ini.endsWith("\r\n") && !ini.contains("\r\r"), ini.toHex().constData());

        Shell::setProgramFolder(QString());
        QCOMPARE(Shell::programFolder(), QCoreApplication::applicationDirPath());
        QVERIFY(QFileInfo(Shell::programFile(u"term.ini"_s)).absolutePath()
                == QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
        Shell::setProgramFolder(program.folder());
    }
};
INVENTARIO_TEST(TestWindows)
#include "tst_windows.moc"
