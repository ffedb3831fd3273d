#include "valori.h"
#include "platform/errors.h"
#include "platform/regional.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace Modulo {
bool ProdottoAttivo = false;
double IdAttivoScelto = 0;
double IdEliminatoScelto = 0;
}   // namespace Modulo

namespace Valori {
namespace {
[[noreturn]] void mismatch(const QString &what)
{
    throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("Tipo non corrispondente: '%1'").arg(what));
}
}   // namespace

QString testo(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString like(const QString &text, bool sqlServer)
{
    return sqlServer ? testo(text).replace(QLatin1String("["), QLatin1String("[[]")) : testo(text);
}

QString numero(double value)
{
    if (!std::isfinite(value))
        mismatch(QString::number(value));
    return Regional::sqlNumber(value);
}

QString prezzo(const QString &fieldText, bool acquisto)
{
    QString t = fieldText;
    if (t.endsWith(QChar(0x20AC)))
        t.chop(1);
    if (acquisto)
        t.remove(QLatin1Char('.'));
    if (t.size() > 8)
        t.remove(QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+(\\.\\d*)?|\\.\\d+)\\s*$"));
    if (!number.match(t).hasMatch())
        mismatch(fieldText);
    return t;
}

double prezzoNumero(const QString &fieldText, bool acquisto)
{
    return QLocale::c().toDouble(prezzo(fieldText, acquisto).trimmed());
}

QString id(double value)
{
    if (!std::isfinite(value) || value != std::floor(value) || std::fabs(value) > 9e15)
        mismatch(QString::number(value));
    return QString::number(static_cast<qint64>(value));
}

QString chiave(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*-?\\d{1,18}\\s*$"));
    if (!whole.match(text).hasMatch())
        mismatch(text);
    return text.trimmed();
}

QString data(const QDate &date) { return Regional::dateText(date); }

}   // namespace Valori
