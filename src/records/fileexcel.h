#pragma once
#include <QDateTime>
#include <QString>

class Recordset;
namespace Excel {
class Cartella;
}

// The two workbooks of the "File" menu, written as their statement's rows
// are read: codes, barcodes and descriptions as texts, quantities and
// amounts as numbers, dates as dates, a total under each list.
namespace FileExcel {

// What is left to count: the products of Prodotti with a book stock and no
// counted row, then (Eliminato 1) those of prodottiC with a book stock and
// no row counted under their id as eliminated products; each by code.
extern const QString kSelectNonContati;
// "NonContati_" + dd-mm-yyyy + "_" + hh.mm + ".xlsx"
QString nomeNonContati(const QDateTime &quando);

struct Totale {
    qint64 prodotti = 0;   // both sheets
    qint64 eliminati = 0;
    double valore = 0;   // book stock × purchase price, each to the cent, summed
};
// The sheets "Non contati" and "Eliminati", the same columns in each.
Totale scriviNonContati(Excel::Cartella &cartella, Recordset &rs);

// Every counted row, newest first.
extern const QString kSelectConteggio;
// "Conteggio_" + dd-mm-yyyy + "_" + hh.mm + ".xlsx"
QString nomeConteggio(const QDateTime &quando);
// The sheet "Conteggio"; returns the rows written.
qint64 scriviConteggio(Excel::Cartella &cartella, Recordset &rs);

}   // namespace FileExcel
