#include "serverlist.h"
#include "platform/odbcsetup.h"

namespace ServerList {

QStringList available()
{
    QStringList names;
    auto add = [&names](const QString &name) {
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    };
    for (const QString &n : OdbcSetup::freeTdsServers() + OdbcSetup::aliases())
        add(n);
    for (const OdbcSetup::DataSource &s : OdbcSetup::dataSources())
        if (OdbcSetup::isSqlServerDriver(s.driver))
            add(s.server);
    return names;
}

}   // namespace ServerList
