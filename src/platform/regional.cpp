#include "regional.h"
#include "errors.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstring>

namespace Regional {

QString numberText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? QStringLiteral("0") : QString::number(value);
    QString text = QString::number(value, 'g', 15);
    const int e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // Basic writes exponents as 1E+20 / 1E-05
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        QChar sign = exponent.at(0);
        exponent = exponent.mid(1);
        while (exponent.size() < 2)
            exponent.prepend(QLatin1Char('0'));
        text = mantissa + QLatin1Char('E') + sign + exponent;
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

int numberChars(double value, char *out)
{
    const double a = std::fabs(value);
    if (a >= 1e-4 && a < 1e15) {
        if (value == std::floor(value))
            return int(std::to_chars(out, out + 64, static_cast<qint64>(value)).ptr - out);
        // The shortest digits that read back as the same double are the
        // digits of the 15-digit rounding whenever there are at most 15.
        const auto fine = std::to_chars(out, out + 64, value, std::chars_format::fixed);
        if (fine.ec == std::errc()) {
            int cifre = 0;
            bool significativa = false;
            for (char *p = out; p != fine.ptr; ++p) {
                if (*p >= '1' && *p <= '9')
                    significativa = true;
                if (significativa && *p >= '0' && *p <= '9')
                    ++cifre;
                if (*p == '.')
                    *p = ',';
            }
            if (cifre <= 15)
                return int(fine.ptr - out);
        }
    }
    const QByteArray text = numberText(value).toLatin1();
    std::memcpy(out, text.constData(), size_t(text.size()));
    return int(text.size());
}

QString sqlNumber(double value)
{
    QString text = numberText(value);
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

std::optional<double> readNumber(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QString plain;
    plain.reserve(text.size());
    int i = 0;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
        plain.append(text.at(0));
        i = 1;
    }
    bool digits = false, decimals = false, exponent = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            plain.append(c);
            digits = true;
        } else if (c == QLatin1Char('.') && !decimals && !exponent) {
            // thousands separator: only between digits
            if (!digits || i + 1 >= text.size() || !text.at(i + 1).isDigit())
                return std::nullopt;
        } else if (c == QLatin1Char(',') && !decimals && !exponent) {
            plain.append(QLatin1Char('.'));
            decimals = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && digits && !exponent) {
            plain.append(QLatin1Char('e'));
            exponent = true;
            if (i + 1 < text.size() && (text.at(i + 1) == QLatin1Char('-') || text.at(i + 1) == QLatin1Char('+')))
                plain.append(text.at(++i));
            if (i + 1 >= text.size())
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double toNumber(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return 0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool: return value.toDouble();
    default: break;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return 0;
    // A database hands decimals back as text with a point ("12.50"); that
    // form wins over the regional reading, where the point groups thousands.
    static const QRegularExpression plain(QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?$"));
    if (plain.match(text).hasMatch()) {
        bool ok = false;
        const double d = QLocale::c().toDouble(text, &ok);
        if (ok)
            return d;
    }
    if (auto n = readNumber(text))
        return *n;
    throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("Tipo non corrispondente"));
}

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9e15)
        return value;
    double whole = std::floor(scaled);
    const double diff = scaled - whole;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole / scale;
}

QString moneyText(double value, int decimals)
{
    const double rounded = roundHalfEven(value, decimals);
    QString fixed = QString::number(std::fabs(rounded), 'f', decimals);
    QString intPart = fixed, fracPart;
    const int dot = fixed.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        intPart = fixed.left(dot);
        fracPart = fixed.mid(dot + 1);
    }
    QString grouped;
    grouped.reserve(intPart.size() + intPart.size() / 3 + decimals + 2);
    const int n = intPart.size();
    for (int i = 0; i < n; ++i) {
        grouped.append(intPart.at(i));
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0)
            grouped.append(QLatin1Char('.'));
    }
    if (decimals > 0)
        grouped += QLatin1Char(',') + fracPart;
    bool zero = true;
    for (QChar c : fixed)
        if (c.isDigit() && c != QLatin1Char('0'))
            zero = false;
    if (rounded < 0 && !zero)
        grouped.prepend(QLatin1Char('-'));
    return grouped;
}

QString dateText(const QDate &date) { return date.toString(QStringLiteral("dd/MM/yyyy")); }

QString timeText(const QTime &time) { return time.toString(QStringLiteral("HH:mm:ss")); }

QString generalDateText(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return QString();
    if (dateTime.time() == QTime(0, 0))
        return dateText(dateTime.date());
    return dateText(dateTime.date()) + QLatin1Char(' ') + timeText(dateTime.time());
}

QDateTime toDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    const QString text = value.toString().trimmed();
    static const char *const formats[] = {"d/M/yyyy", "d/M/yyyy H:mm:ss", "d/M/yyyy H:mm", "yyyy-MM-dd",
        "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss.zzz"};
    for (const char *format : formats) {
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(format));
        if (dt.isValid())
            return dt;
        const QDate d = QDate::fromString(text, QLatin1String(format));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("Tipo non corrispondente"));
}

QString valueText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: return numberText(value.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort: return value.toString();
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case QMetaType::QDate:
    case QMetaType::QDateTime: return generalDateText(toDateTime(value));
    default: return value.toString();
    }
}

QString trimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return from == 0 && to == text.size() ? text : text.mid(from, to - from);
}

}   // namespace Regional
