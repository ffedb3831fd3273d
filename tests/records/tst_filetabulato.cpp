// The inventory text file: its name, its lines byte for byte and the total
// computed from the rows written.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "records/filetabulato.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
QByteArray campo(const QByteArray &text, int width)
{
    QByteArray out = text.left(width);
    out.append(QByteArray(width - out.size(), ' '));
    return out + '|';
}

const QByteArray kCrLf("\r\n");

QByteArray intestazioneAttesa()
{
    return campo("IdInventarioReale", 18) + campo("Descprodotto", 180) + campo("Barcode", 40)
           + campo("PrezzoPubblico", 40) + campo("PrezzoAcquisto", 40) + campo("IVA", 40) + campo("IdCategoria", 40)
           + campo("Categoria", 40) + campo("UM", 40) + campo("modifica", 40) + campo("Modificato", 40)
           + campo("GiacenzaReale", 20) + campo("GiacenzaStatistica", 40) + campo("DataModifica", 40)
           + campo("IDProdottoVentrox", 20) + campo("IDProdottoEliminato", 20) + campo("CodInterno", 40);
}

const QDateTime kQuando(QDate(2026, 12, 5), QTime(14, 30, 22));

QByteArray testaAttesa()
{
    return QByteArray("Inventario del Data: 05/12/2026 - Ora14:30:22|") + kCrLf + intestazioneAttesa() + kCrLf;
}

QByteArray codaAttesa(const QByteArray &totale)
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
    const double totale = FileTabulato::scriviRighe(buffer, rs);
    FileTabulato::scriviCoda(buffer, totale);
    return buffer.data();
}
} // namespace

class TestFileTabulato : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nameTitleAndHeader()
    {
        QCOMPARE(FileTabulato::nomeFile(kQuando), QStringLiteral("Inventario_05122026_143022.Dat"));
        QCOMPARE(FileTabulato::nomeFile(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))),
                 QStringLiteral("Inventario_02012027_030405.Dat"));
        QCOMPARE(FileTabulato::intestazione().size(), 755);
        QCOMPARE(FileTabulato::intestazione(), intestazioneAttesa());
        QCOMPARE(FileTabulato::kSelect,
                 QStringLiteral("SELECT IDInventarioReale, DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, "
                                "IDCategoria, Categoria, UM, Modifica, Modificato, GiacenzaReale,GiacenzaStatistica , "
                                "DataModifica, IDProdottoVentrox, IDProdottoEliminato, CodInterno FROM   InventarioReale"));
    }
    void emptyTable()
    {
        Fixture::Program program;
        QCOMPARE(scriviFile(program), testaAttesa() + codaAttesa("0,00"));
        // a second run within the same second goes on after an empty line
        QCOMPARE(scriviFile(program, true), kCrLf + testaAttesa() + codaAttesa("0,00"));
    }
    void rowsByteForByteWithTheirTotal()
    {
        Fixture::Program program;
        const QString lunga = QString(175, QLatin1Char('D')) + QStringLiteral("\u00e8\u20ac'%ZZZZ");
        program.exec(QStringLiteral(
            "INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, IDCategoria, "
            "Categoria, UM, Modifica, Modificato, GiacenzaReale, GiacenzaStatistica, DataModifica, IDProdottoVentrox, "
            "IDProdottoEliminato, CodInterno) VALUES "
            "('CAFFE'' MACINATO', '8001230009045', 1.5, 0.9, 0, 1000, 'Generico', 'N\u00b0', '0', '0', 3, 12.5, "
            "'05/12/2026', 42, 0, 'P00042'), "
            "('%1', '', 12345.67, 1234.5, 0, 1000, 'Generico', 'N\u00b0', '0', '0', 2, -1, '06/12/2026', 0, 5001, 'C1' || char(9) || 'X'), "
            "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)")
                         .arg(QString(lunga).replace(QLatin1Char('\''), QLatin1String("''"))));
        const QByteArray riga1 = campo("1", 18) + campo("CAFFE' MACINATO", 180) + campo("8001230009045", 40)
                                 + campo("1,5", 40) + campo("0,9", 40) + campo("0", 40) + campo("1000", 40)
                                 + campo("Generico", 40) + campo("N\xb0", 40) + campo("0", 40) + campo("0", 40)
                                 + campo("3", 20) + campo("12,5", 40) + campo("05/12/2026", 40) + campo("42", 20)
                                 + campo("0", 20) + campo("P00042", 40);
        const QByteArray riga2 = campo("2", 18) + campo(QByteArray(175, 'D') + "\xe8\x80'%Z", 180) + campo("", 40)
                                 + campo("12345,67", 40) + campo("1234,5", 40) + campo("0", 40) + campo("1000", 40)
                                 + campo("Generico", 40) + campo("N\xb0", 40) + campo("0", 40) + campo("0", 40)
                                 + campo("2", 20) + campo("-1", 40) + campo("06/12/2026", 40) + campo("0", 20)
                                 + campo("5001", 20) + campo("C1 X", 40);
        QByteArray riga3 = campo("3", 18);
        for (int width : {180, 40, 40, 40, 40, 40, 40, 40, 40, 40, 20, 40, 40, 20, 20, 40})
            riga3 += campo("", width);
        QCOMPARE(riga1.size(), 755);
        QCOMPARE(riga2.size(), 755);
        // 0,9 x 3 + 1234,5 x 2, the null row adds nothing
        QCOMPARE(scriviFile(program),
                 testaAttesa() + riga1 + kCrLf + riga2 + kCrLf + riga3 + kCrLf + codaAttesa("2.471,70"));
    }
    // The file's fast number text must agree with the regional text everywhere.
    void valuesAsTheRegionalTextWritesThem()
    {
        QList<QVariant> valori = {QVariant(), QVariant(QString()), QStringLiteral("05/12/2026"), 1000, qint64(-7),
                                  0.0, -0.0, 3.0, 12.5, -1234.75, 0.1 + 0.2, 1.0 / 3, 2.0 / 3 * 1e6, 0.0001, 0.00001,
                                  0.000123456, 999999999999999.0, 1e15, 1e15 - 0.5, 123456789012.345, 1e20, -1e-7,
                                  99999.99999999999};
        QRandomGenerator caso(42);
        for (int i = 0; i < 20000; ++i) {
            const double scala = std::pow(10.0, caso.bounded(-6, 17));
            valori << (caso.generateDouble() - 0.3) * scala;
            valori << std::round(caso.generateDouble() * 1e6) / 100;   // prices in cents
            valori << std::round(caso.generateDouble() * 1e15) / std::pow(10.0, caso.bounded(1, 16));
        }
        for (const QVariant &v : valori)
            QCOMPARE(FileTabulato::testoValore(v), Regional::valueText(v));
    }
};
INVENTARIO_TEST(TestFileTabulato)
#include "tst_filetabulato.moc"
