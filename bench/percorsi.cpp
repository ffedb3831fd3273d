// The operator's paths through the real main form, offscreen.
#include "bench.h"
#include "frame/errore.h"
#include "frame/modulo.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "screen/frminventario.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace Bench {

struct Screen::Parts {
    frmInventario *form = nullptr;
    QLineEdit *txtCodice = nullptr;
    QLineEdit *txtNome = nullptr;
    QLineEdit *TxtCopieReali = nullptr;
    QLineEdit *TxtIdProdotto = nullptr;
    QCheckBox *CheckTipoRicerca = nullptr;
    QAbstractItemView *ListProdotti = nullptr;
    QAbstractItemView *lvwProdotti = nullptr;
    QPushButton *btn_tutti = nullptr;
    QAction *MnuFileInvTab = nullptr;
    QAction *MnuNonContati = nullptr;
    QAction *MnuEsportaConteggio = nullptr;
    QLabel *lblTest1 = nullptr;
    QString opened;
};

namespace {

template <class T>
T *control(QObject *form, const char *name)
{
    T *c = form->findChild<T *>(QLatin1String(name));
    if (!c)
        throw std::runtime_error(std::string("the form has no control ") + name);
    return c;
}

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

void expect(bool condition, const QString &what)
{
    if (!condition)
        throw std::runtime_error(what.toStdString());
}

// Lets the window paint what the handler changed.
void settle() { QCoreApplication::processEvents(); }

}   // namespace

Screen::Screen() : d(new Parts)
{
    MsgBox::setHandler([this](const MsgBox::Call &call) {
        messages.append(call.prompt);
        return (call.style & 0x0F) == MsgBox::YesNo ? int(MsgBox::Yes) : int(MsgBox::Ok);
    });
    Modulo::setErrorHandler([this](const Modulo::ErrorRecord &e) { errors.append(e.description); });
    Modulo::setProgramEnd([] {});
    Shell::setOpener([this](const QString &path) { d->opened = path; });
}

Screen::~Screen()
{
    delete d->form;
    MsgBox::setHandler(nullptr);
    Modulo::setErrorHandler(nullptr);
    Modulo::setProgramEnd(nullptr);
    Shell::setOpener(nullptr);
    delete d;
}

void Screen::startup(int expectedRows)
{
    delete d->form;
    d->form = nullptr;
    // every start opens the connection anew, as a new process does
    Modulo::ConnPrincipale().close();
    d->form = new frmInventario;
    d->form->show();
    d->form->Form_Load();

    QObject *f = d->form;
    d->txtCodice = control<QLineEdit>(f, "txtCodice");
    d->txtNome = control<QLineEdit>(f, "txtNome");
    d->TxtCopieReali = control<QLineEdit>(f, "TxtCopieReali");
    d->TxtIdProdotto = control<QLineEdit>(f, "TxtIdProdotto");
    d->CheckTipoRicerca = control<QCheckBox>(f, "CheckTipoRicerca");
    d->ListProdotti = control<QAbstractItemView>(f, "ListProdotti");
    d->lvwProdotti = control<QAbstractItemView>(f, "lvwProdotti");
    d->btn_tutti = control<QPushButton>(f, "btn_tutti");
    d->MnuFileInvTab = control<QAction>(f, "MnuFileInvTab");
    d->MnuNonContati = control<QAction>(f, "MnuNonContati");
    d->MnuEsportaConteggio = control<QAction>(f, "MnuEsportaConteggio");
    d->lblTest1 = control<QLabel>(f, "lblTest1");
    expect(d->lblTest1->text() == QLatin1String("OK"),
        QStringLiteral("start-up: the indicator shows ") + d->lblTest1->text());
    const int rows = d->lvwProdotti->model()->rowCount();
    expect(rows == expectedRows, QStringLiteral("start-up: %1 rows listed, %2 expected").arg(rows).arg(expectedRows));
}

void Screen::paint() { settle(); }

QString Screen::caption() const { return d->form->windowTitle(); }

void Screen::scan(const Product &p)
{
    if (!d->form->isActiveWindow()) {
        d->form->activateWindow();
        QApplication::setActiveWindow(d->form);
    }
    if (QApplication::focusWidget() != d->txtCodice) {
        d->txtCodice->setFocus();
        settle();
    }
    expect(QApplication::focusWidget() == d->txtCodice, QStringLiteral("scan: the focus is in ") + focusName());
    const QString text = p.barcode.isEmpty() ? p.codice : p.barcode;
    QTest::keyClicks(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    expect(QApplication::focusWidget() == d->TxtCopieReali,
        QStringLiteral("scan of %1: after Enter the focus is in %2").arg(text, focusName()));
    expect(!d->TxtIdProdotto->text().isEmpty(), QStringLiteral("scan of %1: no product loaded").arg(text));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    expect(QApplication::focusWidget() == d->txtCodice,
        QStringLiteral("scan of %1: after saving the focus is in %2").arg(text, focusName()));
    expect(d->txtCodice->text().isEmpty(), QStringLiteral("scan of %1: txtCodice not emptied").arg(text));
}

void Screen::beginNameSearch(bool contains)
{
    d->CheckTipoRicerca->setChecked(contains);
    d->txtNome->setFocus();
    d->txtNome->clear();
    settle();
}

void Screen::nameKey(QChar c, int expectedMax)
{
    QTest::keyClick(d->txtNome, c.toLatin1());
    const int items = d->ListProdotti->model()->rowCount();
    expect(items <= expectedMax, QStringLiteral("name search: %1 items listed").arg(items));
}

void Screen::usualView()
{
    d->form->CaricaDati();
    d->form->AzzeraRicerca();
    settle();
}

int Screen::emptyEnter()
{
    d->txtCodice->setFocus();
    d->txtCodice->clear();
    QTest::keyClick(d->txtCodice, Qt::Key_Return);
    return d->ListProdotti->model()->rowCount();
}

int Screen::vediTutti()
{
    QTest::mouseClick(d->btn_tutti, Qt::LeftButton);
    return d->lvwProdotti->model()->rowCount();
}

QString Screen::inventoryFile()
{
    d->opened.clear();
    d->MnuFileInvTab->trigger();
    expect(messages.contains(QStringLiteral("OK File Inventario Completato")),
        QStringLiteral("inventory file: no completion message"));
    messages.removeAll(QStringLiteral("OK File Inventario Completato"));
    expect(!d->opened.isEmpty(), QStringLiteral("inventory file: no file opened"));
    return d->opened;
}

QString Screen::uncounted()
{
    d->opened.clear();
    d->MnuNonContati->trigger();
    expect(!d->opened.isEmpty(), QStringLiteral("uncounted: no file opened"));
    expect(d->form->windowTitle().contains(QLatin1String(" prodotti non contati (eliminati: ")),
        QStringLiteral("uncounted: the caption reads ") + d->form->windowTitle());
    return d->opened;
}

QString Screen::countExport()
{
    d->opened.clear();
    d->MnuEsportaConteggio->trigger();
    expect(!d->opened.isEmpty(), QStringLiteral("count export: no file opened"));
    return d->opened;
}

}   // namespace Bench
