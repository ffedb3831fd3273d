#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// What this machine's own configuration says about SQL Server, without
// asking the network: the installed ODBC drivers, FreeTDS's server
// sections, the SQL Server client aliases and the data sources. Windows
// keeps them in the registry; elsewhere they are odbcinst.ini, odbc.ini and
// freetds.conf. Tests describe a whole machine instead.
namespace OdbcSetup {

struct DataSource {
    QString name;
    QString driver;   // the driver's name, or its library
    QString server;   // Server (with ",Port" when the port is given apart), else Servername
};

struct Machine {
    QStringList drivers;
    QStringList freeTdsServers;
    QStringList aliases;
    QList<DataSource> dataSources;
};

QStringList drivers();
QStringList freeTdsServers();

// A server name of FreeTDS's files as FreeTDS reads it: the first file
// that has its section, over the [global] sections of that file and of
// the files before it. FreeTDS checks the server's certificate only when
// it has a "ca file" (a file of trusted certificates, or "system"), and
// only for a name of its files: never for a host given in the string.
struct FreeTdsServer {
    bool found = false;
    QString host, port, instance, caFile;
};
FreeTdsServer freeTdsServer(const QString &name);
QStringList aliases();
QList<DataSource> dataSources();   // the system's and the user's

// Tests: answer from `machine` (nullptr: this machine again); FreeTDS's
// files are then only the one FREETDSCONF names.
void setFake(const Machine *machine);

// The installed SQL Server drivers, preferred first: Microsoft's ODBC
// Driver N for SQL Server, newest first; SQL Server Native Client, newest
// first; the old "SQL Server"; FreeTDS.
QStringList sqlServerDrivers();
bool isFreeTds(const QString &driver);
// A data source's driver (a name, a braced name or a library) that talks to SQL Server.
bool isSqlServerDriver(const QString &driver);

// The files as FreeTDS and unixODBC write them.
QStringList sectionsOf(const QString &iniPath, const QStringList &skip);
QList<DataSource> dataSourcesOf(const QString &odbcIniPath);

}   // namespace OdbcSetup
