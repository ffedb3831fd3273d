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
        // The product and, beside it, what has been counted of it so far:
        // one statement, one trip to the server.
        const QString tabella = attivo ? QStringLiteral("Prodotti") : QStringLiteral("prodottiC");
        Recordset rs(Modulo::ConnPrincipale(),
                     QStringLiteral("Select %1.*, InventarioReale.GiacenzaReale AS GiacenzaContata FROM %1 "
                                    "LEFT JOIN InventarioReale ON InventarioReale.%2 = %1.IDProdotto "
                                    "WHERE %1.IDProdotto = ")
                             .arg(tabella, attivo ? QStringLiteral("IDProdottoVentrox")
                                                  : QStringLiteral("IDProdottoEliminato"))
                         + k);
        if (rs.eof())
            return;
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
        // no row counted yet reads as null: "0"
        mostra(ui->txtQtaReale, quantita(rs, QStringLiteral("GiacenzaContata")));
    });
    setEnabled(true);
}

void frmInventario::TxtCopieReali_GotFocus() { Modulo::EvidenziaCampo(ui->TxtCopieReali); }

void frmInventario::TxtCopieReali_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == 13 && !ui->TxtIdProdotto->text().isEmpty())
        cmdSalva_Click();
}
