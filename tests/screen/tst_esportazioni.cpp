// The workbooks of the "File" menu, reached through the menu bar as the
// operator reaches them and read back by openpyxl with their cell types:
// codes stay codes, numbers numbers; and what happens when the file or the
// database fails.
#include "fixture/recorder.h"
#include "fixture/schermo.h"
#include "platform/clock.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <clocale>

using namespace Fixture;

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kNonContati = u"NonContati_05-12-2026_14.30.xlsx"_s;
const QString kConteggio = u"Conteggio_05-12-2026_14.30.xlsx"_s;

struct Banco : Schermo {
    const std::string numeri = std::setlocale(LC_NUMERIC, nullptr);
    // as on an Italian desktop, where the C library writes 1.5 as "1,5"
    const bool italiano = std::setlocale(LC_NUMERIC, "it_IT.UTF-8") || std::setlocale(LC_NUMERIC, "Italian_Italy.1252");
    Banco() : Schermo(Program::Empty) { Clock::setSource([] { return kAdesso; }); }
    ~Banco() { std::setlocale(LC_NUMERIC, numeri.c_str()); }

    // An entry of "File", clicked in the menu opened from the menu bar.
    QMenu *apriFile()
    {
        QMenuBar *barra = form.menuBar();
        QMenu *file = form.findChild<QMenu *>(u"File"_s);
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(file->menuAction()).center());
        return QTest::qWaitFor([file] { return file->isVisible(); }) ? file : nullptr;
    }
    void voce(const QString &testo)
    {
        QMenu *file = apriFile();
        QVERIFY(file);
        for (QAction *a : file->actions())
            if (a->text() == testo)
                QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(a).center());
        QTRY_VERIFY(!file->isVisible());
    }
    // The workbook of the program's folder as openpyxl reads it.
    void leggi(const QString &nome, QJsonObject &cartella)
    {
        QVERIFY2(italiano, "the Italian locale is missing (scripts/deps.sh makes it_IT.UTF-8)");
        const QString json = program.file(u"letto.json"_s);
        QFile::remove(json);
#ifdef Q_OS_WIN   // the machine's own python3, through Wine
        const QString python = u"Z:\\usr\\bin\\python3"_s;
#else
        const QString python = u"/usr/bin/python3"_s;
#endif
        QProcess::execute(python, {QStringLiteral(INVENTARIO_LEGGI_CARTELLA), odbcPath(program.file(nome)), odbcPath(json)});
        cartella = QJsonDocument::fromJson(program.readFile(u"letto.json"_s)).object();
        QVERIFY2(!cartella.isEmpty(), "reading a workbook back needs python3 (package python3) at /usr/bin/python3");
        QVERIFY2(!cartella.contains("errore"_L1), qPrintable(cartella.value("errore"_L1).toString()));
    }
    QStringList file() const { return QDir(program.folder()).entryList({u"*Conteggio*"_s, u"*Contati*"_s}, QDir::AllEntries); }
};

#define LEGGI(b, nome, cartella) \
    QJsonObject cartella;        \
    b.leggi(nome, cartella);     \
    if (QTest::currentTestFailed()) \
        return

// A sheet's rows, each its cells joined by " | ".
QStringList righe(const QJsonObject &cartella, int foglio)
{
    QStringList out;
    for (const QJsonValue &riga : cartella.value("fogli"_L1).toArray().at(foglio).toObject().value("righe"_L1).toArray())
        out << riga.toVariant().toStringList().join(u" | "_s);
    return out;
}

// Name, frozen cell and filter of each sheet; every column at least as wide as its longest text (60 at most).
QStringList fogli(const QJsonObject &cartella)
{
    QStringList out;
    for (const QJsonValue &v : cartella.value("fogli"_L1).toArray()) {
        const QJsonObject f = v.toObject();
        const QJsonArray larghezze = f.value("larghezze"_L1).toArray(), testi = f.value("testi"_L1).toArray();
        for (int c = 0; c < larghezze.size(); ++c)
            if (larghezze[c].toDouble() < std::min(testi[c].toDouble(), 60.0) || larghezze[c].toDouble() > 62)
                out << u"column %1 is %2 wide for %3"_s.arg(c).arg(larghezze[c].toDouble()).arg(testi[c].toDouble());
        out << f.value("nome"_L1).toString() + u" "_s + f.value("fisso"_L1).toString() + u" "_s + f.value("filtro"_L1).toString();
    }
    return out;
}

} // namespace

class TestEsportazioni : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two entries on top of "File", a separator, "Esci" last; the keyboard
    // walks them in that order. An empty count: its header and a total of 0.
    void vociDelMenuFile()
    {
        Banco b;
        QMenu *file = b.apriFile();
        QVERIFY(file);
        QStringList voci;
        for (QAction *a : file->actions())
            voci << (a->isSeparator() ? u"-"_s : a->text());
        QCOMPARE(voci, QStringList({"Prodotti non Contati", "Esporta Conteggio per Excel", "-", "Esci"}));
        QTest::keyClick(file, Qt::Key_Down);
        QTest::keyClick(file, Qt::Key_Down);
        QTest::keyClick(file, Qt::Key_Return);
        QCOMPARE(b.program.openedFiles, QStringList(b.program.file(kConteggio)));
        LEGGI(b, kConteggio, c);
        QCOMPARE(c.value("titolo"_L1).toString() + u" - "_s + c.value("autore"_L1).toString() + u" - "_s
                     + c.value("creato"_L1).toString(),
                 u"Conteggio di magazzino - Inventario - "_s + kAdesso.toUTC().toString(Qt::ISODate).chopped(1));
        QCOMPARE(fogli(c), QStringList(u"Conteggio A2 A1:I1"_s));
        QCOMPARE(righe(c, 0), QStringList({
            u"s*:CodInterno | s*:Barcode | s*:Descrizione | s*:Qta Reale | s*:Qta Ventrox | s*:Differenza | "
            "s*:Prezzo Acquisto | s*:Valore Differenza | s*:Data Inv."_s, u" |  |  |  |  |  |  |  | "_s,
            u"s*:Totale: 0 righe |  |  | f*:=SUM(D2:D2)=>0 #,##0 | f*:=SUM(E2:E2)=>0 #,##0 | f*:=SUM(F2:F2)=>0 #,##0 |  | "
            "f*:=SUM(H2:H2)=>0 #,##0.00 | "_s}));
    }

    // What is left to count, by code: the products with a book stock (a
    // negative one too) and no row counted under IDProdottoVentrox, one
    // counted only as an eliminated product among them; then, on a sheet of
    // their own, the eliminated ones with a book stock and no row counted
    // under IDProdottoEliminato. Codes and texts stay as stored, whatever
    // they begin with or hold; the totals are formulas outside the rows.
    void prodottiNonContati()
    {
        Banco b;
        Program &p = b.program;
        const struct { int id; QString codice, descrizione, barcode; double prezzo, giacenza; bool eliminato; } prodotti[] = {
            {1, u"Z1"_s, u"ZERO"_s, {}, 1, 0, false},
            {2, u"00123"_s, u"=SOMMA(1;2)"_s, u"8001234567890"_s, 1.5, -2, false},
            {3, u"C3"_s, u"CONTATO"_s, {}, 1, 5, false},
            {4, u"12-5"_s, u" =1+1"_s, u"1E5"_s, 0.68, 2.5, false},
            {5, u"1/2"_s, u"\t=HYPERLINK(\"x\")"_s, u"@X"_s, 1234.5, 1, false},
            {6, u"1E5"_s, u"@A1"_s, u"+39"_s, 0.1, 3, false},
            {7, u"-7"_s, u"+1"_s, u"-1"_s, 2, 1, false},
            {8, u"A8"_s, u"-5 PEZZI"_s, {}, 2, 1, false},
            {9, u"A9"_s, u"RIGA\tCON\r\nA CAPO; \"VIRGOLETTE\" E CAFF\u00c8"_s, {}, 1, 1, false},
            {10, u"B10"_s, u"\r=1 _x0041_"_s, {}, 1, 1, false},
            {3, u"E3"_s, u"ELIMINATO"_s, {}, 1, 4, true},
            {4, u"E4"_s, u"VECCHIO"_s, {}, 1, 9, true},
            {5, u"E5"_s, u"ELIMINATO SENZA GIACENZA"_s, {}, 1, 0, true}};
        for (const auto &x : prodotti)
            p.addProduct(x.id, x.codice, x.descrizione, x.barcode, 1, x.prezzo, x.giacenza, x.eliminato);
        p.exec(u"INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato) VALUES (3, 0), (0, 4)"_s);
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino - 9 prodotti non contati (eliminati: 1), valore 1.243,50 alle 14.30"_s);
        QCOMPARE(p.openedFiles, QStringList(p.file(kNonContati)));
        QVERIFY(p.messages.isEmpty() && p.errors.isEmpty());
        LEGGI(b, kNonContati, c);
        QCOMPARE(fogli(c), QStringList({u"Non contati A2 A1:F9"_s, u"Eliminati A2 A1:F2"_s}));
        const QString testa = u"s*:CodInterno | s*:Barcode | s*:Descrizione | s*:Qta Ventrox | s*:Prezzo Acquisto | s*:Valore Acquisto"_s;
        QCOMPARE(righe(c, 0), QStringList({testa,
            u"s:-7 | s:-1 | s:+1 | n:1 #,##0 | n:2 #,##0.00 | n:2 #,##0.00"_s,
            u"s:00123 | s:8001234567890 | s:=SOMMA(1;2) | n:-2 #,##0 | n:1.5 #,##0.00 | n:-3 #,##0.00"_s,
            u"s:1/2 | s:@X | s:\t=HYPERLINK(\"x\") | n:1 #,##0 | n:1234.5 #,##0.00 | n:1234.5 #,##0.00"_s,
            u"s:12-5 | s:1E5 | s: =1+1 | n:2.5 #,##0.0## | n:0.68 #,##0.00 | n:1.7 #,##0.00"_s,
            u"s:1E5 | s:+39 | s:@A1 | n:3 #,##0 | n:0.1 #,##0.00 | n:0.3 #,##0.00"_s,
            u"s:A8 |  | s:-5 PEZZI | n:1 #,##0 | n:2 #,##0.00 | n:2 #,##0.00"_s,
            u"s:A9 |  | s:RIGA\tCON\r\nA CAPO; \"VIRGOLETTE\" E CAFF\u00c8 | n:1 #,##0 | n:1 #,##0.00 | n:1 #,##0.00"_s,
            u"s:B10 |  | s:\r=1 _x0041_ | n:1 #,##0 | n:1 #,##0.00 | n:1 #,##0.00"_s, u" |  |  |  |  | "_s,
            u"f*:=\"Totale: \"&ROWS(A2:A9)&\" prodotti\"=>Totale: 8 prodotti |  |  | f*:=SUM(D2:D9)=>8.5 #,##0.0## |  | "
            "f*:=SUM(F2:F9)=>1239.5 #,##0.00"_s}));
        QCOMPARE(righe(c, 1), QStringList({testa, u"s:E3 |  | s:ELIMINATO | n:4 #,##0 | n:1 #,##0.00 | n:4 #,##0.00"_s,
            u" |  |  |  |  | "_s, u"f*:=\"Totale: \"&ROWS(A2:A2)&\" prodotti\"=>Totale: 1 prodotti |  |  | "
            "f*:=SUM(D2:D2)=>4 #,##0 |  | f*:=SUM(F2:F2)=>4 #,##0.00"_s}));
    }

    // Every counted row, newest first, with the difference and its value;
    // a counted 1.5 is the number 1.5, a date a date. Again within the
    // minute: a second file beside the first, which stays as it was.
    void conteggioPerExcel()
    {
        Banco b;
        b.program.exec(u"INSERT INTO InventarioReale (CodInterno, Barcode, DescProdotto, GiacenzaReale, GiacenzaStatistica, "
                       "PrezzoAcquisto, DataModifica) VALUES ('P1', '8001', 'PANE', 2.5, 3, 0.68, '05/12/2026'), "
                       "('P2', '=1+1', 'LATTE', 10, 4, 1.1, '2026-12-04'), (NULL, NULL, 'DOLCE', 1.5, NULL, NULL, NULL)"_s);
        b.voce(u"Esporta Conteggio per Excel"_s);
        const QByteArray primo = b.program.readFile(kConteggio);
        b.program.exec(u"DELETE FROM InventarioReale WHERE CodInterno = 'P1'"_s);
        b.voce(u"Esporta Conteggio per Excel"_s);
        const QString secondo = kConteggio.chopped(5) + u"_2.xlsx"_s;
        QCOMPARE(b.program.openedFiles, QStringList({b.program.file(kConteggio), b.program.file(secondo)}));
        QCOMPARE(b.program.readFile(kConteggio), primo);
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino"_s);
        LEGGI(b, kConteggio, c);
        QCOMPARE(righe(c, 0).mid(1), QStringList({
            u" |  | s:DOLCE | n:1.5 #,##0.0## |  | n:1.5 #,##0.0## |  | n:0 #,##0.00 | "_s,
            u"s:P2 | s:=1+1 | s:LATTE | n:10 #,##0 | n:4 #,##0 | n:6 #,##0 | n:1.1 #,##0.00 | n:6.6 #,##0.00 | d:2026-12-04 dd/mm/yyyy"_s,
            u"s:P1 | s:8001 | s:PANE | n:2.5 #,##0.0## | n:3 #,##0 | n:-0.5 #,##0.0## | n:0.68 #,##0.00 | n:-0.34 #,##0.00 | "
            "d:2026-12-05 dd/mm/yyyy"_s, u" |  |  |  |  |  |  |  | "_s,
            u"f*:=\"Totale: \"&ROWS(A2:A4)&\" righe\"=>Totale: 3 righe |  |  | f*:=SUM(D2:D4)=>14 #,##0 | f*:=SUM(E2:E4)=>7 #,##0 | "
            "f*:=SUM(F2:F4)=>7 #,##0 |  | f*:=SUM(H2:H4)=>6.26 #,##0.00 | "_s}));
        LEGGI(b, secondo, d);
        QCOMPARE(righe(d, 0).size(), 5);
    }

    // No connection: the usual warning. A file that cannot be written, or
    // whose closing fails: a message naming it. A rejected statement, or a
    // row failing half-way: the error form with the routine's label.
    // Nothing is opened, and no file, whole or half-written, is left behind.
    void guastiSenzaFileAMeta()
    {
        Banco b;
        Program &p = b.program;
        p.exec(u"INSERT INTO InventarioReale (GiacenzaReale) VALUES ('abc'), (1), (2)"_s);
        p.addProduct(1, u"A1"_s, u"UNO"_s, {}, 1, 1, 1);
        Modulo::ConnPrincipale().close();
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(b.messaggio(), Modulo::kNonConnesso);
        p.connect();
        // the file is written under a temporary name first: here a folder, or the end of a full disk
        const QString temporaneo = p.file(kNonContati) + u".%1.tmp"_s.arg(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkdir(temporaneo));
        b.voce(u"Prodotti non Contati"_s);
        QVERIFY(QDir().rmdir(temporaneo));
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(u"/dev/full"_s, temporaneo));
        b.voce(u"Prodotti non Contati"_s);
        QVERIFY(!QFileInfo(temporaneo).isSymLink());
#endif
        for (const MsgBox::Call &m : p.messages.mid(1)) {
            QVERIFY2(m.prompt.startsWith(u"Impossibile scrivere il file "_s + QDir::toNativeSeparators(p.file(kNonContati)) + u"\n"_s),
                     qPrintable(m.prompt));
            QCOMPARE(m.style, int(MsgBox::Critical));
        }
        QCOMPARE(p.messages.size(), QFileInfo(u"/dev/full"_s).exists() ? 3 : 2);
        b.voce(u"Esporta Conteggio per Excel"_s);   // the oldest row is no number
        p.exec(u"DROP TABLE Prodotti"_s);
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(p.errors.size(), 2);
        QCOMPARE(p.errors[0].number, 13.0);
        QVERIFY(p.errors[0].description.endsWith(u" (EsportaConteggio) "_s));
        QVERIFY(p.errors[1].description.endsWith(u" (NonContati) "_s));
        QCOMPARE(b.file(), QStringList());
        QCOMPARE(p.openedFiles, QStringList());
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino"_s);
    }

    // On SQL Server both lists are one plain batch each; its typed values
    // (money, float, datetime) become the same typed cells.
    void suSqlServer()
    {
        Banco b;
        const QByteArray risposte = R"j([{"match": "UNION ALL", "columns": [["Eliminato", "int"], ["CodInterno", "varchar(20)"],
            ["Barcode", "varchar(20)"], ["Descrizione", "varchar(50)"], ["Giacenza", "float"], ["PrezzoAcquisto", "money"]],
            "rows": [[0, "007", "8001234567890", "OLIO", 2.5, 3.99], [1, "E1", null, "VECCHIO", 1, 2]]},
          {"match": "FROM InventarioReale", "columns": [["CodInterno", "varchar(20)"], ["Barcode", "varchar(20)"],
            ["DescProdotto", "varchar(50)"], ["GiacenzaReale", "float"], ["GiacenzaStatistica", "float"],
            ["PrezzoAcquisto", "money"], ["DataModifica", "datetime"]],
            "rows": [["007", "8001234567890", "OLIO", 1.5, 2.5, 3.99, "2026-12-05 00:00:00"]]}])j";
        START_RECORDER(rec, risposte);
        Modulo::ConnPrincipale().open(rec.connectionString());
        rec.log();
        b.voce(u"Prodotti non Contati"_s);
        b.voce(u"Esporta Conteggio per Excel"_s);
        const QString senza = u"WHERE Giacenza <> 0 AND NOT EXISTS (SELECT 1 FROM InventarioReale WHERE InventarioReale.%1 = %2.IDProdotto)"_s;
        QCOMPARE(rec.log(), (QStringList{
            u"batch: SELECT 0 AS Eliminato, CodInterno, Barcode, Descrizione, Giacenza, PrezzoAcquisto FROM Prodotti "_s
                + senza.arg(u"IDProdottoVentrox"_s, u"Prodotti"_s) + u" UNION ALL SELECT 1, CodInterno, Barcode, Descrizione, "
                "Giacenza, PrezzoAcquisto FROM prodottiC "_s + senza.arg(u"IDProdottoEliminato"_s, u"prodottiC"_s)
                + u" ORDER BY Eliminato, CodInterno"_s,
            u"batch: SELECT CodInterno, Barcode, DescProdotto, GiacenzaReale, GiacenzaStatistica, PrezzoAcquisto, "
            "DataModifica FROM InventarioReale ORDER BY IDInventarioReale DESC"_s}));
        LEGGI(b, kNonContati, n);
        QCOMPARE(righe(n, 0).at(1), u"s:007 | s:8001234567890 | s:OLIO | n:2.5 #,##0.0## | n:3.99 #,##0.00 | n:9.98 #,##0.00"_s);
        QCOMPARE(righe(n, 1).at(1), u"s:E1 |  | s:VECCHIO | n:1 #,##0 | n:2 #,##0.00 | n:2 #,##0.00"_s);
        LEGGI(b, kConteggio, c);
        QCOMPARE(righe(c, 0).at(1), u"s:007 | s:8001234567890 | s:OLIO | n:1.5 #,##0.0## | n:2.5 #,##0.0## | n:-1 #,##0 | "
                                    "n:3.99 #,##0.00 | n:-3.99 #,##0.00 | d:2026-12-05 dd/mm/yyyy"_s);
        QVERIFY(b.program.errors.isEmpty() && b.program.messages.isEmpty());
    }
};

INVENTARIO_TEST(TestEsportazioni)
#include "tst_esportazioni.moc"
