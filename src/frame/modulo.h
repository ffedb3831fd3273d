#pragma once
#include "errore.h"
#include "parametri.h"
#include "platform/db.h"

namespace Modulo {

// The one shared connection of the program, open for the whole run once
// ApriConnessione has opened it.
Connection &ConnPrincipale();

// Makes sure ConnPrincipale is open on the configured server: a separate
// test connection first (answer within 5 seconds, the window painting
// meanwhile), then the shared one when it is not open yet. Shows nothing.
// A call while another is still waiting returns the last result.
bool ApriConnessione();

// The connection guard: true when ConnPrincipale is open; otherwise shows
// "DataBase SQL non Connesso Correttamente!!" and returns false.
bool connessioneAperta();

extern const QString kNonConnesso;   // "DataBase SQL non Connesso Correttamente!!"
extern const QString kAttenzione;   // "Attenzione!!"

// How long the start-up test waits for the server (tests shorten it).
void setTestWait(int milliseconds, int loginTimeoutSeconds);

}   // namespace Modulo
