// The workbooks for a spreadsheet, from the "File" menu: what is left to
// count, and the whole count for the accountant.
#include "frminventario.h"
#include "formdisabilitato.h"
#include "frame/modulo.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/formatta.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "records/cartella.h"
#include "records/fileexcel.h"

#include <QDir>

namespace {

const QString kEtichettaNonContati = QStringLiteral(" (NonContati) ");
const QString kEtichettaConteggio = QStringLiteral(" (EsportaConteggio) ");

// Runs the statement and writes its rows, as they are read, into a workbook
// of the program's folder named `nome` (or the first free name_2, name_3,
// ...); returns its path, or "" when the file could not be written (the
// operator has been told which one). A rejected statement throws before any
// file is made; a value that fails half-way throws and leaves no file.
QString esporta(const QString &nome, const QString &titolo, const QDateTime &quando, const QString &sql,
    const std::function<void(Excel::Cartella &, Recordset &)> &scrivi)
{
    const QString percorso = Shell::programFile(nome);
    try {
        CursoreOccupato cursore;
        Recordset rs(Modulo::ConnPrincipale(), sql);
        Excel::Cartella cartella(percorso, titolo, quando);
        scrivi(cartella, rs);
        return cartella.salva();
    } catch (const Excel::ErroreFile &errore) {
        MsgBox::show(QStringLiteral("Impossibile scrivere il file ") + QDir::toNativeSeparators(percorso)
                         + QStringLiteral("\n") + errore.motivo,
            MsgBox::Critical, Modulo::kAttenzione);
    }
    return QString();
}

}   // namespace

void frmInventario::CreaFileNonContati()
{
    Events::InputHold hold;
    Modulo::guarded(kEtichettaNonContati, [this] {
        if (!Modulo::connessioneAperta())
            return;
        const QDateTime quando = Clock::now();
        FileExcel::Totale totale;
        const QString percorso = esporta(FileExcel::nomeNonContati(quando), QStringLiteral("Prodotti non contati"),
            quando, FileExcel::kSelectNonContati,
            [&](Excel::Cartella &cartella, Recordset &rs) { totale = FileExcel::scriviNonContati(cartella, rs); });
        if (percorso.isEmpty())
            return;
        // the list is of its moment: the caption says which
        setWindowTitle(
            QStringLiteral("Controllo Magazzino - %1 prodotti non contati (eliminati: %2), valore %3 alle %4")
                .arg(totale.prodotti)
                .arg(totale.eliminati)
                .arg(Modulo::FormattaNumero(totale.valore, 2), quando.toString(QStringLiteral("HH.mm"))));
        Shell::openFile(percorso);
    });
}

void frmInventario::EsportaConteggio()
{
    Events::InputHold hold;
    Modulo::guarded(kEtichettaConteggio, [] {
        if (!Modulo::connessioneAperta())
            return;
        const QDateTime quando = Clock::now();
        const QString percorso = esporta(FileExcel::nomeConteggio(quando), QStringLiteral("Conteggio di magazzino"),
            quando, FileExcel::kSelectConteggio,
            [](Excel::Cartella &cartella, Recordset &rs) { FileExcel::scriviConteggio(cartella, rs); });
        if (!percorso.isEmpty())
            Shell::openFile(percorso);
    });
}

void frmInventario::MnuNonContati_Click() { CreaFileNonContati(); }
void frmInventario::MnuEsportaConteggio_Click() { EsportaConteggio(); }
