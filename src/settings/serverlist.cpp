#include "serverlist.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QTextStream>

namespace ServerList {
namespace {

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

// An ini file as FreeTDS and unixODBC write them: [section], key = value,
// comments starting with ';' or '#'. A missing file has no sections.
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
        if (eq <= 0 || sections.isEmpty())
            continue;
        sections.last().entries.append({line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed()});
    }
    return sections;
}

QStringList &freeTdsSources()
{
    static QStringList files;
    return files;
}

QStringList &odbcSources()
{
    static QStringList files;
    return files;
}

void addOnce(QStringList &names, const QString &name)
{
    if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
        names.append(name);
}

} // namespace

void setSources(const QStringList &freeTdsFiles, const QStringList &odbcIniFiles)
{
    freeTdsSources() = freeTdsFiles;
    odbcSources() = odbcIniFiles;
}

bool isSqlServerDriver(const QString &driver)
{
    QString d = driver.trimmed();
    if (d.startsWith(QLatin1Char('{')) && d.endsWith(QLatin1Char('}')))
        d = d.mid(1, d.size() - 2);
    return d.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)
           || d.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0
           || d.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive)
           || d.contains(QLatin1String("msodbcsql"), Qt::CaseInsensitive);
}

QStringList fromFreeTds(const QString &path)
{
    QStringList names;
    for (const Section &s : readIni(path))
        if (s.name.compare(QLatin1String("global"), Qt::CaseInsensitive) != 0)
            addOnce(names, s.name);
    return names;
}

QStringList fromOdbcIni(const QString &path)
{
    QStringList names;
    for (const Section &s : readIni(path)) {
        if (s.name.compare(QLatin1String("ODBC Data Sources"), Qt::CaseInsensitive) == 0
            || s.name.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0
            || !isSqlServerDriver(s.value(QStringLiteral("driver"))))
            continue;
        QString server = s.value(QStringLiteral("server"));
        if (!server.isEmpty()) {
            const QString port = s.value(QStringLiteral("port"));
            if (!port.isEmpty() && !server.contains(QLatin1Char(',')))
                server += QLatin1Char(',') + port;
        } else {
            server = s.value(QStringLiteral("servername"));
        }
        addOnce(names, server);
    }
    return names;
}

QStringList available()
{
    const QString home = QDir::homePath();
    QStringList freeTds = freeTdsSources();
    if (freeTds.isEmpty())
        freeTds = {QStringLiteral("/etc/freetds/freetds.conf"), QStringLiteral("/etc/freetds.conf"),
                   QStringLiteral("/usr/local/etc/freetds.conf"), home + QStringLiteral("/.freetds.conf")};
    QStringList odbc = odbcSources();
    if (odbc.isEmpty())
        odbc = {QStringLiteral("/etc/odbc.ini"), home + QStringLiteral("/.odbc.ini")};
    QStringList names;
    for (const QString &f : freeTds)
        for (const QString &n : fromFreeTds(f))
            addOnce(names, n);
    for (const QString &f : odbc)
        for (const QString &n : fromOdbcIni(f))
            addOnce(names, n);
    return names;
}

} // namespace ServerList
