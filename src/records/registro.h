#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

class Connection;
class QFile;
class QIODevice;

// Deleting a counted row and the audit log of deletions, LOGSalvaRiga.Dat:
// Windows-1252, CR LF, a header when the file is new, then one fixed-width
// line per deletion. Header and data lines have different widths.
namespace Registro {

extern const QString kNomeFile;   // "LOGSalvaRiga.Dat"

struct Voce {
    QString operazione;   // "Elimina"
    QDateTime quando;
    QString idInventario;   // the row key as the screen held it
    QString descrizione;
    double idAttivo = 0;   // IdAttivoScelto
    double idEliminato = 0;   // IdEliminatoScelto
    QString barcode;
    QString codInterno;
    QString qtaReale;   // the counted total shown for the product
    QString qtaSparata;
};

QByteArray intestazione();   // 423 bytes, no line end
QByteArray riga(const Voce &voce);   // 403 bytes, no line end

// Writes the header (when the file is new) and the line, each with CR LF.
void scrivi(QIODevice &device, bool nuovo, const Voce &voce);

// Opens a file of the program folder for appending, creating it when absent;
// throws RuntimeError 70 (permission) or 75 (path/file access).
void apriInCoda(QFile &file);

// "DELETE FROM InventarioReale where idinventarioReale=" + the key; the key
// must be a whole number (RuntimeError 13 otherwise).
QString istruzioneElimina(const QString &chiave);
void eliminaRiga(Connection &connection, const QString &chiave);

}   // namespace Registro

namespace Modulo {
// Appends one line to LOGSalvaRiga.Dat in the program folder, with the date,
// the time and the chosen product's ids added; errors go to the error form
// with the label " (LOG) ".
void ScriviLog(const QString &operazione, const QString &idInventario, const QString &descrizione,
    const QString &barcode, const QString &codInterno, const QString &qtaReale, const QString &qtaSparata);
}   // namespace Modulo
