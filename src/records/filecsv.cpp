#include "filecsv.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/regional.h"

#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace FileCsv {

const QString kSelectNonContati = QStringLiteral(
    "SELECT CodInterno, Barcode, Descrizione, Giacenza, PrezzoAcquisto FROM Prodotti WHERE Giacenza <> 0 "
    "AND NOT EXISTS (SELECT 1 FROM InventarioReale WHERE InventarioReale.IDProdottoVentrox = Prodotti.IDProdotto) "
    "ORDER BY CodInterno");

const QString kSelectConteggio = QStringLiteral(
    "SELECT CodInterno, Barcode, DescProdotto, GiacenzaReale, GiacenzaStatistica, PrezzoAcquisto, DataModifica "
    "FROM InventarioReale ORDER BY IDInventarioReale DESC");

namespace {

// A hundred thousand rows make the fields the hot path: plain ASCII (nearly
// every value) goes straight into the line, with no QString or QVariant made
// on the way.
void accodaAscii(QByteArray &riga, const char16_t *c, qsizetype n)
{
    const qsizetype inizio = riga.size();
    riga.resize(inizio + n);
    char *out = riga.data() + inizio;
    for (qsizetype i = 0; i < n; ++i)
        out[i] = static_cast<char>(c[i]);
}

bool speciale(char16_t c) { return c == u';' || c == u'"' || c == u'\r' || c == u'\n'; }

void aggiungiTesto(QByteArray &riga, const QString &testo)
{
    const char16_t *c = reinterpret_cast<const char16_t *>(testo.utf16());
    const qsizetype n = testo.size();
    bool ascii = true, virgolette = false;
    for (qsizetype i = 0; i < n; ++i) {
        ascii = ascii && c[i] < 0x80;
        virgolette = virgolette || speciale(c[i]);
    }
    if (virgolette)
        riga += '"';
    if (n > 0 && (c[0] == u'=' || c[0] == u'+' || c[0] == u'-' || c[0] == u'@'))
        riga += '\'';
    if (ascii && !virgolette) {
        accodaAscii(riga, c, n);
        return;
    }
    const QByteArray utf8 = testo.toUtf8();
    riga += virgolette ? QByteArray(utf8).replace('"', "\"\"") : utf8;
    if (virgolette)
        riga += '"';
}

void aggiungiNumero(QByteArray &riga, double valore)
{
    char testo[64];
    riga.append(testo, Regional::numberChars(valore, testo));
}

// Two decimals, halves to even; a rounded zero has no sign.
void aggiungiImporto(QByteArray &riga, double valore)
{
    const double arrotondato = Regional::roundHalfEven(valore, 2);
    char testo[400];
    char *fine = testo + sizeof testo;
    char *p = fine;
    if (std::fabs(arrotondato) < 1e13) {
        const qint64 centesimi = std::llround(arrotondato * 100);
        quint64 u = quint64(centesimi < 0 ? -centesimi : centesimi);
        *--p = char('0' + u % 10);
        u /= 10;
        *--p = char('0' + u % 10);
        u /= 10;
        *--p = ',';
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (centesimi < 0)
            *--p = '-';
    } else {
        p = testo;
        fine = std::to_chars(testo, fine, arrotondato, std::chars_format::fixed, 2).ptr;
        std::replace(p, fine, '.', ',');
    }
    riga.append(p, fine - p);
}

// A numeric column: its value (null as 0), and null written as nothing.
struct Numero {
    double valore;
    bool nullo;
};
Numero numero(const Recordset &rs, int colonna)
{
    const QVariant v = rs.value(colonna);
    return {Regional::toNumber(v), v.isNull()};
}
void aggiungiNumero(QByteArray &riga, const Numero &n)
{
    if (!n.nullo)
        aggiungiNumero(riga, n.valore);
}

void aggiungiData(QByteArray &riga, const QVariant &valore)
{
    if (valore.isNull())
        return;
    if (valore.typeId() == QMetaType::QString) {
        // the form the program stores on SQLite is already the one written
        const QString testo = valore.toString();
        const char16_t *c = reinterpret_cast<const char16_t *>(testo.utf16());
        bool scritta = testo.size() == 10 && c[2] == u'/' && c[5] == u'/';
        for (int i = 0; scritta && i < 10; ++i)
            scritta = i == 2 || i == 5 || (c[i] >= u'0' && c[i] <= u'9');
        if (scritta) {
            accodaAscii(riga, c, 10);
            return;
        }
        if (Regional::trimBlanks(testo).isEmpty())
            return;
    }
    riga += Regional::dateText(Regional::toDateTime(valore).date()).toLatin1();
}

// The texts that open every line: internal code, barcode, description,
// each followed by its separator.
struct Testi {
    int codice, barcode, descrizione;
    Testi(const Recordset &rs, const QString &colonnaDescrizione)
        : codice(rs.fieldIndex(QStringLiteral("CodInterno"))), barcode(rs.fieldIndex(QStringLiteral("Barcode"))),
          descrizione(rs.fieldIndex(colonnaDescrizione))
    {
    }
    void aggiungi(QByteArray &riga, const Recordset &rs) const
    {
        for (const int colonna : {codice, barcode, descrizione}) {
            aggiungiTesto(riga, Regional::valueText(rs.value(colonna)));
            riga += ';';
        }
    }
};

// Ends the line and writes it; the buffer is emptied for the next one.
void scriviRiga(QIODevice &device, QByteArray &riga)
{
    riga += "\r\n";
    if (device.write(riga) != riga.size())
        throw RuntimeError(ErrNo::PathFileAccess,
                           QStringLiteral("Errore di accesso al percorso o al file: %1").arg(device.errorString()));
    riga.truncate(0);
}

// The byte-order mark and the column titles.
void scriviIntestazione(QIODevice &device, QByteArray &riga, std::initializer_list<const char *> titoli)
{
    riga += "\xEF\xBB\xBF";
    for (const char *titolo : titoli) {
        if (riga.size() > 3)
            riga += ';';
        aggiungiTesto(riga, QString::fromUtf8(titolo));
    }
    scriviRiga(device, riga);
}

QString nome(const char *testa, const QDateTime &quando)
{
    return QLatin1String(testa) + quando.toString(QStringLiteral("dd-MM-yyyy_HH.mm")) + QStringLiteral(".csv");
}

} // namespace

QString nomeNonContati(const QDateTime &quando) { return nome("NonContati_", quando); }
QString nomeConteggio(const QDateTime &quando) { return nome("Conteggio_", quando); }

Totale scriviNonContati(QIODevice &device, Recordset &rs)
{
    QByteArray riga;
    riga.reserve(512);
    scriviIntestazione(device, riga,
                       {"CodInterno", "Barcode", "Descrizione", "Qta Ventrox", "Prezzo Acquisto", "Valore Acquisto"});
    Totale totale;
    const Testi testi(rs, QStringLiteral("Descrizione"));
    const int giacenza = rs.fieldIndex(QStringLiteral("Giacenza"));
    const int prezzo = rs.fieldIndex(QStringLiteral("PrezzoAcquisto"));
    for (; !rs.eof(); rs.moveNext()) {
        const Numero quantita = numero(rs, giacenza), acquisto = numero(rs, prezzo);
        const double valore = quantita.valore * acquisto.valore;
        testi.aggiungi(riga, rs);
        aggiungiNumero(riga, quantita);
        riga += ';';
        aggiungiNumero(riga, acquisto);
        riga += ';';
        aggiungiImporto(riga, valore);
        scriviRiga(device, riga);
        ++totale.prodotti;
        totale.valore += valore;
    }
    scriviRiga(device, riga);
    aggiungiTesto(riga, QStringLiteral("Totale: %1 prodotti").arg(totale.prodotti));
    riga += ";;;;;";
    aggiungiImporto(riga, totale.valore);
    scriviRiga(device, riga);
    return totale;
}

qint64 scriviConteggio(QIODevice &device, Recordset &rs)
{
    QByteArray riga;
    riga.reserve(512);
    scriviIntestazione(device, riga,
                       {"CodInterno", "Barcode", "Descrizione", "Qta Reale", "Qta Ventrox", "Differenza",
                        "Prezzo Acquisto", "Valore Differenza", "Data Inv."});
    const Testi testi(rs, QStringLiteral("DescProdotto"));
    const int reale = rs.fieldIndex(QStringLiteral("GiacenzaReale"));
    const int statistica = rs.fieldIndex(QStringLiteral("GiacenzaStatistica"));
    const int prezzo = rs.fieldIndex(QStringLiteral("PrezzoAcquisto"));
    const int data = rs.fieldIndex(QStringLiteral("DataModifica"));
    qint64 righe = 0;
    for (; !rs.eof(); rs.moveNext()) {
        const Numero contata = numero(rs, reale), libro = numero(rs, statistica), acquisto = numero(rs, prezzo);
        const double differenza = contata.valore - libro.valore;
        testi.aggiungi(riga, rs);
        aggiungiNumero(riga, contata);
        riga += ';';
        aggiungiNumero(riga, libro);
        riga += ';';
        aggiungiNumero(riga, differenza);
        riga += ';';
        aggiungiNumero(riga, acquisto);
        riga += ';';
        aggiungiImporto(riga, differenza * acquisto.valore);
        riga += ';';
        aggiungiData(riga, rs.value(data));
        scriviRiga(device, riga);
        ++righe;
    }
    return righe;
}

QString salva(const QString &percorso, const std::function<void(QIODevice &)> &scrivi)
{
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    try {
        scrivi(file);
    } catch (const RuntimeError &) {
        // the file's own failure is told as such; the temporary goes with it
        if (file.error() != QFileDevice::NoError)
            return file.errorString();
        throw;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace FileCsv
