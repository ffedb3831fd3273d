#include "msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace MsgBox {
namespace {
Handler &handler()
{
    static Handler h;
    return h;
}
}   // namespace

void setHandler(Handler h) { handler() = std::move(h); }

QString applicationTitle() { return QStringLiteral("Inventario"); }

int show(const QString &prompt, int style, const QString &title)
{
    Call call{prompt, style, title.isEmpty() ? applicationTitle() : title};
    if (handler())
        return handler()(call);

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(call.title);
    box.setText(prompt);
    switch (style & 0x70) {
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Information: box.setIcon(QMessageBox::Information); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if ((style & 0x0F) == YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes ? Yes : No;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return Ok;
}

}   // namespace MsgBox
