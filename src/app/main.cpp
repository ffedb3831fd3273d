#include "screen/frminventario.h"
#include "screen/fonts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Inventario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/inventario.png")));
    Fonts::install();
    frmInventario form;
    form.show();
    form.Form_Load();
    return app.exec();
}
