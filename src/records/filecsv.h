#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

class Recordset;
class QIODevice;

// The files for a spreadsheet: UTF-8 with a byte-order mark, ';' between
// fields, CR LF, numbers with a decimal comma and no grouping, dates
// dd/mm/yyyy. A field holding ';', '"' or a line end is quoted (quotes
// doubled); a text beginning with '=', '+', '-' or '@' gets a leading "'",
// so that a spreadsheet never runs it as a formula.
namespace FileCsv {

// The products of Prodotti with a book stock and no counted row, by code.
extern const QString kSelectNonContati;
// "NonContati_" + dd-mm-yyyy + "_" + hh.mm + ".csv"
QString nomeNonContati(const QDateTime &quando);

struct Totale {
    qint64 prodotti = 0;
    double valore = 0;   // book stock × purchase price, summed
};
// The header, one line per product as it is read, an empty line and the
// line of the total.
Totale scriviNonContati(QIODevice &device, Recordset &rs);

// Every counted row, newest first.
extern const QString kSelectConteggio;
// "Conteggio_" + dd-mm-yyyy + "_" + hh.mm + ".csv"
QString nomeConteggio(const QDateTime &quando);
// The header and one line per row as it is read; returns the rows written.
qint64 scriviConteggio(QIODevice &device, Recordset &rs);

// Writes the file at `percorso` through a temporary name beside it: only a
// complete file takes the name, replacing one that was there. Returns "" or
// why the file could not be written; any other error thrown by `scrivi`
// leaves nothing behind and goes on to the caller.
QString salva(const QString &percorso, const std::function<void(QIODevice &)> &scrivi);

} // namespace FileCsv
