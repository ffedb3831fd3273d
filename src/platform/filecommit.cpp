#include "filecommit.h"

#ifdef Q_OS_WIN
#include <QDir>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace FileCommit {

QString sync(const QString &path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE handle = CreateFileW(
        native.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return qt_error_string(int(GetLastError()));
    const BOOL ok = FlushFileBuffers(handle);
    const DWORD error = ok ? 0 : GetLastError();
    CloseHandle(handle);
    return ok ? QString() : qt_error_string(int(error));
}

Rename renameNew(const QString &from, const QString &to, QString *error)
{
    // without MOVEFILE_REPLACE_EXISTING an existing name makes it fail
    if (MoveFileExW(QDir::toNativeSeparators(from).toStdWString().c_str(),
            QDir::toNativeSeparators(to).toStdWString().c_str(), MOVEFILE_WRITE_THROUGH))
        return Rename::Done;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        return Rename::Taken;
    *error = qt_error_string(int(code));
    return Rename::Failed;
}

}   // namespace FileCommit

#else
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace FileCommit {

QString sync(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return ok ? QString() : qt_error_string(error);
}

Rename renameNew(const QString &from, const QString &to, QString *error)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    int result = ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // a file system without that flag: a new link is refused on a taken name too
        result = ::link(a.constData(), b.constData());
        if (result == 0)
            ::unlink(a.constData());
    }
    if (result == 0)
        return Rename::Done;
    if (errno == EEXIST)
        return Rename::Taken;
    *error = qt_error_string(errno);
    return Rename::Failed;
}

}   // namespace FileCommit
#endif
