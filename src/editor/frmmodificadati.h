#pragma once
#include <QDialog>
#include <QScopedPointer>
#include <optional>

namespace Ui {
class FrmModificaDati;
}
class QLineEdit;

// The text rules of the editor's two price fields.
namespace PriceField {

constexpr int kMaxLength = 10;

// The key filter: whether the character `c`, typed into a field that holds
// `text`, is taken. Digits always; one separator (',' or '.') at most.
bool acceptsKey(const QString &text, QChar c);

// The price a field's text stands for. The euro sign is ignored; with a
// comma the '.' are thousands separators ("1.234,50"), without one the '.'
// is the decimal point ("12.5"). Empty text, a lone separator or several
// commas are no price.
std::optional<double> read(const QString &text);

// What the field shows once the operator leaves it: the price with two
// decimals and '.' between thousands, or the text unchanged when it is no
// price.
QString onLeave(const QString &text);

}   // namespace PriceField

// The product the editor corrects, as the screen that opens it shows it.
struct ProdottoScelto {
    double id = 0;   // IDProdotto
    bool prodotti = true;   // in Prodotti; false: in ProdottiC
    QString codice;   // CodInterno
    QString descrizione;
    QString barcode;
    QString prezzoVendita;   // as the screen shows them ("1.234,50 €")
    QString prezzoAcquisto;
};

// The product editor: corrects the barcode, the description and the two
// prices of one product, in Prodotti or in ProdottiC.
class FrmModificaDati : public QDialog {
    Q_OBJECT
public:
    FrmModificaDati(QWidget *owner, const ProdottoScelto &prodotto);
    ~FrmModificaDati() override;

    const QScopedPointer<Ui::FrmModificaDati> ui;

    // Shows the product's texts.
    void Form_Load();

public Q_SLOTS:
    void cmdSalva_Click();
    void CmdEsci_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override {}   // only ESCI leaves the editor
    void closeEvent(QCloseEvent *event) override;

private:
    void entra(QLineEdit *field);
    void esce(QLineEdit *field);
    void avviso(const QString &text, QLineEdit *field = nullptr);

    const ProdottoScelto m_prodotto;
};
