#include "formatta.h"
#include "errors.h"
#include "regional.h"

namespace Modulo {

QString FormattaNumero(const QVariant &value, int decimals)
{
    double number = 0;
    bool isText = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray || value.isNull()
                  || !value.isValid();
    const QString text = isText ? Regional::trimBlanks(value.toString()) : Regional::numberText(value.toDouble());
    if (text.isEmpty() || text == QLatin1String(",") || text == QLatin1String("0"))
        return QStringLiteral("0,") + QString(decimals, QLatin1Char('0'));
    if (isText) {
        const auto n = Regional::readNumber(text);
        if (!n)
            throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("Tipo non corrispondente"));
        number = *n;
    } else {
        number = value.toDouble();
    }
    return Regional::moneyText(number, decimals);
}

}   // namespace Modulo
