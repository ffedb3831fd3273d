#include "parametri.h"
#include "errore.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "platform/shell.h"
#include "platform/wintext.h"

#include <QFile>
#include <QList>

namespace Modulo {
namespace {

QString normalise(const QString &key) { return (Regional::trimBlanks(key) + QLatin1Char('=')).toUpper(); }

bool matches(const QString &decoded, const QString &prefix) { return decoded.left(prefix.size()).toUpper() == prefix; }

[[noreturn]] void fileError(const QFile &file)
{
    double number = ErrNo::PathFileAccess;
    if (file.error() == QFileDevice::PermissionsError)
        number = ErrNo::PermissionDenied;
    throw RuntimeError(
        number, QStringLiteral("Errore di accesso al file %1: %2").arg(file.fileName(), file.errorString()));
}

// The raw lines of the file, created empty when missing.
QList<QByteArray> readLines(const QString &path, bool *lastLineOpen = nullptr)
{
    if (lastLineOpen)
        *lastLineOpen = false;
    QFile file(path);
    if (!file.exists()) {
        if (!file.open(QIODevice::WriteOnly))
            fileError(file);
        file.close();
        return {};
    }
    if (!file.open(QIODevice::ReadOnly))
        fileError(file);
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fileError(file);
    if (lastLineOpen)
        *lastLineOpen = !data.isEmpty() && !data.endsWith('\n');
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

void writeAll(QFile &file, const QByteArray &data)
{
    if (file.write(data) != data.size())
        fileError(file);
}

}   // namespace

QString parameterFilePath() { return Shell::programFile(QStringLiteral("term.ini")); }

QByteArray CodificaRiga(const QString &line)
{
    QString doubled = line;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    QByteArray bytes = WinText::encode(doubled);
    for (char &b : bytes) {
        const int c = static_cast<unsigned char>(b);
        b = static_cast<char>(c <= 245 ? c + 10 : 255 - c);
    }
    return bytes;
}

QString DecodificaRiga(const QByteArray &line)
{
    QByteArray bytes = line;
    for (char &b : bytes) {
        const int c = static_cast<unsigned char>(b);
        b = static_cast<char>(c <= 10 ? 255 - c : c - 10);
    }
    QString text = WinText::decode(bytes);
    // the encoder doubles quotes; undo it so that values round-trip
    text.replace(QLatin1String("\"\""), QLatin1String("\""));
    return text;
}

QString LeggiParametro(const QString &key)
{
    QString result;
    try {
        const QString prefix = normalise(key);
        for (const QByteArray &raw : readLines(parameterFilePath())) {
            const QString decoded = DecodificaRiga(raw);
            if (matches(decoded, prefix)) {
                result = decoded.mid(prefix.size());
                break;
            }
        }
    } catch (const RuntimeError &e) {
        trapError(e, QStringLiteral(" (LeggiParametro) "));
    }
    return result;
}

bool ScriviParametro(const QString &key, const QString &value)
{
    try {
        const QString prefix = normalise(key);
        const QString path = parameterFilePath();
        bool lastLineOpen = false;
        const QList<QByteArray> lines = readLines(path, &lastLineOpen);
        bool found = false;
        for (const QByteArray &raw : lines)
            if (matches(DecodificaRiga(raw), prefix)) {
                found = true;
                break;
            }
        const QByteArray newLine = CodificaRiga(prefix + Regional::trimBlanks(value)) + "\r\n";
        if (found) {
            const QString tempPath = Shell::programFile(QStringLiteral("termTemp.ini"));
            QFile::remove(tempPath);
            if (!QFile::copy(path, tempPath))
                throw RuntimeError(ErrNo::PermissionDenied,
                    QStringLiteral("Impossibile copiare ") + path + QStringLiteral(" in ") + tempPath);
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                fileError(out);
            // Lines of other keys keep their bytes as they were.
            for (const QByteArray &raw : lines)
                writeAll(out, matches(DecodificaRiga(raw), prefix) ? newLine : raw + "\r\n");
            out.close();
            if (out.error() != QFileDevice::NoError)
                fileError(out);
            if (!QFile::remove(tempPath))
                throw RuntimeError(ErrNo::PermissionDenied, QStringLiteral("Impossibile eliminare ") + tempPath);
        } else {
            QFile out(path);
            if (!out.open(QIODevice::Append))
                fileError(out);
            // a hand-made file may lack its last line end
            writeAll(out, lastLineOpen ? "\r\n" + newLine : newLine);
            out.close();
            if (out.error() != QFileDevice::NoError)
                fileError(out);
        }
        return true;
    } catch (const RuntimeError &e) {
        trapError(e, QStringLiteral(" (ScriviParametro) "));
        return false;
    }
}

}   // namespace Modulo
