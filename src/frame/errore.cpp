#include "errore.h"
#include "frmerrore.h"
#include "platform/wintext.h"
#include "platform/regional.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>

namespace Modulo {
namespace {
ErrorHandler &errorHandler()
{
    static ErrorHandler h;
    return h;
}
std::function<void()> &programEnd()
{
    static std::function<void()> e;
    return e;
}
}   // namespace

void setErrorHandler(ErrorHandler h) { errorHandler() = std::move(h); }
void setProgramEnd(std::function<void()> e) { programEnd() = std::move(e); }

void endProgram()
{
    if (programEnd()) {
        programEnd()();
        return;
    }
    // at once: no other form runs any code, the connection is not closed
    std::_Exit(1);
}

QString programVersion()
{
    return QStringLiteral("%1.%2.%3")
        .arg(INVENTARIO_VERSION_MAJOR)
        .arg(INVENTARIO_VERSION_MINOR)
        .arg(INVENTARIO_VERSION_PATCH);
}

QString activeFormName()
{
    if (QWidget *focus = QApplication::focusWidget())
        return focus->window()->objectName();
    if (QWidget *active = QApplication::activeWindow())
        return active->objectName();
    return QString();
}

QString activeControlName()
{
    if (QWidget *focus = QApplication::focusWidget())
        return focus->objectName();
    return QString();
}

void GestioneErrore(double number, int line, const QString &description, const QString &form, const QString &control)
{
    const ErrorRecord record{number, line, description, form, control};
    if (errorHandler()) {
        errorHandler()(record);
        return;
    }
    // modal to the form that has the focus, and centred on it
    FrmErrore errore(QApplication::activeWindow());
    errore.mostra(record);
}

void trapError(const RuntimeError &error, const QString &label, int section)
{
    GestioneErrore(error.number(), section, error.description() + label, activeFormName(), activeControlName());
}

void writeErrorLog(QIODevice &device, bool withHeader, const QString &date, const QString &time, const QString &form,
    const QString &control, const QString &line, const QString &version, const QString &description,
    const QString &number)
{
    static const int widths[] = {10, 8, 20, 20, 6, 10, 200, 10};
    auto build = [](const QStringList &values) {
        QByteArray out;
        for (int i = 0; i < 8; ++i)
            out += WinText::field(values.at(i), widths[i]) + '|';
        return out;
    };
    if (withHeader)
        WinText::writeLine(
            device, build({QStringLiteral("Data"), QStringLiteral("Ora"), QStringLiteral("Form Attivo"),
                        QStringLiteral("Oggetto Attivo"), QStringLiteral("Linea"), QStringLiteral("Versione"),
                        QStringLiteral("Descrizione Errore"), QStringLiteral("Numero")}));
    WinText::writeLine(device,
        build({date, time, Regional::trimBlanks(form), Regional::trimBlanks(control), Regional::trimBlanks(line),
            Regional::trimBlanks(version), Regional::trimBlanks(description), Regional::trimBlanks(number)}));
}

}   // namespace Modulo
