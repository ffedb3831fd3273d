// The inventory text file: its name, its lines byte for byte and the total
// computed from the rows written.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/regional.h"
#include "records/filetabulato.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
const QByteArray kCrLf("\r\n");
const QDateTime kQuando(QDate(2026, 12, 5), QTime(14, 30, 22));

// One line of the file: each Latin-1 text padded with blanks or cut to its
// column's width, then "|"; columns past the texts are blank.
QByteArray linea(const QByteArrayList &testi)
{
    static const int larghezze[] = {18, 180, 40, 40, 40, 40, 40, 40, 40, 40, 40, 20, 40, 40, 20, 20, 40};
    QByteArray out;
    for (int i = 0; i < 17; ++i)
        out += testi.value(i).left(larghezze[i]).leftJustified(larghezze[i], ' ') + '|';
    return out + kCrLf;
}

const QByteArray kTesta = "Inventario del Data: 05/12/2026 - Ora14:30:22|" + kCrLf
                          + linea({"IdInventarioReale", "Descprodotto", "Barcode", "PrezzoPubblico", "PrezzoAcquisto",
                                   "IVA", "IdCategoria", "Categoria", "UM", "modifica", "Modificato", "GiacenzaReale",
                                   "GiacenzaStatistica", "DataModifica", "IDProdottoVentrox", "IDProdottoEliminato",
                                   "CodInterno"});

QByteArray coda(const QByteArray &totale)
{
    return kCrLf + kCrLf + "       Totale Inventario: " + totale + kCrLf + kCrLf + kCrLf + kCrLf;
}

// The whole file for the rows of the program's database.
QByteArray scriviFile(Fixture::Program &program, bool esisteva = false)
{
    Connection c;
    c.open(program.connectionString());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FileTabulato::scriviTesta(buffer, esisteva, kQuando);
    Recordset rs(c, FileTabulato::kSelect);
    FileTabulato::scriviCoda(buffer, FileTabulato::scriviRighe(buffer, rs));
    return buffer.data();
}
} // namespace

class TestFileTabulato : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileName()
    {
        QCOMPARE(FileTabulato::nomeFile(kQuando), QStringLiteral("Inventario_05122026_143022.Dat"));
        QCOMPARE(FileTabulato::nomeFile(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))),
                 QStringLiteral("Inventario_02012027_030405.Dat"));
    }
    void rowsByteForByteWithTheirTotal()
    {
        Fixture::Program program;
        // a second run within the same second goes on after an empty line
        QCOMPARE(scriviFile(program, true), kCrLf + kTesta + coda("0,00"));

        program.exec(QStringLiteral(
            "INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, IDCategoria, "
            "Categoria, UM, Modifica, Modificato, GiacenzaReale, GiacenzaStatistica, DataModifica, IDProdottoVentrox, "
            "IDProdottoEliminato, CodInterno) VALUES "
            "('%1\u00e8\u20ac''%ZZZZ', '', 12345.67, 1234.5, 0, 1000, 'Generico', 'N\u00b0', '0', '0', 2.5, -1, "
            "'06/12/2026', 0, 5001, 'C1' || char(9) || 'X'), "
            "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)")
                         .arg(QString(175, QLatin1Char('D'))));
        // 1234,5 x 2,5: the null row adds nothing
        QCOMPARE(scriviFile(program),
                 kTesta
                     + linea({"1", QByteArray(175, 'D') + "\xe8\x80'%Z", "", "12345,67", "1234,5", "0", "1000",
                              "Generico", "N\xb0", "0", "0", "2,5", "-1", "06/12/2026", "0", "5001", "C1 X"})
                     + linea({"2"}) + coda("3.086,25"));
    }
    // The file's fast number text must agree with the regional text everywhere.
    void valuesAsTheRegionalTextWritesThem()
    {
        QList<QVariant> valori = {QVariant(), QString(), QStringLiteral("05/12/2026"), 1000, qint64(-7), 0.0, -0.0,
                                  12.5, -1234.75, 0.1 + 0.2, 1.0 / 3, 2.0 / 3 * 1e6, 0.0001, 0.00001, 0.000123456,
                                  999999999999999.0, 1e15, 1e15 - 0.5, 123456789012.345, 1e20, -1e-7, 99999.99999999999};
        QRandomGenerator caso(42);
        for (int i = 0; i < 20000; ++i) {
            valori << (caso.generateDouble() - 0.3) * std::pow(10.0, caso.bounded(-6, 17));
            valori << std::round(caso.generateDouble() * 1e6) / 100;   // prices in cents
            valori << std::round(caso.generateDouble() * 1e15) / std::pow(10.0, caso.bounded(1, 16));
        }
        for (const QVariant &v : valori)
            QCOMPARE(FileTabulato::testoValore(v), Regional::valueText(v));
    }
};
INVENTARIO_TEST(TestFileTabulato)
#include "tst_filetabulato.moc"
