#include "connstring.h"
#include "shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

namespace ConnString {
namespace {

QList<QPair<QString, QString>> parse(const QString &s)
{
    QList<QPair<QString, QString>> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        while (i < n && (s.at(i) == QLatin1Char(';') || s.at(i).isSpace()))
            ++i;
        const int eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const QString key = s.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && s.at(i) == QLatin1Char(' '))
            ++i;
        QString value;
        if (i < n && (s.at(i) == QLatin1Char('"') || s.at(i) == QLatin1Char('{'))) {
            const QChar close = s.at(i) == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char('}');
            ++i;
            while (i < n) {
                if (s.at(i) == close) {
                    if (i + 1 < n && s.at(i + 1) == close) {
                        value.append(close);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.append(s.at(i++));
            }
            while (i < n && s.at(i) != QLatin1Char(';'))
                ++i;
        } else {
            const int semi = s.indexOf(QLatin1Char(';'), i);
            const int end = semi < 0 ? n : semi;
            value = s.mid(i, end - i).trimmed();
            i = end;
        }
        out.append({key, value});
    }
    return out;
}

QString &odbcInstPath()
{
    static QString p = QStringLiteral("/etc/odbcinst.ini");
    return p;
}

} // namespace

QString value(const QString &connectionString, const QStringList &keys)
{
    const auto pairs = parse(connectionString);
    for (const QString &k : keys)
        for (const auto &p : pairs)
            if (p.first.compare(k, Qt::CaseInsensitive) == 0)
                return p.second;
    return QString();
}

QString odbcValue(const QString &v)
{
    if (v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) || v.contains(QLatin1Char('}'))
        || v != v.trimmed() || v.contains(QLatin1Char('=')))
        return QLatin1Char('{') + QString(v).replace(QLatin1String("}"), QLatin1String("}}")) + QLatin1Char('}');
    return v;
}

void setOdbcInstPath(const QString &path) { odbcInstPath() = path; }

QString sqlServerDriver()
{
    QFile f(odbcInstPath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QStringList sections;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            sections << line.mid(1, line.size() - 2);
    }
    // Microsoft's own drivers first, newest first; then FreeTDS.
    QStringList ms;
    for (const QString &s : sections)
        if (s.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive))
            ms << s;
    std::sort(ms.begin(), ms.end(), [](const QString &a, const QString &b) { return a > b; });
    if (!ms.isEmpty())
        return ms.first();
    for (const QString &s : sections)
        if (s.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0)
            return s;
    return QString();
}

ConnectionTarget resolve(const QString &connectionString)
{
    ConnectionTarget t;
    const QString s = connectionString.trimmed();
    const auto pairs = parse(s);
    if (s.isEmpty() || pairs.isEmpty()) {
        t.error = QStringLiteral("Stringa di connessione non valida");
        return t;
    }
    const QString first = pairs.first().first;
    if (first.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0
        || first.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0) {
        t.kind = ConnectionTarget::Odbc;
        t.driver = QStringLiteral("QODBC");
        t.databaseName = s;
        const QString driver = value(s, {QStringLiteral("Driver")});
        t.sqliteDialect = driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
        return t;
    }
    const QString provider = value(s, {QStringLiteral("Provider")});
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        QString file = value(s, {QStringLiteral("Data Source"), QStringLiteral("Database")});
        if (file.isEmpty()) {
            t.error = QStringLiteral("Data Source mancante nella stringa di connessione");
            return t;
        }
        if (QFileInfo(file).isRelative())
            file = QDir(Shell::programFolder()).filePath(file);
        t.kind = ConnectionTarget::SQLite;
        t.driver = QStringLiteral("QSQLITE");
        t.databaseName = file;
        t.sqliteDialect = true;
        return t;
    }
    if (provider.startsWith(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive)
        || provider.startsWith(QLatin1String("SQLNCLI"), Qt::CaseInsensitive)
        || provider.startsWith(QLatin1String("MSOLEDBSQL"), Qt::CaseInsensitive)) {
        const QString driver = sqlServerDriver();
        if (driver.isEmpty()) {
            t.error = QStringLiteral("Nessun driver ODBC per SQL Server installato");
            return t;
        }
        QString server = value(s, {QStringLiteral("Data Source"), QStringLiteral("Server"), QStringLiteral("Address")});
        if (server.isEmpty()) {
            t.error = QStringLiteral("Server non specificato");
            return t;
        }
        QString port;
        const int comma = server.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            port = server.mid(comma + 1).trimmed();
            server = server.left(comma).trimmed();
        }
        if (server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
            server = server.mid(4);
        const bool freetds = driver.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0;
        QStringList parts;
        parts << QStringLiteral("DRIVER={%1}").arg(driver);
        if (freetds) {
            parts << QStringLiteral("SERVER=") + odbcValue(server);
            if (!port.isEmpty())
                parts << QStringLiteral("PORT=") + odbcValue(port);
            parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
        } else {
            parts << QStringLiteral("SERVER=") + odbcValue(port.isEmpty() ? server : server + QLatin1Char(',') + port);
            parts << QStringLiteral("TrustServerCertificate=yes");
        }
        parts << QStringLiteral("UID=") + odbcValue(value(s, {QStringLiteral("UID"), QStringLiteral("User ID")}));
        parts << QStringLiteral("PWD=") + odbcValue(value(s, {QStringLiteral("PWD"), QStringLiteral("Password")}));
        const QString db = value(s, {QStringLiteral("DATABASE"), QStringLiteral("Initial Catalog")});
        if (!db.isEmpty())
            parts << QStringLiteral("DATABASE=") + odbcValue(db);
        t.kind = ConnectionTarget::SqlServer;
        t.driver = QStringLiteral("QODBC");
        t.databaseName = parts.join(QLatin1Char(';'));
        return t;
    }
    t.error = provider.isEmpty() ? QStringLiteral("Provider non specificato")
                                 : QStringLiteral("Provider non trovato: ") + provider;
    return t;
}

} // namespace ConnString
