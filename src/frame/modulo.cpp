#include "modulo.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/regional.h"

namespace Modulo {

const QString kNonConnesso = QStringLiteral("DataBase SQL non Connesso Correttamente!!");
const QString kAttenzione = QStringLiteral("Attenzione!!");

namespace {
int g_waitMs = 5000;
int g_loginTimeout = 5;   // the whole wait: a slow server may answer late
bool g_waiting = false;
bool g_lastResult = false;
}   // namespace

void setTestWait(int ms, int loginTimeout)
{
    g_waitMs = ms;
    g_loginTimeout = loginTimeout;
}

Connection &ConnPrincipale()
{
    static Connection *connection = new Connection;   // lives as long as the process
    return *connection;
}

bool ApriConnessione()
{
    if (g_waiting)
        return g_lastResult;
    g_waiting = true;
    bool result = false;
    try {
        const QString connectionString = Regional::trimBlanks(LeggiParametro(QStringLiteral("StrConnPrincipale")));
        if (connectionString.isEmpty()) {
            g_waiting = false;
            g_lastResult = false;
            return false;
        }
        result = Db::testConnection(connectionString, g_loginTimeout, g_waitMs).isEmpty();
        Connection &main = ConnPrincipale();
        if (!main.isOpen() && result) {
            main.open(connectionString);
            result = main.isOpen();
        }
    } catch (const RuntimeError &) {
        // the result stands as it was when the error arose
    }
    Events::DoEvents();
    g_waiting = false;
    g_lastResult = result;
    return result;
}

bool connessioneAperta()
{
    if (ConnPrincipale().isOpen())
        return true;
    MsgBox::show(kNonConnesso, MsgBox::Critical, kAttenzione);
    return false;
}

}   // namespace Modulo
