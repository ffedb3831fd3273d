#pragma once
#include <QString>
#include <QVariant>

namespace Modulo {
// Money text: the value (a number, or text that reads as one by the regional
// rules) rounded half to even and written "##,##0.00" with Italian
// separators. "", "," and "0" give "0,00". Other text throws a type mismatch.
QString FormattaNumero(const QVariant &value, int decimals);
}   // namespace Modulo
