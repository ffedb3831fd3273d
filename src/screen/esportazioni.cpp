// The files for a spreadsheet, from the "File" menu: the products nobody
// counted yet, and the whole count for the accountant.
#include "frminventario.h"
#include "formdisabilitato.h"
#include "frame/modulo.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/formatta.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "records/filecsv.h"

#include <QDir>

namespace {

const QString kEtichettaNonContati = QStringLiteral(" (NonContati) ");
const QString kEtichettaConteggio = QStringLiteral(" (EsportaConteggio) ");

// Runs the statement and writes its rows, as they are read, into the file of
// the program's folder named `nome`; returns its path, or "" when the file
// could not be written (the operator has been told which one). A rejected
// statement throws before any file is made.
QString esporta(const QString &nome, const QString &sql, const std::function<void(QIODevice &, Recordset &)> &scrivi)
{
    const QString percorso = Shell::programFile(nome);
    QString errore;
    {
        CursoreOccupato cursore;
        Recordset rs(Modulo::ConnPrincipale(), sql);
        errore = FileCsv::salva(percorso, [&](QIODevice &file) { scrivi(file, rs); });
    }
    if (errore.isEmpty())
        return percorso;
    MsgBox::show(QStringLiteral("Impossibile scrivere il file ") + QDir::toNativeSeparators(percorso)
                     + QStringLiteral("\n") + errore,
                 MsgBox::Critical, Modulo::kAttenzione);
    return QString();
}

} // namespace

void frmInventario::CreaFileNonContati()
{
    Events::InputHold hold;
    Modulo::guarded(kEtichettaNonContati, [this] {
        if (!Modulo::connessioneAperta())
            return;
        FileCsv::Totale totale;
        const QString percorso = esporta(FileCsv::nomeNonContati(Clock::now()), FileCsv::kSelectNonContati,
                                         [&](QIODevice &file, Recordset &rs) {
                                             totale = FileCsv::scriviNonContati(file, rs);
                                         });
        if (percorso.isEmpty())
            return;
        setWindowTitle(QStringLiteral("Controllo Magazzino - %1 prodotti non contati, valore %2")
                           .arg(totale.prodotti)
                           .arg(Modulo::FormattaNumero(totale.valore, 2)));
        Shell::openFile(percorso);
    });
}

void frmInventario::EsportaConteggio()
{
    Events::InputHold hold;
    Modulo::guarded(kEtichettaConteggio, [] {
        if (!Modulo::connessioneAperta())
            return;
        const QString percorso = esporta(FileCsv::nomeConteggio(Clock::now()), FileCsv::kSelectConteggio,
                                         [](QIODevice &file, Recordset &rs) { FileCsv::scriviConteggio(file, rs); });
        if (!percorso.isEmpty())
            Shell::openFile(percorso);
    });
}

void frmInventario::MnuNonContati_Click() { CreaFileNonContati(); }
void frmInventario::MnuEsportaConteggio_Click() { EsportaConteggio(); }
