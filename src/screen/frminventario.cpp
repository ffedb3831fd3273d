// The screen as a whole: wiring of the handlers, the start-up step, the
// connection indicator and the menu.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "fonts.h"
#include "inventariomodel.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "settings/formconfigurazione.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>

namespace {
// The key code a handler sees: the Windows virtual-key number of a real
// key. Qt numbers printable characters by their code ('(' is 40, '&' 38),
// which would collide with the arrows; they get 0 unless they are a letter
// or a digit, whose codes are the same on both sides.
int virtualKey(const QKeyEvent *key)
{
    const int k = key->key();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
        return k;
    return 0;
}

bool invio(const QKeyEvent *key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// A menu, a box or another window taking or giving back the activation.
bool cambioFinestra(const QFocusEvent *focus)
{
    const Qt::FocusReason r = focus->reason();
    return r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason || r == Qt::MenuBarFocusReason;
}

// Every item of the result list is one line of the same fixed-pitch font:
// its size is measured once, not at every search.
class VoceDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!m_size.isValid() || option.font != m_font) {
            m_font = option.font;
            // as wide as the longest item (code, description and the id
            // pushed out of view), whichever item happens to be measured
            m_size = QStyledItemDelegate::sizeHint(option, index);
            m_size.setWidth(qMax(m_size.width(), QFontMetrics(m_font).horizontalAdvance(QLatin1Char('0')) * 160));
        }
        return m_size;
    }

private:
    mutable QFont m_font;
    mutable QSize m_size;
};
}   // namespace

frmInventario::frmInventario(QWidget *parent) : QMainWindow(parent), ui(new Ui::frmInventario)
{
    Fonts::install();
    ui->setupUi(this);
    Fonts::applyPointSizes(this);
    // The client area is the layout's own; the window takes the menu bar's
    // height as the style and the system's menu font make it, once shown.
    ui->centralwidget->setFixedSize(1016, 632);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_lista = new InventarioModel(this);
    ui->lvwProdotti->setModel(m_lista);
    m_prodotti = new ProdottiListModel(this);
    ui->ListProdotti->setModel(m_prodotti);
    ui->ListProdotti->setUniformItemSizes(true);
    ui->ListProdotti->setItemDelegate(new VoceDelegate(ui->ListProdotti));
    // An opaque search frame spares the list of counted rows under it a
    // repaint at every change of the search list. Its style sheet, once
    // applied, would clear the flag set before it.
    ui->Frame3->ensurePolished();
    ui->Frame3->setAutoFillBackground(true);
    ui->ListProdotti->setTextElideMode(Qt::ElideNone);   // the id stays out of view, no ellipsis
    ui->ListProdotti->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->ListProdotti->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->ListProdotti->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->ListProdotti->setFocusPolicy(Qt::StrongFocus);
    ui->lvwProdotti->setRootIsDecorated(false);
    ui->lvwProdotti->setUniformRowHeights(true);
    ui->lvwProdotti->setAllColumnsShowFocus(true);
    ui->lvwProdotti->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->cmdSalva->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ui->cmdModifica->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ui->TxtIdInvReale->setVisible(false);
    ui->CheckTipoRicerca->setChecked(false);

    connect(ui->btn_tutti, &QPushButton::clicked, this, &frmInventario::btn_tutti_Click);
    connect(ui->lvwProdotti, &QTreeView::clicked, this, &frmInventario::lvwProdotti_ItemClick);
    connect(ui->cmdSelezionaTutto, &QPushButton::clicked, this, &frmInventario::cmdSelezionaTutto_Click);
    connect(ui->cmdDeselezionaTutto, &QPushButton::clicked, this, &frmInventario::cmdDeselezionaTutto_Click);
    connect(ui->txtNome, &QLineEdit::textChanged, this, &frmInventario::txtNome_Change);
    connect(ui->CheckTipoRicerca, &QCheckBox::clicked, this, &frmInventario::CheckTipoRicerca_Click);
    // An item becoming the selected one loads its product.
    connect(ui->ListProdotti->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this](const QItemSelection &selected) {
            if (!selected.isEmpty() && rigaScelta() >= 0)
                ListProdotti_Click();
        });
    connect(ui->cmdSalva, &QToolButton::clicked, this, &frmInventario::cmdSalva_Click);
    connect(ui->CmdElimina, &QPushButton::clicked, this, &frmInventario::CmdElimina_Click);
    connect(ui->cmdModifica, &QToolButton::clicked, this, &frmInventario::cmdModifica_Click);
    connect(ui->MnuFileInvTab, &QAction::triggered, this, &frmInventario::MnuFileInvTab_Click);
    connect(ui->MnuNonContati, &QAction::triggered, this, &frmInventario::MnuNonContati_Click);
    connect(ui->MnuEsportaConteggio, &QAction::triggered, this, &frmInventario::MnuEsportaConteggio_Click);
    connect(ui->ConfFTP, &QAction::triggered, this, &frmInventario::ConfFTP_Click);
    connect(ui->Esci, &QAction::triggered, this, &frmInventario::Esci_Click);

    // Key, focus and click events of the controls reach the named handlers
    // through one filter; F1 and F2 are seen whichever control has the focus.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

frmInventario::~frmInventario() = default;

bool frmInventario::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (filtraTasti(watched, event))
            return true;
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: filtraFocus(watched, event); break;
    case QEvent::MouseButtonRelease:
        if (watched == ui->lblTest1)
            lblTest1_Click();
        break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmInventario::filtraTasti(QObject *watched, QEvent *event)
{
    auto *key = static_cast<QKeyEvent *>(event);
    const bool press = event->type() == QEvent::KeyPress;
    // A focused button takes Enter as it takes Space: pressed when the key
    // comes up, so that the release does not reach the control the button
    // hands the focus to.
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (button && !qobject_cast<QCheckBox *>(button) && invio(key)) {
        if (press) {
            if (!key->isAutoRepeat())
                m_invioSu = button;
        } else if (!key->isAutoRepeat() && m_invioSu == button) {
            m_invioSu = nullptr;
            button->click();
        }
        return true;
    }
    // A list box with nothing selected takes Down or Up as a choice of its
    // first item.
    if (watched == ui->ListProdotti && press && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)
        && rigaScelta() < 0 && m_prodotti->rowCount() > 0) {
        scegliRiga(0);
        return true;
    }
    const int vk = virtualKey(key);
    const Qt::KeyboardModifiers shift = key->modifiers();
    if (!press) {
        if (key->isAutoRepeat())
            return false;
        Form_KeyUp(vk, shift);
        if (watched == ui->txtCodice)
            txtCodice_KeyUp(vk, shift);
        else if (watched == ui->txtNome)
            txtNome_KeyUp(vk, shift);
        else if (watched == ui->TxtCopieReali)
            TxtCopieReali_KeyUp(vk, shift);
    } else if (watched == ui->txtCodice) {
        txtCodice_KeyDown(vk, shift);
    } else if (watched == ui->txtNome) {
        txtNome_KeyDown(vk, shift);
    }
    return false;
}

void frmInventario::filtraFocus(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QWidget *>(watched);
    if (!control)
        return;
    const bool entra = event->type() == QEvent::FocusIn;
    // the menu bar taking the keyboard is part of opening a menu
    if (qobject_cast<QMenuBar *>(control))
        return;
    if (cambioFinestra(static_cast<QFocusEvent *>(event))) {
        if (!entra) {
            // the control keeps the focus while the menu, the box or the
            // other window has it
            m_focoSospeso = control;
            return;
        }
        QPointer<QWidget> sospeso = m_focoSospeso;
        m_focoSospeso = nullptr;
        if (sospeso == control)
            return;
        // the focus comes back elsewhere: the control left has lost it
        if (sospeso)
            focusEsce(sospeso);
    }
    if (entra)
        focusEntra(control);
    else
        focusEsce(control);
}

void frmInventario::focusEntra(QWidget *control)
{
    if (control == ui->txtCodice)
        txtCodice_GotFocus();
    else if (control == ui->txtNome)
        txtNome_GotFocus();
    else if (control == ui->TxtCopieReali)
        TxtCopieReali_GotFocus();
}

void frmInventario::focusEsce(QWidget *control)
{
    if (control == ui->txtCodice)
        txtCodice_LostFocus();
    else if (control == ui->txtNome)
        txtNome_LostFocus();
}

int frmInventario::rigaScelta() const
{
    const QModelIndexList scelte = ui->ListProdotti->selectionModel()->selectedIndexes();
    if (scelte.isEmpty())
        return -1;
    const int row = scelte.first().row();
    return row < m_prodotti->rowCount() ? row : -1;
}

void frmInventario::scegliRiga(int row)
{
    ui->ListProdotti->selectionModel()->setCurrentIndex(m_prodotti->index(row), QItemSelectionModel::ClearAndSelect);
}

void frmInventario::aggiornaIndicatore()
{
    const bool ok = Modulo::ApriConnessione();
    ui->lblTest1->setText(ok ? QStringLiteral("OK") : QStringLiteral("NO"));
    ui->lblTest1->setStyleSheet(ok ? QStringLiteral("background-color: rgb(0, 255, 0); color: rgb(0, 0, 0);")
                                   : QStringLiteral("background-color: rgb(255, 0, 0); color: rgb(0, 0, 0);"));
}

bool frmInventario::connesso() const { return ui->lblTest1->text() == QLatin1String("OK"); }

void frmInventario::Form_Load()
{
    // The connection test lets the window paint for up to five seconds: a
    // reader's keys wait for the screen it prepares, clicks are dropped.
    Events::InputHold hold;
    aggiornaIndicatore();
    if (!connesso())
        return;
    ImpostaColonne();
    CaricaDati();
    AzzeraRicerca();
    ui->TxtCopieReali->setText(QStringLiteral("1"));
}

void frmInventario::lblTest1_Click()
{
    Events::InputHold hold;
    aggiornaIndicatore();
}

void frmInventario::Esci_Click() { close(); }

void frmInventario::ConfFTP_Click()
{
    Modulo::guarded(QStringLiteral("(ConfFTP_Click)"), [this] {
        FormConfigurazione dialog(this);
        dialog.exec();
        setEnabled(true);
    });
}

void frmInventario::MnuFileInvTab_Click() { CreaFileInventarioTab(); }
