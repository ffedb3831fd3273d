#include "wintext.h"
#include "errors.h"

#include <QHash>

namespace WinText {
namespace {
// Code points of bytes 0x80..0x9F in Windows-1252; 0 where the byte is unused.
const char16_t kHigh[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0, 0x017E, 0x0178};

char encodeChar(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}
}   // namespace

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        out.append(encodeChar(c));
    return out;
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] != 0)
            out.append(QChar(kHigh[u - 0x80]));
        else
            out.append(QChar(u));
    }
    return out;
}

QByteArray field(const QString &text, int width)
{
    QByteArray bytes = encode(text);
    for (char &b : bytes)
        if (static_cast<unsigned char>(b) < 0x20 || b == 0x7F)
            b = ' ';
    if (bytes.size() >= width)
        return bytes.left(width);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

void writeLine(QIODevice &device, const QByteArray &line)
{
    const QByteArray data = line + "\r\n";
    if (device.write(data) != data.size())
        throw RuntimeError(ErrNo::PathFileAccess,
            QStringLiteral("Errore di accesso al percorso o al file: %1").arg(device.errorString()));
}

}   // namespace WinText
