#pragma once
#include <QStringList>

// The SQL Server names this machine knows from its own configuration,
// without asking the network: FreeTDS's servers, the SQL Server client
// aliases, then the servers of the data sources whose driver is a SQL
// Server driver.
namespace ServerList {

// The names in that order, each once (compared without regard to case).
QStringList available();

}   // namespace ServerList
