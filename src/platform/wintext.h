#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>

// Single-byte Windows-1252 text with CR LF line ends and fixed-width fields,
// the form of every file the program writes.
namespace WinText {

// One byte per character; characters that Windows-1252 cannot hold become '?'.
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);

// The text padded with blanks or cut to exactly `width` bytes. Control
// characters become blanks so that a field never breaks its line.
QByteArray field(const QString &text, int width);

// Appends bytes and CR LF; throws RuntimeError 75 when the device refuses.
void writeLine(QIODevice &device, const QByteArray &line);

}   // namespace WinText
