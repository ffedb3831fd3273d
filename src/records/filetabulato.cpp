#include "filetabulato.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/formatta.h"
#include "platform/regional.h"
#include "platform/wintext.h"

#include <QIODevice>
#include <cstring>

namespace FileTabulato {

const QString kSelect = QStringLiteral(
    "SELECT IDInventarioReale, DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, IDCategoria, Categoria, "
    "UM, Modifica, Modificato, GiacenzaReale,GiacenzaStatistica , DataModifica, IDProdottoVentrox, "
    "IDProdottoEliminato, CodInterno FROM   InventarioReale");

namespace {
struct Colonna {
    const char *intestazione;
    int larghezza;
    const char *campo;
};
constexpr int kColonne = 17;
constexpr Colonna kTracciato[kColonne] = {
    {"IdInventarioReale", 18, "IDInventarioReale"},
    {"Descprodotto", 180, "DescProdotto"},
    {"Barcode", 40, "Barcode"},
    {"PrezzoPubblico", 40, "PrezzoPubblico"},
    {"PrezzoAcquisto", 40, "PrezzoAcquisto"},
    {"IVA", 40, "IVA"},
    {"IdCategoria", 40, "IDCategoria"},
    {"Categoria", 40, "Categoria"},
    {"UM", 40, "UM"},
    {"modifica", 40, "Modifica"},
    {"Modificato", 40, "Modificato"},
    {"GiacenzaReale", 20, "GiacenzaReale"},
    {"GiacenzaStatistica", 40, "GiacenzaStatistica"},
    {"DataModifica", 40, "DataModifica"},
    {"IDProdottoVentrox", 20, "IDProdottoVentrox"},
    {"IDProdottoEliminato", 20, "IDProdottoEliminato"},
    {"CodInterno", 40, "CodInterno"},
};
constexpr int kColonnaPrezzoAcquisto = 4;
constexpr int kColonnaGiacenzaReale = 11;
constexpr int kLunghezzaRiga = 755;
}   // namespace

QString testoValore(const QVariant &valore)
{
    if (valore.typeId() != QMetaType::Double)
        return Regional::valueText(valore);
    char testo[64];
    return QString::fromLatin1(testo, Regional::numberChars(valore.toDouble(), testo));
}

namespace {

// Writes the text as a field of exactly `larghezza` bytes at `out`. Plain
// ASCII (nearly every value) is copied straight into the line; anything else
// goes through the Windows-1252 field rule. A hundred thousand rows make this
// the hot path.
void scriviCampo(char *out, const QString &testo, int larghezza)
{
    const char16_t *c = reinterpret_cast<const char16_t *>(testo.utf16());
    const qsizetype copiati = qMin<qsizetype>(testo.size(), larghezza);
    for (qsizetype i = 0; i < copiati; ++i) {
        const char16_t u = c[i];
        if (u >= 0x7F) {
            std::memcpy(out, WinText::field(testo, larghezza).constData(), static_cast<size_t>(larghezza));
            return;
        }
        out[i] = u < 0x20 ? ' ' : static_cast<char>(u);
    }
    std::memset(out + copiati, ' ', static_cast<size_t>(larghezza - copiati));
}
}   // namespace

QString nomeFile(const QDateTime &quando)
{
    QString data = Regional::dateText(quando.date());
    QString ora = Regional::timeText(quando.time());
    data.remove(QLatin1Char('/'));
    ora.remove(QLatin1Char(':'));
    return QStringLiteral("Inventario_") + data + QLatin1Char('_') + ora + QStringLiteral(".Dat");
}

QByteArray titolo(const QDateTime &quando)
{
    return WinText::encode(QStringLiteral("Inventario del Data: ") + Regional::dateText(quando.date())
                           + QStringLiteral(" - ") + QStringLiteral("Ora") + Regional::timeText(quando.time())
                           + QLatin1Char('|'));
}

QByteArray intestazione()
{
    QByteArray out;
    out.reserve(kLunghezzaRiga);
    for (const Colonna &c : kTracciato)
        out += WinText::field(QLatin1String(c.intestazione), c.larghezza) + '|';
    return out;
}

void scriviTesta(QIODevice &device, bool esisteva, const QDateTime &quando)
{
    if (esisteva)
        WinText::writeLine(device, QByteArray());
    WinText::writeLine(device, titolo(quando));
    WinText::writeLine(device, intestazione());
}

double scriviRighe(QIODevice &device, Recordset &rs)
{
    double totale = 0;
    if (rs.eof())
        return totale;
    // the fields by name once, then by position for every row
    int indice[kColonne];
    for (int i = 0; i < kColonne; ++i)
        indice[i] = rs.fieldIndex(QLatin1String(kTracciato[i].campo));
    // one line buffer: the separators and the line end never move
    QByteArray riga(kLunghezzaRiga + 2, '|');
    riga[kLunghezzaRiga] = '\r';
    riga[kLunghezzaRiga + 1] = '\n';
    int inizio[kColonne];
    for (int i = 0, pos = 0; i < kColonne; pos += kTracciato[i].larghezza + 1, ++i)
        inizio[i] = pos;
    char *dati = riga.data();
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < kColonne; ++i)
            scriviCampo(dati + inizio[i], testoValore(rs.value(indice[i])), kTracciato[i].larghezza);
        if (device.write(riga) != riga.size())
            throw RuntimeError(ErrNo::PathFileAccess,
                QStringLiteral("Errore di accesso al percorso o al file: %1").arg(device.errorString()));
        totale += Regional::toNumber(rs.value(indice[kColonnaPrezzoAcquisto]))
                  * Regional::toNumber(rs.value(indice[kColonnaGiacenzaReale]));
    }
    return totale;
}

void scriviCoda(QIODevice &device, double totale)
{
    WinText::writeLine(device, QByteArray());
    WinText::writeLine(device, QByteArray());
    WinText::writeLine(
        device, WinText::encode(QStringLiteral("       Totale Inventario: ") + Modulo::FormattaNumero(totale, 2)));
    for (int i = 0; i < 3; ++i)
        WinText::writeLine(device, QByteArray());
}

}   // namespace FileTabulato
