#pragma once
#include <QDate>
#include <QString>
#include <functional>

class Connection;
class Recordset;

// Saving a counted product into InventarioReale: the first save of a product
// inserts its row with a copy of the product's data, every later save adds
// the quantity to the row's GiacenzaReale.
namespace Salvataggio {

// The detail fields of the screen as they stand when the count is saved.
struct Campi {
    QString descrizione;   // txtDescrizione1; empty: no product loaded
    QString barcode;   // TxtBarcode
    QString prezzoPubblico;   // txtPrVe1, "1.234,50 €" or list text "12,5"
    QString prezzoAcquisto;   // txtPrezAcquisto
    QString codInterno;   // TxtDetCodiceLoro
    QString giacenzaStatistica;   // txtQta; empty counts as 0
    QString idProdotto;   // TxtIdProdotto
    QString idEliminato;   // txtProdeliminto
    QString quantita;   // TxtCopieReali; empty counts as 0
    bool prodottoAttivo = false;   // the product comes from Prodotti
};

// The values of one save, checked and in the form the statements carry.
struct Riga {
    QString descrizione;   // single quotes doubled
    QString barcode;   // single quotes doubled
    QString codInterno;   // single quotes doubled
    QString prezzoPubblico;   // SQL form of the price (a trailing blank may stay)
    QString prezzoAcquisto;
    double prezzoPubblicoNumero = 0;
    double prezzoAcquistoNumero = 0;
    double giacenzaStatistica = 0;
    double quantita = 0;
    double idAttivo = 0;   // IDProdottoVentrox, 0 for a product of prodottiC
    double idEliminato = 0;   // IDProdottoEliminato, 0 for a product of Prodotti
    QDate data;
};

// Works the fields out into a Riga. Throws RuntimeError 13 (type mismatch)
// when a price, the book quantity, the quantity or the product's id is no
// number; nothing has been touched then. Call only with a description.
Riga prepara(const Campi &campi, const QDate &oggi);

// The lookup of the product's row; on SQL Server it carries the hints that
// hold the row (or the gap where it will go) until the transaction ends.
QString istruzioneRicerca(const Riga &riga, bool sqlServer);
// `unicode`: the text values as N'...' (SQL Server).
QString istruzioneInsert(const Riga &riga, bool unicode);
// `totale` and `chiave` are SQL: numbers, or what stands for them in a batch.
QString istruzioneUpdate(const QString &totale, const QString &chiave);

struct Esito {
    bool inserita = false;   // a new row; else an existing one was raised
    QString chiave;   // IDInventarioReale of the raised row ("" after an insert)
    double totale = 0;   // GiacenzaReale after the save
};

// What reads the list once the save is committed: `righe` gives its
// statement's rows, or throws the statement's error.
using LeggiElenco = std::function<void(const Esito &, const std::function<Recordset &()> &righe)>;

// Looks the row up and inserts it or adds to it inside one transaction, so
// that stations saving the same product at once wait for each other and end
// with one row holding the sum; then `elenco`, when given, is run and its
// rows go to `leggi`. On SQL Server all of it is one batch: one round trip.
// A save that the server ends as a deadlock's victim is made once more,
// never after its commit. Throws RuntimeError; nothing is then written
// unless the error came after the commit (from `elenco`).
Esito salva(Connection &connection, const Riga &riga, const QString &elenco = QString(),
    const LeggiElenco &leggi = LeggiElenco());

}   // namespace Salvataggio
