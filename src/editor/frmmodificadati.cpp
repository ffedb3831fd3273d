#include "frmmodificadati.h"
#include "ui_FrmModificaDati.h"
#include "frame/modulo.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/formatta.h"
#include "platform/msgbox.h"
#include "platform/regional.h"
#include "platform/resources.h"
#include "records/valori.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>

namespace PriceField {

bool acceptsKey(const QString &text, QChar c)
{
    if (c == QLatin1Char(',') || c == QLatin1Char('.'))
        return !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('.'));
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\b');
}

std::optional<double> read(const QString &text)
{
    QString t = text;
    t.remove(QChar(0x20AC));
    if (t.contains(QLatin1Char(',')))
        t.remove(QLatin1Char('.'));
    else
        t.replace(QLatin1Char('.'), QLatin1Char(','));
    return Regional::readNumber(t);
}

QString onLeave(const QString &text)
{
    const auto price = read(text);
    return price ? Modulo::FormattaNumero(*price, 2) : text;
}

}   // namespace PriceField

namespace {

const QString kGiallo = QStringLiteral("background-color: rgb(255, 255, 128);");
const QString kBianco = QStringLiteral("background-color: rgb(255, 255, 255);");
const QString kRosso = QStringLiteral("color: rgb(255, 0, 0); ");

// A field's limit holds for what the operator types; a longer text that
// the program puts there is shown whole, never cut.
void impostaTesto(QLineEdit *field, const QString &text, int limit)
{
    field->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
    field->setText(text);
}

// Text for a text column: empty, never null.
QString testoColonna(const QString &text) { return text.isNull() ? QStringLiteral("") : text; }

}   // namespace

FrmModificaDati::FrmModificaDati(QWidget *owner, const ProdottoScelto &prodotto)
    : QDialog(owner), ui(new Ui::FrmModificaDati), m_prodotto(prodotto)
{
    initResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    setWindowTitle(QStringLiteral(" "));

    connect(ui->cmdSalva, &QPushButton::clicked, this, &FrmModificaDati::cmdSalva_Click);
    connect(ui->CmdEsci, &QPushButton::clicked, this, &FrmModificaDati::CmdEsci_Click);
    for (QWidget *w : {static_cast<QWidget *>(ui->txtBarcodeForn), static_cast<QWidget *>(ui->txtDescrizione1),
             static_cast<QWidget *>(ui->txtPrVe1), static_cast<QWidget *>(ui->txtPrAcq1),
             static_cast<QWidget *>(ui->cmdSalva), static_cast<QWidget *>(ui->CmdEsci)})
        w->installEventFilter(this);

    Form_Load();
}

FrmModificaDati::~FrmModificaDati() = default;

void FrmModificaDati::Form_Load()
{
    const ProdottoScelto &p = m_prodotto;
    ui->lblCodice->setText(p.codice);
    ui->lblDescrizione->setText(p.descrizione);
    impostaTesto(ui->txtBarcodeForn, p.barcode, 20);
    ui->TxtDetCodiceLoro->setText(p.codice);
    ui->txtDescrizione1->setText(p.descrizione);
    impostaTesto(ui->txtPrVe1, p.prezzoVendita, PriceField::kMaxLength);
    impostaTesto(ui->txtPrAcq1, p.prezzoAcquisto, PriceField::kMaxLength);
    ui->txtBarcodeForn2->setText(p.barcode);
    ui->txtBarcodeForn->setFocus();
}

void FrmModificaDati::entra(QLineEdit *field)
{
    field->selectAll();
    field->setStyleSheet((field == ui->txtBarcodeForn ? kRosso : QString()) + kGiallo);
}

void FrmModificaDati::esce(QLineEdit *field)
{
    field->setStyleSheet((field == ui->txtBarcodeForn ? kRosso : QString()) + kBianco);
    if (field == ui->txtPrVe1 || field == ui->txtPrAcq1)
        impostaTesto(field, PriceField::onLeave(field->text()), PriceField::kMaxLength);
}

bool FrmModificaDati::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    const bool prezzo = watched == ui->txtPrVe1 || watched == ui->txtPrAcq1;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (field)
            entra(field);
        break;
    case QEvent::FocusOut: {
        // another window coming up (a message box) is no leaving of the field
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (field && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            esce(field);
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter on a focused button presses it; in the fields it only
            // moves on, when released
            if (auto *button = qobject_cast<QPushButton *>(watched)) {
                button->click();
                return true;
            }
            break;
        }
        const QString typed = key->text();
        if (prezzo && typed.size() == 1 && typed.at(0).isPrint() && !PriceField::acceptsKey(field->text(), typed.at(0)))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
            if (watched == ui->txtBarcodeForn)
                ui->txtDescrizione1->setFocus();
            else if (watched == ui->txtDescrizione1)
                ui->txtPrVe1->setFocus();
            else if (watched == ui->txtPrVe1)
                ui->txtPrAcq1->setFocus();
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmModificaDati::avviso(const QString &text, QLineEdit *field)
{
    MsgBox::show(text, MsgBox::Critical, Modulo::kAttenzione);
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

void FrmModificaDati::cmdSalva_Click()
{
    Events::InputHold hold;
    // The prices as leaving their fields makes them, also when the focus
    // never left (Alt+S); an emptied price is 0.
    for (QLineEdit *field : {ui->txtPrVe1, ui->txtPrAcq1}) {
        QString text = field->text();
        text.remove(QChar(0x20AC));
        if (Regional::trimBlanks(text).isEmpty())
            text = QStringLiteral("0,00");
        impostaTesto(field, PriceField::onLeave(text), PriceField::kMaxLength);
    }

    setEnabled(true);
    if (!Modulo::connessioneAperta())
        return;   // the editor stays open: the operator leaves with ESCI

    // A typo is the operator's to correct, not an error of the program. A
    // negative price can only come from the database: it is stored as it is.
    const auto prezzoVendita = PriceField::read(ui->txtPrVe1->text());
    if (!prezzoVendita) {
        avviso(QStringLiteral("Il Prezzo di Vendita non è un prezzo valido!!"), ui->txtPrVe1);
        return;
    }
    const auto prezzoAcquisto = PriceField::read(ui->txtPrAcq1->text());
    if (!prezzoAcquisto) {
        avviso(QStringLiteral("Il Prezzo di Acquisto non è un prezzo valido!!"), ui->txtPrAcq1);
        return;
    }

    const double id = m_prodotto.id;
    const QString tabella = m_prodotto.prodotti ? QStringLiteral("Prodotti") : QStringLiteral("ProdottiC");
    bool trovato = false;
    try {
        Connection &conn = Modulo::ConnPrincipale();
        {
            Recordset rs(conn, QStringLiteral("Select * ") + QStringLiteral(" FROM ") + tabella
                                   + QStringLiteral(" WHERE IdProdotto = ") + Valori::id(id));
            trovato = !rs.eof();
        }
        if (trovato) {
            // One statement writes the four columns, or none of them.
            conn.execute(QStringLiteral("UPDATE ") + tabella
                             + QStringLiteral(" SET Barcode = ?, PrezzoPubblico = ?, PrezzoAcquisto = ?, "
                                              "descrizione = ? WHERE IdProdotto = ?"),
                {testoColonna(Regional::trimBlanks(ui->txtBarcodeForn->text())), *prezzoVendita, *prezzoAcquisto,
                    testoColonna(Regional::trimBlanks(ui->txtDescrizione1->text())), static_cast<qlonglong>(id)});
        }
    } catch (const RuntimeError &e) {
        avviso(QStringLiteral("Impossibile Salvare i Dati del Prodotto!!\r\n\r\n") + e.description());
        return;
    }
    if (!trovato)
        MsgBox::show(QStringLiteral("Prodotto non Trovato !!!"), MsgBox::Critical, Modulo::kAttenzione);
    CmdEsci_Click();
}

// The screen that opened the editor empties its search when it is back.
void FrmModificaDati::CmdEsci_Click() { accept(); }

void FrmModificaDati::closeEvent(QCloseEvent *event) { event->ignore(); }
