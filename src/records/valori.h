#pragma once
#include <QDate>
#include <QString>

// How values are written into the SQL text of InventarioReale's statements,
// and the chosen product's reference shared by the whole program.
namespace Modulo {

// The product the detail fields show: from Prodotti (ProdottoAttivo, its id
// in IdAttivoScelto) or from prodottiC (its id in IdEliminatoScelto).
extern bool ProdottoAttivo;
extern double IdAttivoScelto;
extern double IdEliminatoScelto;

}   // namespace Modulo

namespace Valori {

// Text for inside a quoted SQL literal: every single quote doubled.
QString testo(const QString &text);

// Text for inside a quoted LIKE pattern: quotes doubled and, on SQL Server,
// every '[' written "[[]", since there it opens a set of characters.
QString like(const QString &text, bool sqlServer);

// A number computed by the program: shortest decimal text, '.' as point.
QString numero(double value);

// A price field of the screen (as "1.234,50 €" or as list text "12,5") in
// SQL form: euro sign dropped, thousands points removed, comma to point.
// The trailing blank before the euro sign is kept. Throws a type mismatch
// when what remains is no number.
QString prezzo(const QString &fieldText, bool acquisto);
// The same price as a number (for the list row added after an insert).
double prezzoNumero(const QString &fieldText, bool acquisto);

// A product id or row key: a whole number, checked; throws otherwise.
QString id(double value);
QString chiave(const QString &text);

// Today's date as the statements carry it: dd/mm/yyyy.
QString data(const QDate &date);

}   // namespace Valori
