#pragma once
#include <QString>

// The last steps of writing a file under a temporary name.
namespace FileCommit {

// Puts the file's content on the disk, past the system's caches, so that
// once it has its final name it is whole even after a power cut. Returns ""
// or why it could not.
QString sync(const QString &path);

// Gives the file `from` the name `to` only when no file has that name: an
// existing file is never replaced, even one made a moment before.
enum class Rename { Done, Taken, Failed };
Rename renameNew(const QString &from, const QString &to, QString *error);

}   // namespace FileCommit
