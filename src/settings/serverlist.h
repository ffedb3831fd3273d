#pragma once
#include <QString>
#include <QStringList>

// The SQL Server names this machine knows from its own configuration,
// without asking the network: the servers named in FreeTDS's configuration
// and the ODBC data sources whose driver is a SQL Server driver.
namespace ServerList {

// The names, FreeTDS's first, each once (compared without regard to case).
QStringList available();

// The server sections of one freetds.conf ([global] is no server).
QStringList fromFreeTds(const QString &path);
// The servers of the SQL Server data sources of one odbc.ini: the value of
// Server (with ",Port" when a port is given apart), else Servername.
QStringList fromOdbcIni(const QString &path);
// A driver entry of odbc.ini that names a SQL Server driver.
bool isSqlServerDriver(const QString &driver);

// Tests: which files to read (empty lists: the system's and the user's).
void setSources(const QStringList &freeTdsFiles, const QStringList &odbcIniFiles);

} // namespace ServerList
