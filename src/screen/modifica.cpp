// Opening the product editor from the main screen.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "editor/frmmodificadati.h"
#include "frame/modulo.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/msgbox.h"

#include <QLineEdit>

void frmInventario::cmdModifica_Click()
{
    const int row = rigaScelta();
    if (row < 0) {
        MsgBox::show(QStringLiteral("Devi Selezionare un Prodotto!!"), MsgBox::Critical, Modulo::kAttenzione);
        return;
    }
    // The product of the selected item, as the detail fields show it.
    ProdottoScelto prodotto;
    prodotto.id = ProdottiListModel::idVoce(m_prodotti->testo(row));
    prodotto.prodotti = m_prodotti->voce(row).tabella == ProdottiListModel::Prodotti;
    prodotto.codice = ui->TxtDetCodiceLoro->text();
    prodotto.descrizione = ui->txtDescrizione1->text();
    prodotto.barcode = ui->TxtBarcode->text();
    prodotto.prezzoVendita = ui->txtPrVe1->text();
    prodotto.prezzoAcquisto = ui->txtPrezAcquisto->text();
    // Modal: the main form takes no input until the editor is gone.
    {
        FrmModificaDati editor(this, prodotto);
        editor.exec();
    }
    setEnabled(true);

    Events::InputHold hold;
    ui->txtCodice->setEnabled(false);
    ui->txtNome->setEnabled(false);
    m_prodotti->clear();
    ui->txtCodice->clear();
    ui->txtNome->clear();
    // the Enter that closed the editor reaches txtCodice: it is no search
    Modulo::SaltaKeyUpCodice = true;

    ui->lblTest1->setText(QStringLiteral("NO"));
    ui->lblTest1->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0); color: rgb(0, 0, 0);"));
    aggiornaIndicatore();

    Modulo::guarded(QStringLiteral("(cmdModifica_Click)"), [this] {
        if (!Modulo::ConnPrincipale().isOpen()) {
            setEnabled(true);
            Modulo::connessioneAperta();
            return;
        }
        Recordset rs(Modulo::ConnPrincipale(), QStringLiteral("Select Count(IdProdotto) as Conta FROM Prodotti "));
        if (!rs.eof())
            rs.field(QStringLiteral("Conta"));
    });

    for (QLineEdit *field : {ui->txtCodice, ui->txtNome, ui->TxtDetCodiceLoro, ui->txtDescrizione1, ui->txtPrVe1,
             ui->txtPrezAcquisto, ui->TxtBarcode, ui->txtProdeliminto, ui->TxtIdProdotto, ui->txtQtaReale, ui->txtQta})
        field->clear();
    m_prodotti->clear();

    ui->txtCodice->setEnabled(true);
    ui->txtNome->setEnabled(true);
    Events::DoEvents();
    ui->txtCodice->setFocus();
    Events::DoEvents();
}
