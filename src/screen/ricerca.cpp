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
} // namespace

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
} // namespace Modulo

namespace {
// A search field with the focus has its text selected on light yellow.
void entra(QLineEdit *field)
{
    field->setSelection(0, static_cast<int>(field->text().size()));
    impostaSfondo(field, QStringLiteral("background-color: rgb(255, 255, 128);"));
}

void esce(QLineEdit *field) { impostaSfondo(field, QStringLiteral("background-color: rgb(255, 255, 255);")); }
} // namespace

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

int frmInventario::riempiListaProdotti(const QString &sql, bool eliminati, bool marcate, int limite)
{
    Recordset rs(Modulo::ConnPrincipale(), sql);
    QVector<ProdottiListModel::Voce> voci;
    if (!rs.eof()) {
        const QString nomi[] = {QStringLiteral("CodInterno"), QStringLiteral("descrizione"), QStringLiteral("IdProdotto")};
        int indici[3];
        for (int i = 0; i < 3; ++i)
            indici[i] = rs.fieldIndex(nomi[i]);
        const int presenti = m_prodotti->rowCount();
        const auto tabella = eliminati ? ProdottiListModel::ProdottiC : ProdottiListModel::Prodotti;
        while (!rs.eof()) {
            voci.push_back({Regional::valueText(rs.value(indici[0])), Regional::valueText(rs.value(indici[1])),
                            Regional::valueText(rs.value(indici[2])), tabella, marcate});
            if (limite > 0 && presenti + voci.size() >= limite)
                break;
            rs.moveNext();
        }
    }
    rs.close();
    const int aggiunte = static_cast<int>(voci.size());
    m_prodotti->appendVoci(std::move(voci));
    return aggiunte;
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
