#include "shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace Shell {
namespace {
std::function<void(const QString &)> &opener()
{
    static std::function<void(const QString &)> o;
    return o;
}
QString &folder()
{
    static QString f;
    return f;
}
}   // namespace

void openFile(const QString &path)
{
    if (opener())
        opener()(path);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setOpener(std::function<void(const QString &)> o) { opener() = std::move(o); }

QString programFolder()
{
    if (!folder().isEmpty())
        return folder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &f) { folder() = f; }

QString programFile(const QString &name) { return QDir(programFolder()).filePath(name); }

}   // namespace Shell
