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

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>

namespace {
// Windows virtual-key codes of the keys the handlers look at.
int virtualKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Up: return 38;
    case Qt::Key_Down: return 40;
    case Qt::Key_F1: return 112;
    case Qt::Key_F2: return 113;
    default: return qtKey;
    }
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
} // namespace

frmInventario::frmInventario(QWidget *parent) : QMainWindow(parent), ui(new Ui::frmInventario)
{
    Fonts::install();
    ui->setupUi(this);
    Fonts::applyPointSizes(this);
    setFixedSize(1016, 632 + ui->menubar->sizeHint().height());

    m_lista = new InventarioModel(this);
    ui->lvwProdotti->setModel(m_lista);
    m_prodotti = new ProdottiListModel(this);
    ui->ListProdotti->setModel(m_prodotti);
    ui->ListProdotti->setUniformItemSizes(true);
    ui->ListProdotti->setItemDelegate(new VoceDelegate(ui->ListProdotti));
    // an opaque search frame spares the list under it a repaint when it grows
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
    connect(ui->ListProdotti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    ListProdotti_Click();
            });
    connect(ui->cmdSalva, &QToolButton::clicked, this, &frmInventario::cmdSalva_Click);
    connect(ui->CmdElimina, &QPushButton::clicked, this, &frmInventario::CmdElimina_Click);
    connect(ui->cmdModifica, &QToolButton::clicked, this, &frmInventario::cmdModifica_Click);
    connect(ui->MnuFileInvTab, &QAction::triggered, this, &frmInventario::MnuFileInvTab_Click);
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
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyRelease || type == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int vk = virtualKey(key->key());
        const Qt::KeyboardModifiers shift = key->modifiers();
        if (type == QEvent::KeyRelease) {
            if (key->isAutoRepeat())
                return false;
            Form_KeyUp(vk, shift);
            if (watched == ui->txtCodice)
                txtCodice_KeyUp(vk, shift);
            else if (watched == ui->txtNome)
                txtNome_KeyUp(vk, shift);
            else if (watched == ui->TxtCopieReali)
                TxtCopieReali_KeyUp(vk, shift);
        } else {
            if (watched == ui->txtCodice)
                txtCodice_KeyDown(vk, shift);
            else if (watched == ui->txtNome)
                txtNome_KeyDown(vk, shift);
        }
        return false;
    }
    if (type == QEvent::FocusIn) {
        if (watched == ui->txtCodice)
            txtCodice_GotFocus();
        else if (watched == ui->txtNome)
            txtNome_GotFocus();
        else if (watched == ui->TxtCopieReali)
            TxtCopieReali_GotFocus();
    } else if (type == QEvent::FocusOut) {
        if (watched == ui->txtCodice)
            txtCodice_LostFocus();
        else if (watched == ui->txtNome)
            txtNome_LostFocus();
    } else if (type == QEvent::MouseButtonRelease && watched == ui->lblTest1) {
        lblTest1_Click();
    }
    return QMainWindow::eventFilter(watched, event);
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
