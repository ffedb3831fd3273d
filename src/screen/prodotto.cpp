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
}   // namespace

QString frmInventario::giacenzaContata(const QString &tabella)
{
    // the first row counted, as the lookup of a save finds it
    return QStringLiteral("(SELECT TOP 1 GiacenzaReale FROM InventarioReale WHERE %1 = %2.IDProdotto) "
                          "AS GiacenzaContata")
        .arg(tabella == QLatin1String("prodottiC") ? QStringLiteral("IDProdottoEliminato")
                                                   : QStringLiteral("IDProdottoVentrox"),
            tabella);
}

frmInventario::Dettagli frmInventario::leggiDettagli(const Recordset &rs)
{
    Dettagli d;
    d.id = testoCampo(rs, QStringLiteral("IdProdotto"));
    d.idNumero = Regional::toNumber(rs.field(QStringLiteral("IdProdotto")));
    d.codInterno = Regional::trimBlanks(testoCampo(rs, QStringLiteral("CodInterno")));
    d.descrizione = Regional::trimBlanks(testoCampo(rs, QStringLiteral("descrizione")));
    d.barcode = testoCampo(rs, QStringLiteral("Barcode"));
    d.prezzoPubblico = prezzo(rs, QStringLiteral("PrezzoPubblico"));
    d.prezzoAcquisto = prezzo(rs, QStringLiteral("PrezzoAcquisto"));
    d.giacenza = quantita(rs, QStringLiteral("Giacenza"));
    // no row counted yet reads as null: "0"
    d.contata = quantita(rs, QStringLiteral("GiacenzaContata"));
    return d;
}

void frmInventario::ListProdotti_Click()
{
    Events::InputHold hold;
    // only the choice that follows the search at once finds its product read
    std::optional<Dettagli> pronti;
    std::swap(pronti, m_dettagliPronti);
    Modulo::guarded(QString(), [this, &pronti] {
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
        if (!pronti || pronti->id != voce.id) {
            // The product and, beside it, what has been counted of it so far:
            // one statement, one trip to the server.
            const QString tabella = attivo ? QStringLiteral("Prodotti") : QStringLiteral("prodottiC");
            Recordset rs(Modulo::ConnPrincipale(),
                QStringLiteral("Select *, %1 FROM %2 WHERE IDProdotto = ").arg(giacenzaContata(tabella), tabella) + k);
            if (rs.eof())
                return;
            pronti = leggiDettagli(rs);
        }
        const Dettagli &d = *pronti;
        mostra(ui->TxtDetCodiceLoro, d.codInterno);
        mostra(ui->txtDescrizione1, d.descrizione);
        mostra(ui->TxtBarcode, d.barcode);
        mostra(ui->txtPrVe1, d.prezzoPubblico);
        mostra(ui->txtPrezAcquisto, d.prezzoAcquisto);
        mostra(ui->txtQta, d.giacenza);
        mostra(ui->TxtIdProdotto, attivo ? d.id : QStringLiteral("0"));
        mostra(ui->txtProdeliminto, attivo ? QStringLiteral("0") : d.id);
        Modulo::IdAttivoScelto = attivo ? d.idNumero : 0;
        Modulo::IdEliminatoScelto = attivo ? 0 : d.idNumero;
        Modulo::ProdottoAttivo = attivo;
        mostra(ui->txtQtaReale, d.contata);
    });
    setEnabled(true);
}

void frmInventario::TxtCopieReali_GotFocus() { Modulo::EvidenziaCampo(ui->TxtCopieReali); }

void frmInventario::TxtCopieReali_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == 13 && !ui->TxtIdProdotto->text().isEmpty())
        cmdSalva_Click();
}
