// Loading the chosen product into the detail fields, and the quantity field.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/formatta.h"
#include "platform/regional.h"
#include "records/valori.h"

#include <QLineEdit>

namespace {
QString testoCampo(const Recordset &rs, const QString &name) { return Regional::valueText(rs.field(name)); }

// Quantities show their whole value: a book stock of 12,5 is "12,5".
QString quantita(const Recordset &rs, const QString &name)
{
    return Regional::numberText(Regional::toNumber(rs.field(name)));
}

QString prezzo(const Recordset &rs, const QString &name)
{
    return Modulo::FormattaNumero(Regional::toNumber(rs.field(name)), 2) + QStringLiteral(" \u20AC");
}
} // namespace

void frmInventario::ListProdotti_Click()
{
    Events::InputHold hold;
    Modulo::guarded(QString(), [this] {
        for (QLineEdit *field : {ui->TxtBarcode, ui->txtDescrizione1, ui->TxtDetCodiceLoro, ui->txtPrVe1, ui->txtQta,
                                 ui->TxtIdProdotto, ui->TxtIdInvReale, ui->txtPrezAcquisto})
            field->clear();
        ui->txtQtaReale->setText(QStringLiteral("0"));
        if (!Modulo::connessioneAperta())
            return;
        const int row = rigaScelta();
        if (row < 0)
            return;
        const ProdottiListModel::Voce &voce = m_prodotti->voce(row);
        const QString k = Valori::id(ProdottiListModel::idVoce(m_prodotti->testo(row)));
        // The item knows its table: an id that both tables hold loads the
        // product the operator chose, never its namesake.
        const bool attivo = voce.tabella == ProdottiListModel::Prodotti;
        bool trovato = false;
        {
            Recordset rs(Modulo::ConnPrincipale(), (attivo ? QStringLiteral("Select *  FROM Prodotti WHERE IDProdotto = ")
                                                           : QStringLiteral("Select *  FROM prodottiC WHERE IDProdotto = "))
                                                       + k);
            if (!rs.eof()) {
                trovato = true;
                const QString id = testoCampo(rs, QStringLiteral("IdProdotto"));
                const double idNumero = Regional::toNumber(rs.field(QStringLiteral("IdProdotto")));
                mostra(ui->TxtDetCodiceLoro, Regional::trimBlanks(testoCampo(rs, QStringLiteral("CodInterno"))));
                mostra(ui->txtDescrizione1, Regional::trimBlanks(testoCampo(rs, QStringLiteral("descrizione"))));
                mostra(ui->TxtBarcode, testoCampo(rs, QStringLiteral("Barcode")));
                mostra(ui->txtPrVe1, prezzo(rs, QStringLiteral("PrezzoPubblico")));
                mostra(ui->txtPrezAcquisto, prezzo(rs, QStringLiteral("PrezzoAcquisto")));
                mostra(ui->txtQta, quantita(rs, QStringLiteral("Giacenza")));
                mostra(ui->TxtIdProdotto, attivo ? id : QStringLiteral("0"));
                mostra(ui->txtProdeliminto, attivo ? QStringLiteral("0") : id);
                Modulo::IdAttivoScelto = attivo ? idNumero : 0;
                Modulo::IdEliminatoScelto = attivo ? 0 : idNumero;
                Modulo::ProdottoAttivo = attivo;
            }
        }
        if (!trovato)
            return;
        ui->txtQtaReale->setText(QStringLiteral("0"));
        if (!Modulo::connessioneAperta())
            return;
        const QString sql = Modulo::ProdottoAttivo
            ? QStringLiteral("Select *  FROM InventarioReale WHERE IDProdottoVentrox = ") + Valori::chiave(ui->TxtIdProdotto->text())
            : QStringLiteral("Select *  FROM InventarioReale WHERE  IdProdottoEliminato= ") + Valori::chiave(ui->txtProdeliminto->text());
        Recordset rs(Modulo::ConnPrincipale(), sql);
        if (!rs.eof())
            ui->txtQtaReale->setText(quantita(rs, QStringLiteral("GiacenzaReale")));
    });
    setEnabled(true);
}

void frmInventario::TxtCopieReali_GotFocus() { Modulo::EvidenziaCampo(ui->TxtCopieReali); }

void frmInventario::TxtCopieReali_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == 13 && !ui->TxtIdProdotto->text().isEmpty())
        cmdSalva_Click();
}
