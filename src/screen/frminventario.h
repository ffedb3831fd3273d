#pragma once
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <QScopedPointer>
#include <QVariant>
#include <functional>
#include <optional>

namespace Ui {
class frmInventario;
}
class InventarioModel;
class QAbstractButton;
class QLineEdit;
class Recordset;
class ProdottiListModel;
struct RigaInventario;

namespace Modulo {
// When set, the next key release in txtCodice only clears it (the Enter
// that closed the product editor).
extern bool SaltaKeyUpCodice;
// Selects the whole text of a text box and paints it orange.
void EvidenziaCampo(QWidget *control);
}   // namespace Modulo

// The stock-taking screen.
class frmInventario : public QMainWindow {
    Q_OBJECT
public:
    explicit frmInventario(QWidget *parent = nullptr);
    ~frmInventario() override;

    const QScopedPointer<Ui::frmInventario> ui;

    // start-up and connection indicator
    void Form_Load();
    void aggiornaIndicatore();   // ApriConnessione -> "OK" on green / "NO" on red
    bool connesso() const;   // the indicator reads "OK"

    // the list of counted rows
    void ImpostaColonne();
    void CreaRigaLista(const QString &descrizione, const QString &barcode, qint16 idCategoria, const QString &categoria,
        const QString &um, const QString &codInterno, qint16 modificato, double prezzoPubblico, double prezzoAcquisto,
        const QString &giacenzaReale, double giacenzaStatistica, const QDateTime &dataModifica,
        qint32 idInventarioReale, qint32 idVentrox, qint32 idEliminato);
    void CaricaDati();
    void ClearForm();
    void ClearFormSenzaNome();
    InventarioModel *modelloLista() const { return m_lista; }
    ProdottiListModel *modelloProdotti() const { return m_prodotti; }

    // searches
    void AzzeraRicerca();

    // saving, deleting, the inventory file
    void SalvaRiga();
    long ContatoreGet(const QString &idContatore, const QString &nameTabella);
    void CreaFileInventarioTab();
    // the files for a spreadsheet: what is left to count, the whole count
    void CreaFileNonContati();
    void EsportaConteggio();

public Q_SLOTS:
    void btn_tutti_Click();
    void lvwProdotti_ItemClick(const QModelIndex &index);
    void cmdSelezionaTutto_Click();
    void cmdDeselezionaTutto_Click();

    void txtCodice_KeyUp(int keyCode, Qt::KeyboardModifiers shift);
    void txtCodice_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void txtCodice_GotFocus();
    void txtCodice_LostFocus();
    void Form_KeyUp(int keyCode, Qt::KeyboardModifiers shift);

    void txtNome_Change();
    void CheckTipoRicerca_Click();
    void txtNome_GotFocus();
    void txtNome_LostFocus();
    void txtNome_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void txtNome_KeyUp(int keyCode, Qt::KeyboardModifiers shift);

    void ListProdotti_Click();
    void TxtCopieReali_GotFocus();
    void TxtCopieReali_KeyUp(int keyCode, Qt::KeyboardModifiers shift);

    void cmdSalva_Click();
    void CmdElimina_Click();
    void cmdModifica_Click();
    void MnuFileInvTab_Click();
    void MnuNonContati_Click();
    void MnuEsportaConteggio_Click();
    void ConfFTP_Click();
    void Esci_Click();
    void lblTest1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static const QString kCaricaDati;   // CaricaDati's statement
    void caricaLista(const QString &sql);
    // The rows `righe` gives (a statement it runs, or the rest of a batch)
    // into the list, with the totals.
    void caricaLista(const std::function<Recordset &()> &righe);
    // Lists the products of the name search's statement (Prodotti's rows,
    // then prodottiC's, marked) up to `limite` items: a full list still
    // takes prodottiC's first. Returns the items listed.
    int riempiListaNome(const QString &sql, int limite);
    // Lists the rows of the code search's statement that the first search to
    // find anything found; returns that search (1 to 4, 0: nothing found).
    int riempiListaCodice(const QString &sql, bool dettagli);
    // A product's fields as the detail fields show them, read from a row that
    // carries them (Barcode, prices, Giacenza and GiacenzaContata, the count
    // so far, besides the item's).
    struct Dettagli {
        QString codInterno, descrizione, barcode, prezzoPubblico, prezzoAcquisto, giacenza, id, contata;
        double idNumero = 0;
    };
    static Dettagli leggiDettagli(const Recordset &rs);
    // The column GiacenzaContata of a statement on `tabella`: the product's
    // count so far.
    static QString giacenzaContata(const QString &tabella);
    void dimensionaRicerca(int n, bool specialeDue);
    void spostaSelezione(QWidget *field, int keyCode);
    // The row of ListProdotti that is selected (-1: none). A current row
    // that is not selected chooses nothing, as in a list box.
    int rigaScelta() const;
    void scegliRiga(int row);
    // A detail field shows the beginning of a text longer than itself.
    static void mostra(QLineEdit *field, const QString &text);
    // Got-focus and lost-focus handlers, for focus moves between the form's
    // own controls only.
    void focusEntra(QWidget *control);
    void focusEsce(QWidget *control);
    void filtraFocus(QObject *watched, QEvent *event);
    bool filtraTasti(QObject *watched, QEvent *event);

    // The product of the single hit the code search has read, for its
    // choice that follows at once; any later choice reads its product anew.
    std::optional<Dettagli> m_dettagliPronti;
    InventarioModel *m_lista = nullptr;
    ProdottiListModel *m_prodotti = nullptr;
    // The control that had the focus when a menu, a box or another window
    // took it; it has not lost it as far as the handlers are concerned.
    QPointer<QWidget> m_focoSospeso;
    // The button that saw Enter go down: it is pressed when Enter comes up.
    QPointer<QAbstractButton> m_invioSu;
};
