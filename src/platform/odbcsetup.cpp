#include "odbcsetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPair>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

#ifdef Q_OS_WIN
#include <QSettings>
#else
#include <QProcess>
#endif

namespace OdbcSetup {
namespace {

const Machine *g_fake = nullptr;

struct Section {
    QString name;
    QList<QPair<QString, QString>> entries;   // keys lower-cased, values trimmed

    QString value(const QString &key) const
    {
        for (const auto &e : entries)
            if (e.first == key)
                return e.second;
        return QString();
    }
};

// [section], key = value, comments starting with ';' or '#'. A missing file
// has no sections.
QList<Section> readIni(const QString &path)
{
    QList<Section> sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return sections;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            if (close > 1)
                sections.append({line.mid(1, close - 1).trimmed(), {}});
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !sections.isEmpty())
            sections.last().entries.append({line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed()});
    }
    return sections;
}

// Where FreeTDS looks, in its order. Under Wine it is the Unix library,
// which reads the Unix file that FREETDSCONF names.
QStringList freeTdsFiles()
{
    QStringList files;
    QString conf = qEnvironmentVariable("FREETDSCONF");
#ifdef Q_OS_WIN
    if (conf.startsWith(QLatin1Char('/')))
        conf.prepend(QStringLiteral("Z:"));
#endif
    if (!conf.isEmpty())
        files << conf;
#ifndef Q_OS_WIN
    if (!g_fake) {
        if (qEnvironmentVariableIsSet("FREETDS"))
            files << qEnvironmentVariable("FREETDS") + QStringLiteral("/etc/freetds.conf");
        files << QDir::homePath() + QStringLiteral("/.freetds.conf") << QStringLiteral("/etc/freetds/freetds.conf")
              << QStringLiteral("/etc/freetds.conf") << QStringLiteral("/usr/local/etc/freetds.conf");
    }
#endif
    return files;
}

QStringList machineFreeTdsServers()
{
    QStringList names;
    for (const QString &f : freeTdsFiles())
        names += sectionsOf(f, {QStringLiteral("global")});
    return names;
}

QString serverOf(const QString &server, const QString &port, const QString &serverName)
{
    if (server.isEmpty())
        return serverName;
    return port.isEmpty() || server.contains(QLatin1Char(',')) ? server : server + QLatin1Char(',') + port;
}

QString unbraced(const QString &driver)
{
    const QString d = driver.trimmed();
    return d.startsWith(QLatin1Char('{')) && d.endsWith(QLatin1Char('}')) ? d.mid(1, d.size() - 2) : d;
}

// Higher is preferred; below 0 no driver this program builds a string for.
double rank(const QString &driver)
{
    static const QRegularExpression odbc(
        QStringLiteral("^ODBC Driver (\\d+(?:\\.\\d+)?) for SQL Server$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression snac(QStringLiteral("^SQL (?:Server )?Native Client(?: (\\d+(?:\\.\\d+)?))?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = odbc.match(driver); m.hasMatch())
        return 3000 + m.captured(1).toDouble();
    if (const auto m = snac.match(driver); m.hasMatch())
        return 2000 + m.captured(1).toDouble();
    if (driver.compare(QLatin1String("SQL Server"), Qt::CaseInsensitive) == 0)
        return 1000;
    return isFreeTds(driver) ? 0 : -1;
}

#ifdef Q_OS_WIN
// The registry view of this program's own bitness, as its drivers must be.
const QString kOdbcDrivers = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers");
const QString kAliases = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo");

QStringList machineDrivers()
{
    QSettings registry(kOdbcDrivers, QSettings::NativeFormat);
    QStringList names;
    for (const QString &name : registry.childKeys())
        if (registry.value(name).toString().compare(QLatin1String("Installed"), Qt::CaseInsensitive) == 0)
            names << name;
    return names;
}

QStringList machineAliases() { return QSettings(kAliases, QSettings::NativeFormat).childKeys(); }

QList<DataSource> registryDataSources(const QString &root)
{
    QSettings registry(root, QSettings::NativeFormat);
    registry.beginGroup(QStringLiteral("ODBC Data Sources"));
    QList<DataSource> sources;
    for (const QString &name : registry.childKeys())
        sources.append({name, registry.value(name).toString(), QString()});
    registry.endGroup();
    for (DataSource &s : sources) {
        registry.beginGroup(s.name);
        s.server = serverOf(registry.value(QStringLiteral("Server")).toString(),
            registry.value(QStringLiteral("Port")).toString(), registry.value(QStringLiteral("Servername")).toString());
        registry.endGroup();
    }
    return sources;
}

QList<DataSource> machineDataSources()
{
    return registryDataSources(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI"))
           + registryDataSources(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI"));
}
#else
// unixODBC's files are in /etc unless it was built or set up otherwise;
// then `odbcinst -j` names them. Asked once, and only then.
QString unixOdbcFile(const QString &usual, const QString &label)
{
    if (QFileInfo::exists(usual))
        return usual;
    static const QString paths = [] {
        QProcess odbcinst;
        odbcinst.start(QStringLiteral("odbcinst"), {QStringLiteral("-j")});
        if (!odbcinst.waitForFinished(2000)) {
            odbcinst.kill();
            odbcinst.waitForFinished(500);
            return QString();
        }
        return QString::fromLocal8Bit(odbcinst.readAllStandardOutput());
    }();
    for (const QString &line : paths.split(QLatin1Char('\n')))
        if (line.startsWith(label))
            return line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    return QString();
}

QStringList machineDrivers()
{
    return sectionsOf(unixOdbcFile(QStringLiteral("/etc/odbcinst.ini"), QStringLiteral("DRIVERS")),
        {QStringLiteral("ODBC"), QStringLiteral("ODBC Drivers")});
}

QStringList machineAliases() { return {}; }

QList<DataSource> machineDataSources()
{
    return dataSourcesOf(unixOdbcFile(QStringLiteral("/etc/odbc.ini"), QStringLiteral("SYSTEM DATA SOURCES")))
           + dataSourcesOf(QDir::homePath() + QStringLiteral("/.odbc.ini"));
}
#endif

}   // namespace

void setFake(const Machine *machine) { g_fake = machine; }

QStringList drivers() { return g_fake ? g_fake->drivers : machineDrivers(); }
QStringList freeTdsServers() { return g_fake ? g_fake->freeTdsServers : machineFreeTdsServers(); }
QStringList aliases() { return g_fake ? g_fake->aliases : machineAliases(); }
QList<DataSource> dataSources() { return g_fake ? g_fake->dataSources : machineDataSources(); }

FreeTdsServer freeTdsServer(const QString &name)
{
    FreeTdsServer server;
    for (const QString &file : freeTdsFiles()) {
        const QList<Section> sections = readIni(file);
        for (const bool global : {true, false}) {
            for (const Section &s : sections) {
                if (s.name.compare(global ? QStringLiteral("global") : name, Qt::CaseInsensitive) != 0)
                    continue;
                server.found = !global;
                server.caFile =
                    s.value(QStringLiteral("ca file")).isEmpty() ? server.caFile : s.value(QStringLiteral("ca file"));
                if (!global) {
                    server.host = s.value(QStringLiteral("host"));
                    server.port = s.value(QStringLiteral("port"));
                    server.instance = s.value(QStringLiteral("instance"));
                    return server;
                }
            }
        }
    }
    return server;
}

QStringList sqlServerDrivers()
{
    QStringList found;
    for (const QString &d : drivers())
        if (rank(d) >= 0)
            found << d;
    std::stable_sort(found.begin(), found.end(), [](const QString &a, const QString &b) { return rank(a) > rank(b); });
    return found;
}

bool isFreeTds(const QString &driver)
{
    const QString d = unbraced(driver);
    return d.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0
           || d.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive);
}

bool isSqlServerDriver(const QString &driver)
{
    const QString d = unbraced(driver);
    return rank(d) >= 0 || d.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)
           || d.contains(QLatin1String("msodbcsql"), Qt::CaseInsensitive);
}

QStringList sectionsOf(const QString &iniPath, const QStringList &skip)
{
    QStringList names;
    for (const Section &s : readIni(iniPath))
        if (!skip.contains(s.name, Qt::CaseInsensitive))
            names << s.name;
    return names;
}

QList<DataSource> dataSourcesOf(const QString &odbcIniPath)
{
    QList<DataSource> sources;
    for (const Section &s : readIni(odbcIniPath))
        if (s.name.compare(QLatin1String("ODBC Data Sources"), Qt::CaseInsensitive) != 0
            && s.name.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) != 0)
            sources.append({s.name, s.value(QStringLiteral("driver")),
                serverOf(s.value(QStringLiteral("server")), s.value(QStringLiteral("port")),
                    s.value(QStringLiteral("servername")))});
    return sources;
}

}   // namespace OdbcSetup
