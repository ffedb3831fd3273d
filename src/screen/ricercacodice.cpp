// The search by internal code or barcode: Enter in txtCodice.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/beep.h"
#include "platform/events.h"
#include "platform/regional.h"
#include "records/valori.h"

#include <QLineEdit>

void frmInventario::txtCodice_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    // the Enter that closed the product editor
    if (Modulo::SaltaKeyUpCodice) {
        Modulo::SaltaKeyUpCodice = false;
        return;
    }
    if (!ui->txtCodice->isEnabled())
        return;
    if (keyCode == 13) {
        Events::InputHold hold;
        m_prodotti->clear();
        ui->ListProdotti->hide();
        Modulo::guarded(QString(), [this] {
            if (!Modulo::connessioneAperta())
                return;
            const QString t = Valori::like(Regional::trimBlanks(ui->txtCodice->text()), Modulo::ConnPrincipale().sqlServer());
            const QString select = QStringLiteral("Select  IDprodotto, CodInterno,Descrizione FROM ");
            const bool prodotti = false, prodottiC = true;

            // Only the barcode search of Prodotti counts hits: a code that
            // begins many codes lists them at design height.
            int n = 0;
            if (riempiListaProdotti(select + QStringLiteral("Prodotti where CodInterno Like '") + t + QStringLiteral("%'"),
                                    prodotti, false) > 0) {
                Modulo::ProdottoAttivo = true;
            } else {
                if (!Modulo::connessioneAperta())
                    return;
                n = riempiListaProdotti(select + QStringLiteral("Prodotti where Barcode Like '") + t + QStringLiteral("'"),
                                        prodotti, false);
                if (n > 0)
                    Modulo::ProdottoAttivo = true;
                else if (riempiListaProdotti(select + QStringLiteral("prodottiC where Barcode Like '") + t
                                                 + QStringLiteral("'"),
                                             prodottiC, false) > 0)
                    Modulo::ProdottoAttivo = false;
                else if (riempiListaProdotti(select + QStringLiteral("prodottiC  where CodInterno Like '") + t
                                                 + QStringLiteral("'"),
                                             prodottiC, false) > 0)
                    Modulo::ProdottoAttivo = false;
                else
                    Beep::beep();   // not a box: a box would take the reader's next Enter
            }
            if (m_prodotti->rowCount() == 1) {
                scegliRiga(0);
                ui->TxtCopieReali->setFocus();
                Events::DoEvents();
            }
            dimensionaRicerca(n, false);
        });
    }
    setEnabled(true);
    ui->ListProdotti->show();
}
