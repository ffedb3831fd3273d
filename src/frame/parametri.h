#pragma once
#include <QByteArray>
#include <QString>

// term.ini: key=value lines, each scrambled by a fixed character shift.
namespace Modulo {

QByteArray CodificaRiga(const QString &line);
QString DecodificaRiga(const QByteArray &line);

// The value of the key ("" when absent). A missing term.ini is created
// empty. File errors go to the error form; the result is then "".
QString LeggiParametro(const QString &key);
// Sets the key, in place (every matching line) or appended. False only
// when the error form was shown.
bool ScriviParametro(const QString &key, const QString &value);

QString parameterFilePath();

}   // namespace Modulo
