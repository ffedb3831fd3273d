// The files for a spreadsheet from the "File" menu, reached through the menu
// bar as the operator reaches them: the products not counted yet, the whole
// count; their bytes, and what happens when the file or the database fails.
#include "fixture/schermo.h"
#include "platform/clock.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>

using namespace Fixture;

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kNonContati = u"NonContati_05-12-2026_14.30.csv"_s;
const QString kConteggio = u"Conteggio_05-12-2026_14.30.csv"_s;

struct Banco : Schermo {
    Banco() : Schermo(Program::Empty) { Clock::setSource([] { return kAdesso; }); }

    // "File" opened with a click on the menu bar.
    QMenu *apriFile()
    {
        QMenuBar *barra = form.menuBar();
        QMenu *file = form.findChild<QMenu *>(u"File"_s);
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(file->menuAction()).center());
        return QTest::qWaitFor([file] { return file->isVisible(); }) ? file : nullptr;
    }
    // An entry of "File" clicked.
    void voce(const QString &testo)
    {
        QMenu *file = apriFile();
        QVERIFY(file);
        for (QAction *a : file->actions())
            if (a->text() == testo)
                QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(a).center());
        QTRY_VERIFY(!file->isVisible());
    }
    QStringList fileCsv() const
    {
        return QDir(program.folder()).entryList({u"*.csv*"_s, u"*Conteggio*"_s, u"*Contati*"_s}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

class TestEsportazioni : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two new entries on top of "File", a separator, "Esci" last; the keyboard
    // walks them in that order.
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
        QCOMPARE(b.program.readFile(kConteggio),
                 "\xEF\xBB\xBF" "CodInterno;Barcode;Descrizione;Qta Reale;Qta Ventrox;Differenza;Prezzo Acquisto;"
                 "Valore Differenza;Data Inv.\r\n");
    }

    // Products with a book stock and no counted row by IDProdottoVentrox: not
    // one with stock 0, nor one counted, nor one of prodottiC; one whose id
    // was counted only as an eliminated product is still to count. By code.
    void prodottiNonContati()
    {
        Banco b;
        Program &p = b.program;
        p.addProduct(1, u"A1"_s, u"ZERO"_s, u"8001"_s, 1, 1, 0);
        p.addProduct(2, u"A2"_s, u"=SOMMA(1;2) \"PROVA\""_s, u"+39"_s, 1, 1.5, -2);
        p.addProduct(3, u"A3"_s, u"CONTATO"_s, u"8003"_s, 1, 1, 5);
        p.addProduct(4, u"A4"_s, u"CAFF\u00c8 N\u00b0 1"_s, {}, 1, 0.68, 2.5);
        p.addProduct(4, u"C4"_s, u"VECCHIO"_s, u"8004"_s, 1, 1, 9, true);
        p.addProduct(5, u"C5"_s, u"SOLO ELIMINATO"_s, u"8005"_s, 1, 1, 7, true);
        p.addProduct(6, u"-6"_s, u"RIGA;CON PUNTO E VIRGOLA"_s, u"@X"_s, 1, 1234.5, 1);
        p.exec(u"INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato) VALUES (3, 0), (0, 4)"_s);
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(p.readFile(kNonContati),
                 "\xEF\xBB\xBF" "CodInterno;Barcode;Descrizione;Qta Ventrox;Prezzo Acquisto;Valore Acquisto\r\n"
                 "'-6;'@X;\"RIGA;CON PUNTO E VIRGOLA\";1;1234,5;1234,50\r\n"
                 "A2;'+39;\"'=SOMMA(1;2) \"\"PROVA\"\"\";-2;1,5;-3,00\r\n"
                 "A4;;CAFF\xC3\x88 N\xC2\xB0 1;2,5;0,68;1,70\r\n"
                 "\r\n"
                 "Totale: 3 prodotti;;;;;1233,20\r\n");
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino - 3 prodotti non contati, valore 1.233,20"_s);
        QCOMPARE(p.openedFiles, QStringList(p.file(kNonContati)));
        QVERIFY(p.messages.isEmpty() && p.errors.isEmpty());
    }

    // Every counted row, newest first, with the difference and its value.
    void conteggioPerExcel()
    {
        Banco b;
        b.program.exec(u"INSERT INTO InventarioReale (CodInterno, Barcode, DescProdotto, GiacenzaReale, GiacenzaStatistica, "
                       "PrezzoAcquisto, DataModifica) VALUES "
                       "('P1', '8001', 'PANE', 2.5, 3, 0.68, '05/12/2026'), "
                       "('P2', '=1+1', 'LATTE \"FRESCO\"; 1L' || char(10) || 'INTERO', 10, 4, 1.1, '2026-12-04'), "
                       "(NULL, NULL, '\u00c9CLAIR' || char(10) || 'CREMA', 1, NULL, NULL, NULL)"_s);
        b.voce(u"Esporta Conteggio per Excel"_s);
        QCOMPARE(b.program.readFile(kConteggio),
                 "\xEF\xBB\xBF" "CodInterno;Barcode;Descrizione;Qta Reale;Qta Ventrox;Differenza;Prezzo Acquisto;"
                 "Valore Differenza;Data Inv.\r\n"
                 ";;\"\xC3\x89" "CLAIR\nCREMA\";1;;1;;0,00;\r\n"
                 "P2;'=1+1;\"LATTE \"\"FRESCO\"\"; 1L\nINTERO\";10;4;6;1,1;6,60;04/12/2026\r\n"
                 "P1;8001;PANE;2,5;3;-0,5;0,68;-0,34;05/12/2026\r\n");
        QCOMPARE(b.program.openedFiles, QStringList(b.program.file(kConteggio)));
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino"_s);
        // again within the minute: the newer count takes the file's place
        b.program.exec(u"DELETE FROM InventarioReale WHERE CodInterno = 'P1'"_s);
        const QByteArray prima = b.program.readFile(kConteggio);
        b.voce(u"Esporta Conteggio per Excel"_s);
        QCOMPARE(b.program.readFile(kConteggio), prima.left(prima.indexOf("P1;")));
        QCOMPARE(b.program.openedFiles.size(), 2);
    }

    // No connection: the usual warning. A file that cannot be written: a
    // message naming it. A rejected statement, or a row failing half-way:
    // the error form with the routine's label. Nothing is opened, and no
    // file, whole or half-written, is left behind.
    void guastiSenzaFileAMeta()
    {
        Banco b;
        Program &p = b.program;
        p.exec(u"INSERT INTO InventarioReale (GiacenzaReale) VALUES ('abc'), (1), (2)"_s);
        Modulo::ConnPrincipale().close();
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(b.messaggio(), Modulo::kNonConnesso);
        p.connect();
        QVERIFY(QDir(p.folder()).mkdir(kNonContati));
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(p.messages.size(), 2);
        QVERIFY2(p.messages[1].prompt.startsWith(u"Impossibile scrivere il file "_s + QDir::toNativeSeparators(p.file(kNonContati)) + u"\n"_s),
                 qPrintable(p.messages[1].prompt));
        QCOMPARE(p.messages[1].style, int(MsgBox::Critical));
        QVERIFY(QDir(p.folder()).rmdir(kNonContati));
        b.voce(u"Esporta Conteggio per Excel"_s);   // the oldest row is no number
        p.exec(u"DROP TABLE Prodotti"_s);
        b.voce(u"Prodotti non Contati"_s);
        QCOMPARE(p.errors.size(), 2);
        QCOMPARE(p.errors[0].number, 13.0);
        QVERIFY(p.errors[0].description.endsWith(u" (EsportaConteggio) "_s));
        QVERIFY(p.errors[1].description.endsWith(u" (NonContati) "_s));
        QCOMPARE(b.fileCsv(), QStringList());
        QCOMPARE(p.openedFiles, QStringList());
        QCOMPARE(b.form.windowTitle(), u"Controllo Magazzino"_s);
    }
};

INVENTARIO_TEST(TestEsportazioni)
#include "tst_esportazioni.moc"
