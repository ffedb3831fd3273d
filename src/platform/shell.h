#pragma once
#include <QString>
#include <functional>

// Opening a file with the application the desktop associates with it, and
// the program's folder (where term.ini, the logs and the files go).
namespace Shell {
void openFile(const QString &path);
void setOpener(std::function<void(const QString &)> opener);   // tests

QString programFolder();
void setProgramFolder(const QString &folder);   // tests; empty: the executable's folder
QString programFile(const QString &name);   // folder + "/" + name
}   // namespace Shell
