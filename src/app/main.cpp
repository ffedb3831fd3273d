#include "screen/frminventario.h"
#include "platform/db.h"
#include "platform/runtime.h"
#include "screen/fonts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    Runtime::prepare();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Inventario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/inventario.png")));
    Fonts::install();
    frmInventario form;
    form.show();
    form.Form_Load();
    const int code = app.exec();
    // A test that gave up on a silent server leaves its worker opening, for
    // at most its login timeout: the program ends once it is done.
    Db::waitForTests(10000);
    return code;
}
