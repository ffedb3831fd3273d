// The search by name: every change of txtNome lists the products whose
// description begins with the text (or holds it, with CheckTipoRicerca).
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/events.h"
#include "platform/regional.h"
#include "records/valori.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {
// The list stops at this many items; prodottiC still adds its first match.
constexpr int kMassimo = 50;
} // namespace

void frmInventario::txtNome_Change()
{
    Events::InputHold hold;
    ui->txtCodice->clear();
    m_prodotti->clear();
    // hidden while it fills: nothing is painted before the handler ends, so
    // holding its updates has the same effect without a new layout pass
    ui->ListProdotti->setUpdatesEnabled(false);
    Modulo::guarded(QString(), [this] {
        const QString x = Valori::like(Regional::trimBlanks(ui->txtNome->text()), Modulo::ConnPrincipale().sqlServer());
        if (x.isEmpty()) {
            dimensionaRicerca(0, true);
            return;
        }
        if (!Modulo::connessioneAperta())
            return;
        // the box is read before each statement
        auto like = [this, &x] {
            return ui->CheckTipoRicerca->isChecked() ? QStringLiteral("Like '%") + x + QStringLiteral("%'")
                                                     : QStringLiteral("Like '") + x + QStringLiteral("%'");
        };
        int n = riempiListaProdotti(
            QStringLiteral("Select IDProdotto,Descrizione,CodInterno FROM Prodotti where Descrizione ") + like(), false,
            false, kMassimo);
        // The count is tested after each item, so a list that is full
        // already still gets the first match of prodottiC (51 items).
        n += riempiListaProdotti(
            QStringLiteral("Select  IDprodotto, CodInterno,Descrizione FROM prodottiC where Descrizione ") + like(), true,
            true, kMassimo);
        dimensionaRicerca(n, true);
    });
    setEnabled(true);
    ui->ListProdotti->setUpdatesEnabled(true);
    ui->ListProdotti->show();
}

void frmInventario::CheckTipoRicerca_Click()
{
    m_prodotti->clear();
    ClearFormSenzaNome();
    txtNome_Change();
}

void frmInventario::txtNome_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    // the chosen product is loaded already; the focus stays here
    if (keyCode == 13 && rigaScelta() >= 0) {
        Events::InputHold hold;
        Events::DoEvents();
    }
}
