#include "fileidentity.h"

#ifdef Q_OS_WIN
#include <QDir>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Volume serial number and file index: what stat's device and inode are
// elsewhere (stat's inode is always 0 here).
std::optional<FileIdentity> fileIdentity(const QString &path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    // Attributes only, and every kind of sharing: SQLite's own handles on the
    // file are neither blocked nor blocking.
    const HANDLE handle =
        CreateFileW(native.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!ok)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

#else
#include <QFile>
#include <sys/stat.h>

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}
#endif
