#include "salvataggio.h"
#include "valori.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/regional.h"

namespace Salvataggio {
namespace {

double numeroDa(const QString &text, bool vuotoZero)
{
    if (vuotoZero && text.trimmed().isEmpty())
        return 0;
    if (const auto n = Regional::readNumber(text))
        return *n;
    throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("Tipo non corrispondente: '%1'").arg(text));
}

}   // namespace

Riga prepara(const Campi &campi, const QDate &oggi)
{
    Riga r;
    r.descrizione = Valori::testo(campi.descrizione);
    r.barcode = Valori::testo(campi.barcode);
    r.codInterno = Valori::testo(campi.codInterno);
    r.prezzoPubblico = Valori::prezzo(campi.prezzoPubblico, false);
    r.prezzoAcquisto = Valori::prezzo(campi.prezzoAcquisto, true);
    r.prezzoPubblicoNumero = Valori::prezzoNumero(campi.prezzoPubblico, false);
    r.prezzoAcquistoNumero = Valori::prezzoNumero(campi.prezzoAcquisto, true);
    r.giacenzaStatistica = numeroDa(campi.giacenzaStatistica, true);
    r.quantita = numeroDa(campi.quantita, true);
    if (campi.prodottoAttivo) {
        r.idAttivo = numeroDa(campi.idProdotto, false);
        r.idEliminato = 0;
    } else {
        r.idAttivo = 0;
        r.idEliminato = numeroDa(campi.idEliminato, false);
    }
    // the ids go into the statements as whole numbers: refuse anything else now
    Valori::id(r.idAttivo);
    Valori::id(r.idEliminato);
    Valori::numero(r.giacenzaStatistica);
    Valori::numero(r.quantita);
    r.data = oggi;
    return r;
}

QString istruzioneRicerca(const Riga &riga, bool sqlServer)
{
    const QString tabella = sqlServer ? QStringLiteral("SELECT * FROM   InventarioReale WITH (UPDLOCK, HOLDLOCK) ")
                                      : QStringLiteral("SELECT * FROM   InventarioReale ");
    if (riga.idAttivo == 0)
        return tabella + QStringLiteral("where IDProdottoEliminato=") + Valori::id(riga.idEliminato);
    return tabella + QStringLiteral("where IDProdottoVentrox=") + Valori::id(riga.idAttivo);
}

QString istruzioneInsert(const Riga &riga, bool unicode)
{
    // On SQL Server the text values are Unicode literals, so that what the
    // database's code page lacks is not stored as '?'.
    const QString q = unicode ? QStringLiteral("N'") : QStringLiteral("'");
    QString s;
    s += QStringLiteral("INSERT INTO InventarioReale ");
    s += QStringLiteral("      (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,IDCategoria,Categoria,UM,"
                        "Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,IDProdottoVentrox,"
                        "IDProdottoEliminato,CodInterno) ");
    s += QStringLiteral("VALUES (") + q;
    s += riga.descrizione;
    s += QStringLiteral("', ") + q;
    s += riga.barcode;
    s += QStringLiteral("', ");
    s += riga.prezzoPubblico;
    s += QStringLiteral(",");
    s += riga.prezzoAcquisto;
    s += QStringLiteral(",");
    s += QStringLiteral("0");
    s += QStringLiteral(",");
    s += QStringLiteral("1000");
    s += QStringLiteral(", ") + q;
    s += QStringLiteral("Generico");
    s += QStringLiteral("', ") + q;
    s += QStringLiteral("N°");
    s += QStringLiteral("','");
    s += QStringLiteral("0");
    s += QStringLiteral("', '");
    s += QStringLiteral("0");
    s += QStringLiteral("', ");
    s += Valori::numero(riga.quantita);
    s += QStringLiteral(", ");
    s += Valori::numero(riga.giacenzaStatistica);
    s += QStringLiteral(", '");
    s += Valori::data(riga.data);
    s += QStringLiteral("', ");
    s += Valori::id(riga.idAttivo);
    s += QStringLiteral(",");
    s += Valori::id(riga.idEliminato);
    s += QStringLiteral(" ,") + q;
    s += riga.codInterno;
    s += QStringLiteral("') ");
    return s;
}

QString istruzioneUpdate(const QString &totale, const QString &chiave)
{
    return QStringLiteral(" UPDATE InventarioReale ") + QStringLiteral(" SET    ")
           + QStringLiteral("       GiacenzaReale = ") + totale + QStringLiteral(" WHERE  IDInventarioReale = ")
           + chiave;
}

namespace {

// The fields of the row found that the update uses, with their types in a batch.
const QStringList kTrovata = {QStringLiteral("IDInventarioReale int"), QStringLiteral("GiacenzaReale float")};

}   // namespace

Esito salva(Connection &connection, const Riga &riga, const QString &elenco, const LeggiElenco &leggi)
{
    for (int prova = 1;; ++prova) {
        // SQLite: BEGIN IMMEDIATE takes the write lock before the lookup, and
        // the connection's busy timeout makes a second station wait for it.
        // SQL Server: the lookup's UPDLOCK, HOLDLOCK do the same for the product.
        Batch batch(connection);
        try {
            batch.begin();
            batch.lookup(istruzioneRicerca(riga, connection.sqlServer()), kTrovata);
            // the new total is the row's plus the quantity, added where the row
            // is held: no other station can change it in between
            batch.choose(istruzioneInsert(riga, connection.sqlServer()),
                istruzioneUpdate(batch.sum(QStringLiteral("GiacenzaReale"), riga.quantita),
                    batch.field(QStringLiteral("IDInventarioReale"))));
            batch.commit();
            if (!elenco.isEmpty())
                batch.query(elenco);
            batch.send();
        } catch (const RuntimeError &e) {
            // The server chose this save as a deadlock's victim and rolled it
            // back: nothing of it is written, and once more it will most
            // likely pass. Once committed it is never made again.
            if (prova == 1 && !batch.committed() && Db::deadlock(e))
                continue;
            throw;
        }
        Esito esito;
        esito.inserita = !batch.found();
        if (esito.inserita) {
            esito.totale = riga.quantita;
        } else {
            esito.chiave = Regional::valueText(batch.value(QStringLiteral("IDInventarioReale")));
            esito.totale = riga.quantita + Regional::toNumber(batch.value(QStringLiteral("GiacenzaReale")));
        }
        if (!elenco.isEmpty() && leggi)
            leggi(esito, [&batch]() -> Recordset & { return batch.rows(); });
        return esito;
    }
}

}   // namespace Salvataggio
