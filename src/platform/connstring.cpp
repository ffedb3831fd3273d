#include "connstring.h"
#include "odbcsetup.h"
#include "shell.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QStringList>

namespace ConnString {
namespace {

using Pairs = QList<QPair<QString, QString>>;

// What the program does with a property of a stored SQL Server string.
enum class Use {
    Provider,
    Server,
    Address,
    Library,
    Database,
    User,
    Password,
    Integrated,
    Encrypt,
    Trust,
    HostName,
    Timeout,
    PacketSize,
    Text,
    Flag,
    Ignored
};

// Every keyword the SQL Server OLE DB providers (SQLOLEDB, SQLNCLI,
// MSOLEDBSQL) document, synonyms together, and the keyword that Microsoft's
// ODBC drivers (ODBC Driver 18 and 17, Native Client, the old "SQL Server")
// and FreeTDS take for it. An empty one: that driver has no use for it and
// it is left out, as the provider leaves out what it has no use for; so is a
// keyword that no provider knows.
struct Keyword {
    Use use;
    QStringList names;
    QString microsoft, freeTds;
};

const QList<Keyword> &keywords()
{
    static const QList<Keyword> table = {
        {Use::Provider, {"Provider"}, {}, {}},
        {Use::Server, {"Data Source", "Server"}, "SERVER", "SERVER"},
        {Use::Address, {"Network Address", "Address", "Addr"}, "Address", "SERVER"},   // before the Data Source
        {Use::Library, {"Network Library", "Network", "Net"}, "Network", {}},   // FreeTDS: TCP/IP only
        {Use::Integrated, {"Integrated Security", "Trusted_Connection"}, "Trusted_Connection", "Trusted_Connection"},
        {Use::User, {"User ID", "UID"}, "UID", "UID"},
        {Use::Password, {"Password", "PWD"}, "PWD", "PWD"},
        {Use::Database, {"Initial Catalog", "Database"}, "DATABASE", "DATABASE"},
        {Use::Encrypt, {"Use Encryption for Data", "Encrypt"}, "Encrypt", "Encryption"},
        {Use::Trust, {"Trust Server Certificate", "TrustServerCertificate"}, "TrustServerCertificate", {}},
        {Use::HostName, {"Host Name In Certificate", "HostNameInCertificate"}, "HostNameInCertificate", {}},
        {Use::Timeout, {"Connect Timeout", "Timeout"}, {}, {}},   // the login timeout attribute
        {Use::PacketSize, {"Packet Size", "PacketSize"}, {}, "PacketSize"},   // Microsoft's: an attribute
        {Use::Text, {"Application Name", "APP"}, "APP", "APP"},
        {Use::Text, {"Workstation ID", "WSID"}, "WSID", "WSID"},
        {Use::Text, {"Current Language", "Language"}, "Language", "Language"},
        {Use::Text, {"Application Intent", "ApplicationIntent"}, "ApplicationIntent", "ApplicationIntent"},
        {Use::Text, {"Initial File Name", "AttachDBFileName"}, "AttachDBFileName", "AttachDbFilename"},
        {Use::Text, {"Failover Partner", "FailoverPartner", "Failover_Partner"}, "Failover_Partner", {}},
        {Use::Text, {"Server SPN", "ServerSPN"}, "ServerSPN", "ServerSPN"},
        {Use::Flag, {"Auto Translate", "AutoTranslate"}, "AutoTranslate", {}},   // FreeTDS always converts
        {Use::Flag, {"MARS Connection", "MarsConn", "MARS_Connection"}, "MARS_Connection", "MARS_Connection"},
        {Use::Flag, {"MultiSubnetFailover"}, "MultiSubnetFailover", {}},
        {Use::Ignored,
            {"Persist Security Info", "Use Procedure for Prepare", "UseProcForPrepare", "Locale Identifier",
                "Tag with column collation when possible", "OLE DB Services", "Mode", "Prompt", "Extended Properties",
                "General Timeout", "DataTypeCompatibility", "Asynchronous Processing", "Window Handle",
                "Failover Partner SPN", "FailoverPartnerSPN"},
            {}, {}},
    };
    return table;
}

const Keyword &keyword(Use use)
{
    for (const Keyword &k : keywords())
        if (k.use == use)
            return k;
    Q_UNREACHABLE();
}

// The provider's grammar ("Connection String Syntax", OLE DB Programmer's
// Reference): keyword=value pairs between semicolons; a keyword without
// regard to case, blanks around it dropped, "==" an equal sign within it; a
// value trimmed, or in double or single quotes with the other quote free
// inside and its own doubled. "" when it reads, else what is wrong.
QString parse(const QString &s, Pairs &pairs)
{
    const int n = s.size();
    int i = 0;
    while (i < n) {
        while (i < n && (s.at(i) == QLatin1Char(';') || s.at(i).isSpace()))
            ++i;
        if (i == n)
            break;
        QString key;
        for (;; ++i) {
            if (i == n || s.at(i) == QLatin1Char(';'))
                return QStringLiteral("manca '=' dopo %1").arg(key.trimmed());
            if (s.at(i) == QLatin1Char('=') && (i + 1 == n || s.at(i + 1) != QLatin1Char('=')))
                break;
            key += s.at(i);
            i += s.at(i) == QLatin1Char('=') ? 1 : 0;
        }
        key = key.trimmed();
        if (key.isEmpty())
            return QStringLiteral("parola chiave mancante prima di '='");
        ++i;
        while (i < n && s.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && (s.at(i) == QLatin1Char('"') || s.at(i) == QLatin1Char('\''))) {
            const QChar quote = s.at(i++);
            for (;; ++i) {
                if (i == n)
                    return QStringLiteral("virgolette non chiuse nel valore di %1").arg(key);
                if (s.at(i) == quote && (i + 1 == n || s.at(i + 1) != quote))
                    break;
                value += s.at(i);
                i += s.at(i) == quote ? 1 : 0;
            }
            ++i;
            while (i < n && s.at(i).isSpace())
                ++i;
            if (i < n && s.at(i) != QLatin1Char(';'))
                return QStringLiteral("testo dopo le virgolette nel valore di %1").arg(key);
        } else {
            const int end = s.indexOf(QLatin1Char(';'), i);
            value = s.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end;
        }
        pairs.append({key, value});
    }
    return QString();
}

// A keyword given more than once takes the value of its last occurrence,
// Provider that of its first: the rule of "Connection String Syntax" (OLE
// DB Programmer's Reference) for keywords that occur several times.
// Synonyms name one property and count as one keyword.
QString value(const Pairs &pairs, const QStringList &names, bool first = false)
{
    QString found;
    for (const auto &p : pairs) {
        if (names.contains(p.first, Qt::CaseInsensitive)) {
            found = p.second;
            if (first)
                break;
        }
    }
    return found;
}
QString value(const Pairs &pairs, Use use) { return value(pairs, keyword(use).names, use == Use::Provider); }

bool yes(const QString &v)
{
    return v.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0
           || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
           || v.compare(QLatin1String("sspi"), Qt::CaseInsensitive) == 0
           || v.compare(QLatin1String("mandatory"), Qt::CaseInsensitive) == 0;
}
bool no(const QString &v)
{
    return v.isEmpty() || v.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0
           || v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
           || v.compare(QLatin1String("optional"), Qt::CaseInsensitive) == 0;
}

// Microsoft's drivers read a braced value to its closing brace, a "}}"
// being one brace within it ([MS-ODBCSTR]).
QString microsoftValue(const QString &v)
{
    static const QRegularExpression plain(QStringLiteral("^[^;{}=\\s]([^;{}=]*[^;{}=\\s])?$"));
    if (v.isEmpty() || plain.match(v).hasMatch())
        return v;
    return QLatin1Char('{') + QString(v).replace(QLatin1String("}"), QLatin1String("}}")) + QLatin1Char('}');
}

// FreeTDS reads a value to the next ';', or a braced one to the first "};"
// (it knows no "}}"), blanks and all: a value holding "};" cannot reach it.
bool freeTdsValue(const QString &v, QString &out)
{
    if (v.contains(QLatin1String("};")))
        return false;
    out = v.contains(QLatin1Char(';')) || v.startsWith(QLatin1Char('{')) ? QLatin1Char('{') + v + QLatin1Char('}') : v;
    return true;
}

// An attribute of an ODBC string, read to the next ';' or, braced, to its
// closing brace ("" when the string has none).
QString odbcAttribute(const QString &s, const QString &key)
{
    const QRegularExpression attribute(
        QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*(\\{(?:[^}]|\\}\\})*\\}|[^;]*)").arg(QRegularExpression::escape(key)),
        QRegularExpression::CaseInsensitiveOption);
    const QString v = attribute.match(s).captured(1);
    return v.startsWith(QLatin1Char('{')) ? v.mid(1, v.size() - 2).replace(QLatin1String("}}"), QLatin1String("}")) : v;
}

int driverVersion(const QString &driver)
{
    static const QRegularExpression version(
        QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"), QRegularExpression::CaseInsensitiveOption);
    return version.match(driver).captured(1).toInt();
}

// The string for the driver, one part at a time; the first part FreeTDS
// cannot carry makes it refuse the string.
struct Builder {
    bool freeTds;
    QStringList parts;
    QString error;
    void add(const QString &key, const QString &v)
    {
        QString text = microsoftValue(v);
        if (freeTds && !freeTdsValue(v, text) && error.isEmpty())
            error = QStringLiteral("FreeTDS non riceve un valore di %1 che contiene \"};\"").arg(key);
        parts << key + QLatin1Char('=') + text;
    }
};

// Encryption as Microsoft's drivers have it. A string that asks for none
// connects as the OLE DB provider did: encrypted only when the server forces
// it, and then with no check of its certificate (a shop server's is often
// the one SQL Server made for itself). One that asks for it has the
// certificate checked, on the name it gives if it gives one, unless it says
// to trust it; "strict" (TDS 8) and the name only Driver 18 and later know,
// so they are refused on any other driver rather than connecting with less.
QString microsoftEncryption(const Pairs &pairs, const QString &driver, Builder &b)
{
    const QString encrypt = value(pairs, Use::Encrypt), hostName = value(pairs, Use::HostName);
    const bool strict = encrypt.compare(QLatin1String("strict"), Qt::CaseInsensitive) == 0;
    const bool trust = !strict && yes(value(pairs, Use::Trust));
    const QString needs18 =
        QStringLiteral("%1 richiede ODBC Driver 18 for SQL Server o successivo; il driver in uso \u00e8 %2");
    if (!strict && !yes(encrypt) && !no(encrypt))
        return QStringLiteral("Valore non valido per Encrypt: ") + encrypt;
    if (strict && driverVersion(driver) < 18)
        return needs18.arg(QStringLiteral("Encrypt=strict"), driver);
    if (strict || yes(encrypt)) {
        b.parts << (strict ? QStringLiteral("Encrypt=strict") : QStringLiteral("Encrypt=yes"));
        if (!strict)
            b.parts << (trust ? QStringLiteral("TrustServerCertificate=yes")
                              : QStringLiteral("TrustServerCertificate=no"));
        if (!trust && !hostName.isEmpty()) {
            if (driverVersion(driver) < 18)
                return needs18.arg(QStringLiteral("Host Name In Certificate"), driver);
            b.add(keyword(Use::HostName).microsoft, hostName);
        }
    } else {
        b.parts << QStringLiteral("Encrypt=no") << QStringLiteral("TrustServerCertificate=yes");
    }
    return QString();
}

// The same with FreeTDS. It takes Encryption=require (off and request are
// the others) and checks the certificate only for a server of its files that
// has a "ca file", on the host name it connects to; so a string that asks for
// a check must name such a server, and a name in certificate other than that
// host is refused. Where no check is wanted, the host is given as such, so
// that a "ca file" meant for other strings does not check it all the same.
QString freeTdsServer(const Pairs &pairs, QString server, ConnectionTarget &t, Builder &b)
{
    const QString encrypt = value(pairs, Use::Encrypt), hostName = value(pairs, Use::HostName);
    if (encrypt.compare(QLatin1String("strict"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Encrypt=strict richiede ODBC Driver 18 for SQL Server o successivo; "
                              "il driver in uso \u00e8 FreeTDS");
    const bool encrypted = yes(encrypt), checked = encrypted && !yes(value(pairs, Use::Trust));
    if (!encrypted && !no(encrypt))
        return QStringLiteral("Valore non valido per Encrypt: ") + encrypt;
    const QString library = value(pairs, Use::Library);
    if ((!library.isEmpty() && library.compare(QLatin1String("DBMSSOCN"), Qt::CaseInsensitive) != 0)
        || server.startsWith(QLatin1String("np:"), Qt::CaseInsensitive) || server.startsWith(QLatin1String("\\\\")))
        return QStringLiteral("FreeTDS si collega solo in TCP/IP (Network Library=DBMSSOCN), non con %1")
            .arg(library.isEmpty() ? server : library);
    QString port;
    const int comma = server.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    const bool tcp = server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive);
    if (tcp)
        server = server.mid(4);
    // FreeTDS takes SERVER= for a host: a name of its files goes as SERVERNAME=
    const bool named = !tcp && port.isEmpty() && OdbcSetup::freeTdsServers().contains(server, Qt::CaseInsensitive);
    const OdbcSetup::FreeTdsServer conf = named ? OdbcSetup::freeTdsServer(server) : OdbcSetup::FreeTdsServer();
    if (checked && conf.caFile.isEmpty())
        return QStringLiteral("FreeTDS verifica il certificato del server solo per un server del suo freetds.conf con "
                              "\"ca file\" (Encrypt=yes): %1 non lo ha; TrustServerCertificate=yes lo accetta senza "
                              "verificarlo")
            .arg(server);
    const QString host = conf.host.isEmpty() ? server : conf.host;   // what FreeTDS connects to
    if (checked && !hostName.isEmpty() && hostName.compare(host, Qt::CaseInsensitive) != 0)
        return QStringLiteral("FreeTDS verifica il certificato solo sul nome a cui si collega (%1), non su %2")
            .arg(host, hostName);
    if (named && (checked || conf.caFile.isEmpty())) {
        b.add(QStringLiteral("SERVERNAME"), server);
    } else {
        b.add(QStringLiteral("SERVER"), host);
        port = named ? conf.port : port;
        if (named && !conf.instance.isEmpty())
            b.parts.last() += QLatin1Char('\\') + conf.instance;
    }
    if (!port.isEmpty())
        b.add(QStringLiteral("PORT"), port);
    b.parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
    if (encrypted) {
        b.parts << QStringLiteral("Encryption=require");
        t.failureHint = QStringLiteral("Il server non ha stabilito la connessione cifrata: non la offre")
                        + (checked ? QStringLiteral(", o il suo certificato non \u00e8 firmato da chi indica "
                                                    "\"ca file = %1\" per %2.")
                                         .arg(conf.caFile, host)
                                   : QStringLiteral("."));
    }
    return QString();
}

ConnectionTarget sqlServer(const Pairs &pairs)
{
    ConnectionTarget t;
    const QString driver = sqlServerDriver();
    if (driver.isEmpty()) {
        t.error = QStringLiteral("Nessun driver ODBC per SQL Server installato");
        return t;
    }
    const bool freeTds = OdbcSetup::isFreeTds(driver);
    const QString dataSource = value(pairs, Use::Server), address = value(pairs, Use::Address);
    if (dataSource.isEmpty() && address.isEmpty()) {
        t.error = QStringLiteral("Server non specificato");
        return t;
    }
    Builder b{freeTds, {QStringLiteral("DRIVER={%1}").arg(driver)}, {}};
    if (freeTds) {
        t.error = freeTdsServer(pairs, address.isEmpty() ? dataSource : address, t, b);
    } else {
        if (!dataSource.isEmpty())
            b.add(QStringLiteral("SERVER"), dataSource);
        if (!address.isEmpty())
            b.add(keyword(Use::Address).microsoft, address);
        if (const QString library = value(pairs, Use::Library); !library.isEmpty())
            b.add(keyword(Use::Library).microsoft, library);
        t.error = microsoftEncryption(pairs, driver, b);
    }
    if (!t.error.isEmpty())
        return t;
    const QString integrated = value(pairs, Use::Integrated);
    if (yes(integrated)) {   // the Windows login: no user, no password
        b.parts << QStringLiteral("Trusted_Connection=Yes");
        if (freeTds)
            t.failureHint = QStringLiteral("FreeTDS entra con l'utente di Windows solo con Kerberos: serve un "
                                           "ticket valido (kinit) per il server.");
    } else if (!no(integrated)) {
        t.error = QStringLiteral("Valore non valido per Integrated Security: ") + integrated;
        return t;
    } else {
        b.add(QStringLiteral("UID"), value(pairs, Use::User));
        b.add(QStringLiteral("PWD"), value(pairs, Use::Password));
    }
    if (const QString db = value(pairs, Use::Database); !db.isEmpty())
        b.add(QStringLiteral("DATABASE"), db);
    for (const Keyword &k : keywords()) {
        const QString key = freeTds ? k.freeTds : k.microsoft, v = value(pairs, k.names);
        if ((k.use != Use::Text && k.use != Use::Flag && k.use != Use::PacketSize) || key.isEmpty() || v.isEmpty())
            continue;
        b.add(key, k.use != Use::Flag ? v : yes(v) ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    if (const QString size = value(pairs, Use::PacketSize); !size.isEmpty() && !freeTds)
        t.options = QStringLiteral("SQL_ATTR_PACKET_SIZE=") + QString::number(size.toInt());
    bool number = false;
    if (const int seconds = value(pairs, Use::Timeout).toInt(&number); number && seconds >= 0)
        t.loginTimeout = seconds;
    if (!b.error.isEmpty()) {
        t.error = b.error;
        return t;
    }
    t.kind = ConnectionTarget::SqlServer;
    t.driver = QStringLiteral("QODBC");
    // The closing ';' ends the last value for the driver: Qt's ODBC driver
    // passes the text's terminating NUL in its length, and FreeTDS would keep
    // it at the end of that value (a database "Ventrox\0" that no server has).
    t.databaseName = b.parts.join(QLatin1Char(';')) + QLatin1Char(';');
    return t;
}

}   // namespace

QString quoted(const QString &value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && value == value.trimmed()
                       && !value.startsWith(QLatin1Char('"')) && !value.startsWith(QLatin1Char('\''))
                       && !value.endsWith(QLatin1Char('"')) && !value.endsWith(QLatin1Char('\''));
    if (plain)
        return value;
    if (!value.contains(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (!value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    return QLatin1Char('"') + QString(value).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString sqlServerDriver() { return OdbcSetup::sqlServerDrivers().value(0); }

ConnectionTarget resolve(const QString &connectionString)
{
    ConnectionTarget t;
    const QString s = connectionString.trimmed();
    static const QRegularExpression odbc(
        QStringLiteral("^(Driver|DSN)\\s*="), QRegularExpression::CaseInsensitiveOption);
    if (odbc.match(s).hasMatch()) {
        // an ODBC string goes as it is, with the closing ';' its last value needs
        t.kind = ConnectionTarget::Odbc;
        t.driver = QStringLiteral("QODBC");
        t.databaseName = s.endsWith(QLatin1Char(';')) ? s : s + QLatin1Char(';');
        const QString driver = odbcAttribute(s, QStringLiteral("Driver"));
        // without it FreeTDS sends text in the server's code page, and what
        // that page lacks becomes '?'
        if (OdbcSetup::isFreeTds(driver) && odbcAttribute(s, QStringLiteral("ClientCharset")).isEmpty())
            t.databaseName += QStringLiteral("ClientCharset=UTF-8;");
        t.sqliteDialect = driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
        return t;
    }
    Pairs pairs;
    const QString malformed = parse(s, pairs);
    if (!malformed.isEmpty() || pairs.isEmpty()) {
        t.error = QStringLiteral("Stringa di connessione non valida")
                  + (malformed.isEmpty() ? QString() : QStringLiteral(": ") + malformed);
        return t;
    }
    const QString provider = value(pairs, Use::Provider);
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        QString file = value(pairs, {QStringLiteral("Data Source"), QStringLiteral("Database")});
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
        || provider.startsWith(QLatin1String("MSOLEDBSQL"), Qt::CaseInsensitive))
        return sqlServer(pairs);
    t.error = provider.isEmpty() ? QStringLiteral("Provider non specificato")
                                 : QStringLiteral("Provider non trovato: ") + provider;
    return t;
}

}   // namespace ConnString
