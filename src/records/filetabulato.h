#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

class Recordset;
class QIODevice;

// The inventory text file: the whole of InventarioReale as fixed-width,
// "|"-separated Windows-1252 lines with CR LF, under a title and a column
// header, followed by the value of the rows written.
namespace FileTabulato {

// The SELECT whose rows the file holds, in the server's order.
extern const QString kSelect;

// "Inventario_" + ddmmyyyy + "_" + HHmmss + ".Dat"
QString nomeFile(const QDateTime &quando);

QByteArray titolo(const QDateTime &quando);   // no line end
QByteArray intestazione();   // 755 bytes, no line end

// A column value as the file shows it: the regional text of the value
// (numbers with a decimal comma, at most 15 significant digits; dates in
// the short form; null as nothing).
QString testoValore(const QVariant &valore);

// An empty line when the file already existed, then the title and the header.
void scriviTesta(QIODevice &device, bool esisteva, const QDateTime &quando);

// Writes one line per row as it is read, to the end of the recordset, and
// returns the sum of PrezzoAcquisto × GiacenzaReale over the rows written.
double scriviRighe(QIODevice &device, Recordset &rs);

// Two empty lines, the total in money form, three empty lines.
void scriviCoda(QIODevice &device, double totale);

}   // namespace FileTabulato
