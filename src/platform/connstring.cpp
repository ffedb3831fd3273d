#include "connstring.h"
#include "odbcsetup.h"
#include "shell.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

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

// Microsoft's drivers as the stored string means it. A string that asks for
// no encryption connects as the OLE DB provider did: encrypted only when the
// server forces it, and then with no check of its certificate (a shop
// server's is often the one SQL Server made for itself). One that asks for
// it has the certificate checked, unless it says to trust it; "strict"
// (TDS 8) only Driver 18 and later know, so it is refused on any other
// driver rather than connecting with less. FreeTDS keeps its own settings
// otherwise. "" when the driver can do what the string asks.
QString encryption(const QString &s, const QString &driver, QStringList &parts)
{
    const QString encrypt = value(s, {QStringLiteral("Encrypt"), QStringLiteral("Use Encryption for Data")}).toLower();
    const auto yes = [](const QString &v) {
        return v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("mandatory");
    };
    if (encrypt == QLatin1String("strict")) {
        static const QRegularExpression version(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (version.match(driver).captured(1).toInt() < 18)
            return QStringLiteral("Encrypt=strict richiede ODBC Driver 18 for SQL Server o successivo; il driver in uso \u00e8 %1").arg(driver);
        parts << QStringLiteral("Encrypt=strict");
    } else if (OdbcSetup::isFreeTds(driver)) {
        return QString();
    } else if (yes(encrypt)) {
        const QString trust = value(s, {QStringLiteral("TrustServerCertificate"), QStringLiteral("Trust Server Certificate")});
        parts << QStringLiteral("Encrypt=yes")
              << (yes(trust.toLower()) ? QStringLiteral("TrustServerCertificate=yes") : QStringLiteral("TrustServerCertificate=no"));
    } else {
        parts << QStringLiteral("Encrypt=no") << QStringLiteral("TrustServerCertificate=yes");
    }
    return QString();
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

QString sqlServerDriver() { return OdbcSetup::sqlServerDrivers().value(0); }

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
        // without it FreeTDS sends text in the server's code page, and what
        // that page lacks becomes '?'
        if (OdbcSetup::isFreeTds(driver) && value(s, {QStringLiteral("ClientCharset")}).isEmpty())
            t.databaseName += (s.endsWith(QLatin1Char(';')) ? QString() : QStringLiteral(";")) + QStringLiteral("ClientCharset=UTF-8");
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
        const bool tcp = server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive);
        if (tcp)
            server = server.mid(4);
        QStringList parts;
        parts << QStringLiteral("DRIVER={%1}").arg(driver);
        if (OdbcSetup::isFreeTds(driver)) {
            // FreeTDS takes SERVER= for a host: a name of its freetds.conf goes as SERVERNAME=
            const bool named = !tcp && port.isEmpty() && OdbcSetup::freeTdsServers().contains(server, Qt::CaseInsensitive);
            parts << (named ? QStringLiteral("SERVERNAME=") : QStringLiteral("SERVER=")) + odbcValue(server);
            if (!port.isEmpty())
                parts << QStringLiteral("PORT=") + odbcValue(port);
            parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
        } else {
            parts << QStringLiteral("SERVER=") + odbcValue(port.isEmpty() ? server : server + QLatin1Char(',') + port);
        }
        t.error = encryption(s, driver, parts);
        if (!t.error.isEmpty())
            return t;
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
