// The search by internal code or barcode: Enter in txtCodice.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/beep.h"
#include "platform/db.h"
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
        m_dettagliPronti.reset();
        ui->ListProdotti->hide();
        Modulo::guarded(QString(), [this] {
            if (!Modulo::connessioneAperta())
                return;
            const QString t =
                Valori::like(Regional::trimBlanks(ui->txtCodice->text()), Modulo::ConnPrincipale().sqlServer());
            // The four searches go to the server as one statement, each row
            // marked with the search that found it: only the first search that
            // finds anything counts (code, barcode, then both in prodottiC).
            // Each row brings its product too, so that a single hit is loaded
            // without another trip to the server. An empty text is the whole
            // master by its codes: the code search goes alone then, bare, the
            // others only when it finds nothing.
            const bool dettagli = !t.isEmpty();
            auto cerca = [dettagli](int n, const QString &tabella, const QString &dove) {
                QString s = QStringLiteral("Select  IDprodotto, CodInterno,Descrizione, %1 AS Ricerca").arg(n);
                if (dettagli)
                    s += QStringLiteral(", Barcode, PrezzoPubblico, PrezzoAcquisto, Giacenza, ")
                         + giacenzaContata(tabella);
                return s + QStringLiteral(" FROM ") + tabella + dove;
            };
            const QString prodotti = QStringLiteral("Prodotti"), eliminati = QStringLiteral("prodottiC");
            const QString ricerche[] = {
                cerca(1, prodotti, QStringLiteral(" where CodInterno Like '") + t + QStringLiteral("%'")),
                cerca(2, prodotti, QStringLiteral(" where Barcode Like '") + t + QStringLiteral("'")),
                cerca(3, eliminati, QStringLiteral(" where Barcode Like '") + t + QStringLiteral("'")),
                cerca(4, eliminati, QStringLiteral("  where CodInterno Like '") + t + QStringLiteral("'"))};
            auto unite = [&ricerche](int from, int to) {
                QStringList parti;
                for (int i = from; i < to; ++i)
                    parti << ricerche[i];
                return parti.join(QStringLiteral(" UNION ALL "));
            };
            const int primo = t.isEmpty() ? 1 : 4;
            int ricerca = riempiListaCodice(unite(0, primo), dettagli);
            if (ricerca == 0 && primo < 4)
                ricerca = riempiListaCodice(unite(primo, 4), dettagli);
            // Only the barcode search of Prodotti counts hits: a code that
            // begins many codes lists them at design height.
            const int n = ricerca == 2 ? m_prodotti->rowCount() : 0;
            if (ricerca == 1 || ricerca == 2)
                Modulo::ProdottoAttivo = true;
            else if (ricerca == 3 || ricerca == 4)
                Modulo::ProdottoAttivo = false;
            else
                Beep::beep();   // not a box: a box would take the reader's next Enter
            if (m_prodotti->rowCount() == 1) {
                scegliRiga(0);
                m_dettagliPronti.reset();
                ui->TxtCopieReali->setFocus();
                Events::DoEvents();
            }
            dimensionaRicerca(n, false);
        });
    }
    setEnabled(true);
    ui->ListProdotti->show();
}

int frmInventario::riempiListaCodice(const QString &sql, bool dettagli)
{
    Recordset rs(Modulo::ConnPrincipale(), sql);
    QVector<ProdottiListModel::Voce> voci;
    std::optional<Dettagli> primo;   // the product of the first item listed
    int prima = 0;   // the first search that found something
    if (!rs.eof()) {
        const QString nomi[] = {QStringLiteral("CodInterno"), QStringLiteral("descrizione"),
            QStringLiteral("IdProdotto"), QStringLiteral("Ricerca")};
        int indici[4];
        for (int i = 0; i < 4; ++i)
            indici[i] = rs.fieldIndex(nomi[i]);
        for (; !rs.eof(); rs.moveNext()) {
            const int ricerca = static_cast<int>(Regional::toNumber(rs.value(indici[3])));
            if (prima != 0 && ricerca > prima)
                continue;
            if (prima == 0 || ricerca < prima) {
                prima = ricerca;
                voci.clear();
            }
            if (dettagli && voci.isEmpty())
                primo = leggiDettagli(rs);
            voci.push_back({Regional::valueText(rs.value(indici[0])), Regional::valueText(rs.value(indici[1])),
                Regional::valueText(rs.value(indici[2])),
                ricerca <= 2 ? ProdottiListModel::Prodotti : ProdottiListModel::ProdottiC, false});
        }
    }
    rs.close();
    if (voci.size() == 1 && m_prodotti->rowCount() == 0)
        m_dettagliPronti = primo;
    m_prodotti->appendVoci(std::move(voci));
    return prima;
}
