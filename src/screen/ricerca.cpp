// The parts of the product search that the code search, the name search and
// the reset share: the result list, its growth with the hits, moving through
// it from a search field, and the highlight of the search fields.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/regional.h"

#include <QLineEdit>
#include <algorithm>

namespace {
// Design heights of the search frame and of the result list, in twips.
constexpr int kFrameTwips = 1695;
constexpr int kListaTwips = 390;

int pixels(int twips) { return qRound(twips / 15.0); }

void impostaSfondo(QWidget *control, const QString &styleSheet)
{
    if (control->styleSheet() != styleSheet)
        control->setStyleSheet(styleSheet);
}
}   // namespace

namespace Modulo {
bool SaltaKeyUpCodice = false;

void EvidenziaCampo(QWidget *control)
{
    if (!control)
        return;
    impostaSfondo(control, QStringLiteral("background-color: rgb(255, 128, 0);"));
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setSelection(0, static_cast<int>(edit->text().size()));
}
}   // namespace Modulo

namespace {
// A search field with the focus has its text selected on light yellow.
void entra(QLineEdit *field)
{
    field->setSelection(0, static_cast<int>(field->text().size()));
    impostaSfondo(field, QStringLiteral("background-color: rgb(255, 255, 128);"));
}

void esce(QLineEdit *field) { impostaSfondo(field, QStringLiteral("background-color: rgb(255, 255, 255);")); }
}   // namespace

void frmInventario::txtCodice_GotFocus() { entra(ui->txtCodice); }
void frmInventario::txtCodice_LostFocus() { esce(ui->txtCodice); }
void frmInventario::txtNome_GotFocus() { entra(ui->txtNome); }
void frmInventario::txtNome_LostFocus() { esce(ui->txtNome); }

void frmInventario::txtCodice_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    Events::InputHold hold;
    spostaSelezione(ui->txtCodice, keyCode);
}

void frmInventario::txtNome_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    Events::InputHold hold;
    spostaSelezione(ui->txtNome, keyCode);
}

// F1 and F2 reach the form whichever control has the focus.
void frmInventario::Form_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == 112 && ui->txtCodice->isEnabled())
        ui->txtCodice->setFocus();
    else if (keyCode == 113 && ui->txtNome->isEnabled())
        ui->txtNome->setFocus();
}

int frmInventario::riempiListaNome(const QString &sql, int limite)
{
    Recordset rs(Modulo::ConnPrincipale(), sql);
    QVector<ProdottiListModel::Voce> voci[2];   // of Prodotti, of prodottiC
    if (!rs.eof()) {
        const QString nomi[] = {QStringLiteral("CodInterno"), QStringLiteral("descrizione"),
            QStringLiteral("IdProdotto"), QStringLiteral("Tabella")};
        int indici[4];
        for (int i = 0; i < 4; ++i)
            indici[i] = rs.fieldIndex(nomi[i]);
        // Once Prodotti's rows fill the list, prodottiC's first is all that is
        // still listed: the rows after it stay unread (Prodotti's come first).
        while (voci[0].size() < limite || voci[1].isEmpty()) {
            const bool eliminato = rs.value(indici[3]).toInt() == 2;
            // what is past the limit is not listed: no item made for it
            if (voci[eliminato].size() < (eliminato ? std::max<qsizetype>(1, limite - voci[0].size()) : limite))
                voci[eliminato].push_back({Regional::valueText(rs.value(indici[0])),
                    Regional::valueText(rs.value(indici[1])), Regional::valueText(rs.value(indici[2])),
                    eliminato ? ProdottiListModel::ProdottiC : ProdottiListModel::Prodotti, eliminato});
            rs.moveNext();
            if (rs.eof())
                break;
        }
    }
    rs.close();
    // Prodotti up to the limit; prodottiC after them, and its first match
    // even in a list that is full already (the limit is checked after each item).
    const qsizetype eliminati = std::min(voci[1].size(), std::max<qsizetype>(1, limite - voci[0].size()));
    voci[0].append(voci[1].mid(0, eliminati));
    const int n = static_cast<int>(voci[0].size());
    m_prodotti->appendVoci(std::move(voci[0]));
    return n;
}

void frmInventario::dimensionaRicerca(int n, bool specialeDue)
{
    int frame = kFrameTwips;
    int lista = kListaTwips;
    if (n > 1) {
        const int m = std::min(n, 30);
        frame += 200 * m;
        lista += (200 - 45) * m;
        if (specialeDue && n == 2) {
            frame += 100;
            lista += 100;
        }
    }
    ui->Frame3->resize(ui->Frame3->width(), pixels(frame));
    ui->ListProdotti->resize(ui->ListProdotti->width(), pixels(lista));
    // a grown frame lies over the list of counted rows
    ui->Frame3->raise();
}

void frmInventario::spostaSelezione(QWidget *field, int keyCode)
{
    if (keyCode != 38 && keyCode != 40)
        return;
    const int count = m_prodotti->rowCount();
    const int current = rigaScelta();
    int target = current;
    if (keyCode == 40 && count - 1 > current)
        target = current + 1;
    else if (keyCode == 38 && current >= 1)
        target = current - 1;
    if (target != current)
        scegliRiga(target);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

void frmInventario::AzzeraRicerca()
{
    Events::InputHold hold;
    ui->txtCodice->clear();
    m_prodotti->clear();
    ui->ListProdotti->hide();
    // The list is empty and at its design height again. No product has
    // the id 0, so the database is not asked for one.
    if (Modulo::connessioneAperta())
        dimensionaRicerca(0, false);
    setEnabled(true);
    ui->ListProdotti->show();
}
