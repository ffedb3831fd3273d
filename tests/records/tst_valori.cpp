// Values in SQL text, the audit log of deleted rows and the inventory text file, byte for byte.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "records/filetabulato.h"
#include "records/registro.h"
#include "records/valori.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Latin-1 text padded with blanks or cut to each width, then "|", and CR LF.
QByteArray linea(const QByteArrayList &testi, const QList<int> &larghezze)
{
    QByteArray out;
    for (int i = 0; i < larghezze.size(); ++i)
        out += testi.value(i).leftJustified(larghezze[i], ' ', true) + '|';
    return out + "\r\n";
}
const QList<int> kFile = {18, 180, 40, 40, 40, 40, 40, 40, 40, 40, 40, 20, 40, 40, 20, 20, 40};
const QDateTime kQuando(QDate(2026, 12, 5), QTime(14, 30, 22));
}   // namespace

class TestValori : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Values in SQL text; the inventory file and the log of deleted rows, byte for byte.
    void valoriEFile()
    {
        const std::tuple<const char *, bool, const char *> prezzi[] = {{"999,99 \u20ac", false, "999.99 "},
            {"12.345,67 \u20ac", false, "12345.67 "}, {"1.234,50 \u20ac", true, "1234.50 "}, {"12,5", false, "12.5"},
            {"12,00 \u20ac", true, "12.00 "}, {"1.234.567,89 \u20ac", false, "1234567.89 "},
            {"1.234,5", true, "1234.5"}, {"12345.678", false, "12345678"}, {"-5", false, "-5"}};
        for (const auto &[campo, acquisto, sql] : prezzi)
            QCOMPARE(Valori::prezzo(QString::fromUtf8(campo), acquisto), QString::fromLatin1(sql));
        for (const char *no :
            {"", " \u20ac", "1,2,3", "abc", "1.234,5", "1); DROP TABLE Prodotti; --", "12 \u20ac\u20ac"})
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::prezzo(QString::fromUtf8(no), false));
        QCOMPARE(Valori::testo(u"CAFFE' MACINATO ''"_s), u"CAFFE'' MACINATO ''''"_s);
        QCOMPARE(Valori::like(u"A[1]'"_s, false), u"A[1]''"_s);   // SQLite knows no sets in LIKE
        QCOMPARE(Valori::like(u"A[1]'"_s, true), u"A[[]1]''"_s);
        QCOMPARE(
            Valori::numero(2.5) + Valori::numero(12) + Valori::numero(-1) + Valori::numero(0.1 + 0.2), u"2.512-10.3"_s);
        QCOMPARE(Valori::id(57), u"57"_s);
        QCOMPARE(Valori::chiave(u" 123 "_s) + Valori::chiave(u"2147483647"_s), u"1232147483647"_s);   // ten digits
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::id(1.5));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::numero(qInf()));
        for (const QString &no : {u"1 OR 1=1"_s, QString(), u"1.5"_s})
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::chiave(no));
        QCOMPARE(Valori::data(QDate(2026, 1, 5)), u"05/01/2026"_s);
        QCOMPARE(Registro::istruzioneElimina(u"17"_s), u"DELETE FROM InventarioReale where idinventarioReale=17"_s);
        QCOMPARE(
            FileTabulato::nomeFile(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))), u"Inventario_02012027_030405.Dat"_s);
        Fixture::Program program;
        program.exec(
            u"INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, IDCategoria, "
            "Categoria, UM, Modifica, Modificato, GiacenzaReale, GiacenzaStatistica, DataModifica, IDProdottoVentrox, "
            "IDProdottoEliminato, CodInterno) VALUES ('%1\u00e8\u20ac''%ZZZZ', 'B' || char(31) || 'B', 12345.67, "
            "1234.5, 0, 1000, "
            "'Generico', 'N\u00b0', '0', '0', 2.5, -1, '06/12/2026', 0, 5001, 'C1' || char(9) || char(127) || 'X'), "
            "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"_s.arg(
                QString(175, u'D')));
        Connection c;
        c.open(program.connectionString());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        FileTabulato::scriviTesta(buffer, false, kQuando);
        Recordset rs(c, FileTabulato::kSelect);
        FileTabulato::scriviCoda(buffer, FileTabulato::scriviRighe(buffer, rs));
        const QByteArray testa =
            "Inventario del Data: 05/12/2026 - Ora14:30:22|\r\n"
            + linea({"IdInventarioReale", "Descprodotto", "Barcode", "PrezzoPubblico", "PrezzoAcquisto", "IVA",
                        "IdCategoria", "Categoria", "UM", "modifica", "Modificato", "GiacenzaReale",
                        "GiacenzaStatistica", "DataModifica", "IDProdottoVentrox", "IDProdottoEliminato", "CodInterno"},
                kFile);
        // 1234,5 x 2,5: the null row adds nothing
        QCOMPARE(buffer.data(),
            testa
                + linea({"1", QByteArray(175, 'D') + "\xe8\x80'%Z", "B B", "12345,67", "1234,5", "0", "1000",
                            "Generico", "N\xb0", "0", "0", "2,5", "-1", "06/12/2026", "0", "5001", "C1  X"},
                    kFile)
                + linea({"2"}, kFile) + "\r\n\r\n       Totale Inventario: 3.086,25\r\n\r\n\r\n\r\n");
        // numbers as the regional rules write them
        const std::pair<QVariant, const char *> valori[] = {{QVariant(), ""}, {u"05/12/2026"_s, "05/12/2026"},
            {1000, "1000"}, {qint64(-7), "-7"}, {-0.0, "0"}, {12.5, "12,5"}, {-1234.75, "-1234,75"}, {0.1 + 0.2, "0,3"},
            {1.0 / 3, "0,333333333333333"}, {2.0 / 3 * 1e6, "666666,666666667"}, {0.0001, "0,0001"}, {0.00001, "1E-05"},
            {999999999999999.0, "999999999999999"}, {1e15, "1E+15"}, {123456789012.345, "123456789012,345"},
            {-1e-7, "-1E-07"}, {99999.99999999999, "100000"}, {12.05, "12,05"}, {3.0, "3"}};
        for (const auto &[valore, testo] : valori)
            QCOMPARE(FileTabulato::testoValore(valore), QString::fromLatin1(testo));
        // the log of deleted rows: a header when new, then a line each
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7)); });
        Modulo::IdAttivoScelto = 0;
        Modulo::IdEliminatoScelto = 5001;
        QByteArray atteso = linea({"Log", "Data", "Ora", "IdInventario", "Descrizione", "IdProdVtx", "IdProdC",
                                      "Barcode", "CodProd", "Qt\xe0Reale", "Qt\xe0Sparata"},
            {14, 14, 12, 12, 200, 20, 20, 40, 40, 20, 20});
        const std::pair<QString, QByteArray> descrizioni[] = {{u"CAFF\u00c8 \u20ac 1KG"_s, "CAFF\xc8 \x80 1KG"},
            {QString(170, u'A') + u"0123456789XYZ"_s, QByteArray(170, 'A') + "0123456789"}};
        for (const auto &[descrizione, testo] : descrizioni) {
            Modulo::ScriviLog(u"Elimina"_s, u"17"_s, descrizione, u"8001230009045"_s, u"P00042"_s, u"12,5"_s, u"0"_s);
            atteso += linea(
                {"Elimina", "05/12/2026", "09:03:07", "17", testo, "0", "5001", "8001230009045", "P00042", "12,5", "0"},
                {12, 12, 10, 18, 180, 20, 20, 40, 40, 20, 20});
            QCOMPARE(program.readFile(u"LOGSalvaRiga.Dat"_s), atteso);
        }
        QVERIFY(program.errors.isEmpty());
    }
};
INVENTARIO_TEST(TestValori)
#include "tst_valori.moc"
