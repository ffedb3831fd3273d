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
}   // namespace

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
        const QString like = ui->CheckTipoRicerca->isChecked() ? QStringLiteral("Like '%") + x + QStringLiteral("%'")
                                                               : QStringLiteral("Like '") + x + QStringLiteral("%'");
        // Both tables in one statement, each part no longer than the list:
        // rows past it would cross the link for nothing.
        const QString parte = QStringLiteral("SELECT * FROM (Select TOP %1 IDProdotto,Descrizione,CodInterno, "
                                             "%2 AS Tabella FROM %3 where Descrizione %4) AS T%2");
        const int n = riempiListaNome(parte.arg(kMassimo).arg(1).arg(QStringLiteral("Prodotti"), like)
                                          + QStringLiteral(" UNION ALL ")
                                          + parte.arg(kMassimo).arg(2).arg(QStringLiteral("prodottiC"), like),
            kMassimo);
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
