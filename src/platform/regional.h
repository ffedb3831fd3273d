#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

// The Italian regional rules, fixed whatever the machine's locale is:
// decimal comma, '.' between thousands, dd/mm/yyyy and HH:mm:ss.
namespace Regional {

// A double as the platform writes it: at most 15 significant digits, a
// decimal comma, no thousands separator, no trailing zeros ("12,5", "3").
QString numberText(double value);

// The same text as bytes (it is ASCII) written into `out`, which holds at
// least 64; returns their number. For writers of large files: no QString.
int numberChars(double value, char *out);

// The same number for SQL text: a decimal point instead of the comma.
QString sqlNumber(double value);

// Reads a number by the regional rules: blanks around it, an optional sign,
// '.' as thousands separator (ignored between digits), ',' as the decimal
// separator. Empty text, a lone sign or a lone separator are no number.
std::optional<double> readNumber(const QString &text);
inline bool isNumber(const QString &text) { return readNumber(text).has_value(); }

// The value of a field as a number: numbers as they are, text by readNumber,
// null as 0. Throws RuntimeError 13 (type mismatch) for anything else.
double toNumber(const QVariant &value);

// Rounds to a number of decimals, halves going to the even neighbour.
double roundHalfEven(double value, int decimals);

// "##,##0.00" with '.' grouping and ',' decimals, after rounding halves to
// even: 1234.5 -> "1.234,50".
QString moneyText(double value, int decimals);

QString dateText(const QDate &date);   // dd/mm/yyyy
QString timeText(const QTime &time);   // HH:mm:ss
// The general date form: the date alone at midnight, else date and time.
QString generalDateText(const QDateTime &dateTime);

// A date field as the program reads it: a date or date-time value, or text
// in dd/mm/yyyy [HH:mm[:ss]] or ISO form. Throws RuntimeError 13 otherwise.
QDateTime toDateTime(const QVariant &value);

// Text of any field value as the regional rules write it (numbers with a
// decimal comma and no grouping, dates in the short form, null as "").
QString valueText(const QVariant &value);

// The text with its leading and trailing blanks removed; tabs and line
// ends are part of the text and stay.
QString trimBlanks(const QString &text);

}   // namespace Regional
