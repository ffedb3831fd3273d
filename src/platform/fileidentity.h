#pragma once
#include <QString>
#include <QtGlobal>
#include <optional>

// Which file a path names, as the file system tells files apart: a file
// deleted, or replaced by another under the same name, gets another identity.
struct FileIdentity {
    quint64 volume = 0;
    quint64 file = 0;
    bool operator==(const FileIdentity &other) const { return volume == other.volume && file == other.file; }
    bool operator!=(const FileIdentity &other) const { return !(*this == other); }
};

// The identity of the file at `path`; none when there is no such file.
std::optional<FileIdentity> fileIdentity(const QString &path);
