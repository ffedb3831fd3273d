#pragma once
#include <QString>

// Where a font of the screen comes from when the system does not know its
// family: Windows has Tahoma; elsewhere Wine's free copy of it stands in.
namespace FontFiles {
// The file to add for `family`, or "" where no stand-in is known.
QString standIn(const QString &family);
}   // namespace FontFiles
