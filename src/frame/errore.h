#pragma once
#include "platform/errors.h"

#include <QIODevice>
#include <QString>
#include <functional>

namespace Modulo {

struct ErrorRecord {
    double number = 0;
    int line = 0;
    QString description;
    QString form;
    QString control;
};

// Fills the error form and shows it modally; its button logs the error and
// ends the program.
void GestioneErrore(double number, int line, const QString &description, const QString &form, const QString &control);

// The trap of a guarded routine: the error's number and description plus
// the routine's label, the active form's and control's names.
void trapError(const RuntimeError &error, const QString &label, int section = 0);

// Names of the window and the control that have the focus ("" when none).
QString activeFormName();
QString activeControlName();

// Tests: take the errors instead of showing the form.
using ErrorHandler = std::function<void(const ErrorRecord &)>;
void setErrorHandler(ErrorHandler handler);

// How the error form ends the program; tests replace it.
void setProgramEnd(std::function<void()> end);
void endProgram();

// The program's version as major.minor.revision.
QString programVersion();

// LogErrori.TXT: the header (when `withHeader`) and one record line.
void writeErrorLog(QIODevice &device, bool withHeader, const QString &date, const QString &time, const QString &form,
    const QString &control, const QString &line, const QString &version, const QString &description,
    const QString &number);

// Runs `body`, reporting a RuntimeError (or any other exception) through
// trapError with the label; returns false when an error was trapped.
template <class F>
bool guarded(const QString &label, F &&body)
{
    try {
        body();
        return true;
    } catch (const RuntimeError &e) {
        trapError(e, label);
    } catch (const std::exception &e) {
        trapError(RuntimeError(5, QString::fromLocal8Bit(e.what())), label);
    }
    return false;
}

}   // namespace Modulo
