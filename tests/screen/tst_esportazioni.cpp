// The workbooks of the "File" menu, reached through the menu bar and read back by openpyxl with their cell types.
#include "fixture/schermo.h"
#include "platform/clock.h"

#include <QJsonDocument>
#include <QProcess>

using namespace Fixture;

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kNonContati = u"NonContati_05-12-2026_14.30.xlsx"_s;
const QString kConteggio = u"Conteggio_05-12-2026_14.30.xlsx"_s;

// A workbook as openpyxl reads it (tests/screen/leggi_cartella.py): "proprieta", "fogli", "righe".
using Letto = QVariantMap;
QStringList righe(const Letto &l, int foglio) { return l.value(u"righe"_s).toList().value(foglio).toStringList(); }

struct Banco : Schermo {
    const std::string numeri = std::setlocale(LC_NUMERIC, nullptr);
    // as on an Italian desktop, where the C library writes 1.5 as "1,5"
    const bool italiano = std::setlocale(LC_NUMERIC, "it_IT.UTF-8") || std::setlocale(LC_NUMERIC, "Italian_Italy.1252");
    Banco() : Schermo(Program::Empty)
    {
        Clock::setSource([] { return kAdesso; });
    }
    ~Banco() { std::setlocale(LC_NUMERIC, numeri.c_str()); }

    QMenu *apriFile()
    {
        QMenuBar *barra = form.menuBar();
        QMenu *file = form.findChild<QMenu *>(u"File"_s);
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(file->menuAction()).center());
        return QTest::qWaitFor([file] { return file->isVisible(); }) ? file : nullptr;
    }
    // An entry of "File", clicked in the menu opened from the menu bar.
    void voce(const QString &testo)
    {
        QMenu *file = apriFile();
        QVERIFY(file);
        for (QAction *a : file->actions())
            if (a->text() == testo)
                QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(a).center());
        QTRY_VERIFY(!file->isVisible());
    }
    void leggi(const QString &nome, Letto &letto)
    {
        QVERIFY2(italiano, "the Italian locale is missing (scripts/deps.sh makes it_IT.UTF-8)");
        const QString json = program.file(u"letto.json"_s);
        QFile::remove(json);
        QString python = QDir::toNativeSeparators(u"/usr/bin/python3"_s);
#ifdef Q_OS_WIN   // the machine's own, through Wine
        python.prepend(u"Z:"_s);
#endif
        QProcess::execute(
            python, {QStringLiteral(INVENTARIO_LEGGI_CARTELLA), odbcPath(program.file(nome)), odbcPath(json)});
        // under Wine it runs on after its start has returned
        QVERIFY2(QTest::qWaitFor([&] { return QFile::exists(json); }, 60000),
            "reading a workbook back needs python3 (package python3) at /usr/bin/python3");
        letto = QJsonDocument::fromJson(program.readFile(u"letto.json"_s)).toVariant().toMap();
        QVERIFY2(!letto.contains(u"errore"_s), qPrintable(letto.value(u"errore"_s).toString()));
    }
};

#define LEGGI(b, nome, letto)       \
    Letto letto;                    \
    b.leggi(nome, letto);           \
    if (QTest::currentTestFailed()) \
    return

}   // namespace

class TestEsportazioni : public QObject {
    Q_OBJECT
private Q_SLOTS:

    // What is left to count, by code: the products with a book stock (a negative one too) and no row counted under
    // IDProdottoVentrox, one counted only as an eliminated product among them; then, on a sheet of their own, the
    // eliminated ones with a book stock and no row counted under IDProdottoEliminato. Codes and texts stay as stored,
    // whatever they begin with or hold; the totals are formulas below the rows, out of the filter's reach.
    void prodottiNonContati()
    {
        Banco b;
        Program &p = b.program;
        const struct {
            int id;
            const char16_t *codice, *descrizione, *barcode;
            double prezzo, giacenza;
        } prodotti[] = {{1, u"Z1", u"ZERO", u"", 1, 0}, {2, u"00123", u"=SOMMA(1;2)", u"8001234567890", 1.5, -2},
            {3, u"C3", u"CONTATO", u"", 1, 5}, {4, u"12-5", u" =1+1", u"1E5", 0.68, 2.5},
            {5, u"1/2", u"\t=HYPERLINK(\"x\")", u"@X", 1234.5, 1}, {6, u"1E5", u"@A1", u"+39", 0.1, 3},
            {7, u"-7", u"+1 _x0041_", u"-1", 2, 1}, {8, u"A8", u"-5 PEZZI", u"", 2, 1},
            {9, u"A9", u"RIGA\tCON\r\nA CAPO; \"VIRGOLETTE\" E CAFF\u00c8", u"", 1, 1},
            {-3, u"E3", u"ELIMINATO", u"", 1, 4}, {-4, u"E4", u"VECCHIO", u"", 1, 9}};
        for (const auto &x : prodotti)
            p.addProduct(std::abs(x.id), QString::fromUtf16(x.codice), QString::fromUtf16(x.descrizione),
                QString::fromUtf16(x.barcode), 1, x.prezzo, x.giacenza, x.id < 0);
        p.exec(u"INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato) VALUES (3, 0), (0, 4)"_s);
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(b.form.windowTitle(),
            u"Controllo Magazzino - 8 prodotti non contati (eliminati: 1), valore 1.242,50 alle 14.30"_s);
        QCOMPARE(p.openedFiles, QStringList(p.file(kNonContati)));
        QVERIFY(p.messages.isEmpty() && p.errors.isEmpty());
        LEGGI(b, kNonContati, c);
        QCOMPARE(c.value(u"fogli"_s).toStringList(), QStringList({u"Non contati A2 A1:F8"_s, u"Eliminati A2 A1:F2"_s}));
        const QString testa =
            u"s*:CodInterno | s*:Barcode | s*:Descrizione | s*:Qta Ventrox | s*:Prezzo Acquisto | s*:Valore Acquisto"_s;
        QCOMPARE(righe(c, 0),
            QStringList({testa, u"s:-7 | s:-1 | s:+1 _x0041_ | n:1 #,##0 | n:2 #,##0.00 | n:2 #,##0.00"_s,
                u"s:00123 | s:8001234567890 | s:=SOMMA(1;2) | n:-2 #,##0 | n:1.5 #,##0.00 | n:-3 #,##0.00"_s,
                u"s:1/2 | s:@X | s:\t=HYPERLINK(\"x\") | n:1 #,##0 | n:1234.5 #,##0.00 | n:1234.5 #,##0.00"_s,
                u"s:12-5 | s:1E5 | s: =1+1 | n:2.5 #,##0.0## | n:0.68 #,##0.00 | n:1.7 #,##0.00"_s,
                u"s:1E5 | s:+39 | s:@A1 | n:3 #,##0 | n:0.1 #,##0.00 | n:0.3 #,##0.00"_s,
                u"s:A8 |  | s:-5 PEZZI | n:1 #,##0 | n:2 #,##0.00 | n:2 #,##0.00"_s,
                u"s:A9 |  | s:RIGA\tCON\r\nA CAPO; \"VIRGOLETTE\" E CAFF\u00c8 | n:1 #,##0 | n:1 #,##0.00 | "
                "n:1 #,##0.00"_s,
                u" |  |  |  |  | "_s,
                u"f*:=\"Totale: \"&ROWS(A2:A8)&\" prodotti\"=>Totale: 7 prodotti |  |  | "
                "f*:=SUM(D2:D8)=>7.5 #,##0.0## |  | f*:=SUM(F2:F8)=>1238.5 #,##0.00"_s}));
        QCOMPARE(righe(c, 1), QStringList({testa, u"s:E3 |  | s:ELIMINATO | n:4 #,##0 | n:1 #,##0.00 | n:4 #,##0.00"_s,
                                  u" |  |  |  |  | "_s,
                                  u"f*:=\"Totale: \"&ROWS(A2:A2)&\" prodotti\"=>Totale: 1 prodotti |  |  | "
                                  "f*:=SUM(D2:D2)=>4 #,##0 |  | f*:=SUM(F2:F2)=>4 #,##0.00"_s}));
    }

    // Every counted row, newest first, with the difference and its value; a counted 1.5 is the number 1.5, a date a
    // date; the document says what it is. Again within the minute: a second file beside the first, which stays.
    void conteggioPerExcel()
    {
        Banco b;
        b.program.exec(u"INSERT INTO InventarioReale (CodInterno, Barcode, DescProdotto, GiacenzaReale, "
                       "GiacenzaStatistica, PrezzoAcquisto, DataModifica) VALUES "
                       "('P1', '8001', 'PANE', 2.5, 3, 0.68, '05/12/2026'), ('P2', '=1+1', 'LATTE', 10, 4, 1.1, "
                       "'2026-12-04'), (NULL, NULL, 'DOLCE', 1.5, NULL, NULL, NULL)"_s);
        QMenu *file = b.apriFile();   // two entries, a separator, "Esci"; the keyboard walks them in that order
        QVERIFY(file);
        QStringList voci;
        for (QAction *a : file->actions())
            voci << (a->isSeparator() ? u"-"_s : a->text());
        QCOMPARE(voci, QStringList({"Prodotti non Contati", "Esporta Conteggio per Excel", "-", "Esci"}));
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(file, k);
        const QByteArray primo = b.program.readFile(kConteggio);
        b.program.exec(u"DELETE FROM InventarioReale"_s);
        b.voce(u"Esporta Conteggio per Excel"_s);
        const QString secondo = kConteggio.chopped(5) + u"_2.xlsx"_s;
        QCOMPARE(b.program.openedFiles, QStringList({b.program.file(kConteggio), b.program.file(secondo)}));
        QCOMPARE(b.program.readFile(kConteggio), primo);
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino"_s);
        LEGGI(b, kConteggio, c);
        QCOMPARE(c.value(u"proprieta"_s).toString(),
            u"Conteggio di magazzino - Inventario - "_s + kAdesso.toUTC().toString(Qt::ISODate).chopped(1));
        QCOMPARE(c.value(u"fogli"_s).toStringList(), QStringList(u"Conteggio A2 A1:I4"_s));
        QCOMPARE(righe(c, 0).mid(1),
            QStringList({u" |  | s:DOLCE | n:1.5 #,##0.0## |  | n:1.5 #,##0.0## |  | n:0 #,##0.00 | "_s,
                u"s:P2 | s:=1+1 | s:LATTE | n:10 #,##0 | n:4 #,##0 | n:6 #,##0 | n:1.1 #,##0.00 | n:6.6 #,##0.00 | "
                "d:2026-12-04 dd/mm/yyyy"_s,
                u"s:P1 | s:8001 | s:PANE | n:2.5 #,##0.0## | n:3 #,##0 | n:-0.5 #,##0.0## | n:0.68 #,##0.00 | "
                "n:-0.34 #,##0.00 | d:2026-12-05 dd/mm/yyyy"_s,
                u" |  |  |  |  |  |  |  | "_s,
                u"f*:=\"Totale: \"&ROWS(A2:A4)&\" righe\"=>Totale: 3 righe |  |  | f*:=SUM(D2:D4)=>14 #,##0 | "
                "f*:=SUM(E2:E4)=>7 #,##0 | f*:=SUM(F2:F4)=>7 #,##0 |  | f*:=SUM(H2:H4)=>6.26 #,##0.00 | "_s}));
        LEGGI(b, secondo, d);
        QCOMPARE(
            righe(d, 0).mid(1), QStringList({u" |  |  |  |  |  |  |  | "_s,
                                    u"s*:Totale: 0 righe |  |  | "
                                    "f*:=SUM(D2:D2)=>0 #,##0 | f*:=SUM(E2:E2)=>0 #,##0 | f*:=SUM(F2:F2)=>0 #,##0 |  | "
                                    "f*:=SUM(H2:H2)=>0 #,##0.00 | "_s}));
    }
};

INVENTARIO_TEST(TestEsportazioni)
#include "tst_esportazioni.moc"
