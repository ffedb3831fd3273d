#include "fileexcel.h"
#include "cartella.h"
#include "platform/db.h"
#include "platform/regional.h"

namespace FileExcel {

const QString kSelectNonContati =
    QStringLiteral("SELECT 0 AS Eliminato, CodInterno, Barcode, Descrizione, Giacenza, PrezzoAcquisto FROM Prodotti "
                   "WHERE Giacenza <> 0 AND NOT EXISTS (SELECT 1 FROM InventarioReale "
                   "WHERE InventarioReale.IDProdottoVentrox = Prodotti.IDProdotto) UNION ALL "
                   "SELECT 1, CodInterno, Barcode, Descrizione, Giacenza, PrezzoAcquisto FROM prodottiC "
                   "WHERE Giacenza <> 0 AND NOT EXISTS (SELECT 1 FROM InventarioReale "
                   "WHERE InventarioReale.IDProdottoEliminato = prodottiC.IDProdotto) ORDER BY Eliminato, CodInterno");

const QString kSelectConteggio = QStringLiteral(
    "SELECT CodInterno, Barcode, DescProdotto, GiacenzaReale, GiacenzaStatistica, PrezzoAcquisto, DataModifica "
    "FROM InventarioReale ORDER BY IDInventarioReale DESC");

namespace {

using Excel::Colonna;
using Excel::Tipo;

QString nome(const char *testa, const QDateTime &quando)
{
    return QLatin1String(testa) + quando.toString(QStringLiteral("dd-MM-yyyy_HH.mm")) + QStringLiteral(".xlsx");
}

// The texts that open every row: internal code, barcode, description.
struct Testi {
    int colonne[3];
    Testi(const Recordset &rs, const QString &descrizione)
        : colonne{rs.fieldIndex(QStringLiteral("CodInterno")), rs.fieldIndex(QStringLiteral("Barcode")),
            rs.fieldIndex(descrizione)}
    {}
    void scrivi(Excel::Foglio &foglio, const Recordset &rs) const
    {
        for (int i = 0; i < 3; ++i)
            foglio.testo(i, Regional::valueText(rs.value(colonne[i])));
    }
};

// A numeric field: its value (null as 0), written unless null.
double numero(Excel::Foglio &foglio, int colonna, const QVariant &valore)
{
    const double n = Regional::toNumber(valore);
    if (!valore.isNull())
        foglio.numero(colonna, n);
    return n;
}

// An amount computed from the row, as the total adds it up: to the cent.
void importo(Excel::Foglio &foglio, int colonna, double valore)
{
    foglio.numero(colonna, Regional::roundHalfEven(valore, 2));
}

QDate data(const QVariant &valore)
{
    if (valore.isNull())
        return {};
    if (valore.typeId() == QMetaType::QString) {
        // the form the program stores on SQLite, read without a parser
        const QString testo = valore.toString();
        const char16_t *c = reinterpret_cast<const char16_t *>(testo.utf16());
        bool gma = testo.size() == 10 && c[2] == u'/' && c[5] == u'/';
        for (int i = 0; gma && i < 10; ++i)
            gma = i == 2 || i == 5 || (c[i] >= u'0' && c[i] <= u'9');
        auto cifre = [c](int da, int n) {
            int v = 0;
            for (int i = da; i < da + n; ++i)
                v = v * 10 + (c[i] - u'0');
            return v;
        };
        if (const QDate d = gma ? QDate(cifre(6, 4), cifre(3, 2), cifre(0, 2)) : QDate(); d.isValid())
            return d;
        if (Regional::trimBlanks(testo).isEmpty())
            return {};
    }
    return Regional::toDateTime(valore).date();
}

}   // namespace

QString nomeNonContati(const QDateTime &quando) { return nome("NonContati_", quando); }
QString nomeConteggio(const QDateTime &quando) { return nome("Conteggio_", quando); }

Totale scriviNonContati(Excel::Cartella &cartella, Recordset &rs)
{
    const QList<Colonna> colonne = {{"CodInterno", Tipo::Testo, false}, {"Barcode", Tipo::Testo, false},
        {"Descrizione", Tipo::Testo, false}, {"Qta Ventrox", Tipo::Quantita, true},
        {"Prezzo Acquisto", Tipo::Importo, false}, {"Valore Acquisto", Tipo::Importo, true}};
    Excel::Foglio *fogli[] = {&cartella.foglio("Non contati", colonne), &cartella.foglio("Eliminati", colonne)};
    const Testi testi(rs, QStringLiteral("Descrizione"));
    const int eliminato = rs.fieldIndex(QStringLiteral("Eliminato"));
    const int giacenza = rs.fieldIndex(QStringLiteral("Giacenza"));
    const int prezzo = rs.fieldIndex(QStringLiteral("PrezzoAcquisto"));
    for (; !rs.eof(); rs.moveNext()) {
        Excel::Foglio &foglio = *fogli[Regional::toNumber(rs.value(eliminato)) != 0 ? 1 : 0];
        testi.scrivi(foglio, rs);
        const double quantita = numero(foglio, 3, rs.value(giacenza));
        importo(foglio, 5, quantita * numero(foglio, 4, rs.value(prezzo)));
        foglio.fineRiga();
    }
    for (Excel::Foglio *foglio : fogli)
        foglio->chiudi(QStringLiteral("prodotti"));
    return {fogli[0]->righe() + fogli[1]->righe(), fogli[1]->righe(), fogli[0]->somma(5) + fogli[1]->somma(5)};
}

qint64 scriviConteggio(Excel::Cartella &cartella, Recordset &rs)
{
    Excel::Foglio &foglio = cartella.foglio("Conteggio",
        {{"CodInterno", Tipo::Testo, false}, {"Barcode", Tipo::Testo, false}, {"Descrizione", Tipo::Testo, false},
            {"Qta Reale", Tipo::Quantita, true}, {"Qta Ventrox", Tipo::Quantita, true},
            {"Differenza", Tipo::Quantita, true}, {"Prezzo Acquisto", Tipo::Importo, false},
            {"Valore Differenza", Tipo::Importo, true}, {"Data Inv.", Tipo::Data, false}});
    const Testi testi(rs, QStringLiteral("DescProdotto"));
    const int reale = rs.fieldIndex(QStringLiteral("GiacenzaReale"));
    const int statistica = rs.fieldIndex(QStringLiteral("GiacenzaStatistica"));
    const int prezzo = rs.fieldIndex(QStringLiteral("PrezzoAcquisto"));
    const int giorno = rs.fieldIndex(QStringLiteral("DataModifica"));
    for (; !rs.eof(); rs.moveNext()) {
        testi.scrivi(foglio, rs);
        const double differenza = numero(foglio, 3, rs.value(reale)) - numero(foglio, 4, rs.value(statistica));
        foglio.numero(5, differenza);
        importo(foglio, 7, differenza * numero(foglio, 6, rs.value(prezzo)));
        foglio.data(8, data(rs.value(giorno)));
        foglio.fineRiga();
    }
    foglio.chiudi(QStringLiteral("righe"));
    return foglio.righe();
}

}   // namespace FileExcel
