// Counting on the main screen: scan, quantity, Enter; a list row clicked and
// deleted with its log line; the inventory text file from the menu; the round
// trips of a scan cycle and the line ends of every file written.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/frmerrore.h"
#include "frame/modulo.h"
#include "frame/parametri.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/roundtrips.h"
#include "records/registro.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/inventariomodel.h"
#include "ui_FrmErrore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kCaffe = u"CAFFE' MACINATO \u00c8 \u20ac 100%"_s;
const QString kBcCaffe = u"8001230009045"_s, kBcZucchero = u"8001230009052"_s, kBcVecchia = u"8001230000019"_s;

// The main screen started on its own database, as the operator finds it.
struct Banco {
    Fixture::Program program;
    frmInventario form;

    Banco()
    {
        Clock::setSource([] { return kAdesso; });
        Modulo::SaltaKeyUpCodice = false;
        program.addProduct(42, u"P00042"_s, kCaffe, kBcCaffe, 1234.5, 999.99, 12);
        program.addProduct(43, u"P00043"_s, u"ZUCCHERO 1KG"_s, kBcZucchero, 1.09, 0.68, 30);
        program.addProduct(5001, u"C00001"_s, u"PASTA VECCHIA CONF."_s, kBcVecchia, 1.59, 0.98, 3, true);
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("the form does not become active");
        form.Form_Load();
    }

    template <class T = QLineEdit> T *w(const char *name) const { return form.findChild<T *>(QLatin1String(name)); }
    QString testo(const char *name) const { return w(name)->text(); }
    QLineEdit *codice() const { return w("txtCodice"); }
    QLineEdit *copie() const { return w("TxtCopieReali"); }
    QWidget *focus() const { return QApplication::focusWidget(); }
    QString ultimoMessaggio() const { return program.messages.isEmpty() ? QString() : program.messages.last().prompt; }

    // Scan into txtCodice and Enter (a single hit puts the focus in the
    // quantity), then the quantity typed over the selected "1" and Enter.
    void conta(const QString &barcode, const QString &quantita = {})
    {
        codice()->setFocus();
        QTest::keyClicks(codice(), barcode);
        QTest::keyClick(codice(), Qt::Key_Return);
        if (quantita.isNull())
            return;
        QTest::keyClicks(copie(), quantita);
        QTest::keyClick(copie(), Qt::Key_Return);
    }
    void salva() { QTest::mouseClick(w<QToolButton>("cmdSalva"), Qt::LeftButton); }
    void elimina() { QTest::mouseClick(w<QPushButton>("CmdElimina"), Qt::LeftButton); }
    void fileInventario() { w<QAction>("MnuFileInvTab")->trigger(); }
    void clicRiga(int row)
    {
        auto *view = w<QTreeView>("lvwProdotti");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 1)).center());
    }
    QString cella(int row, int colonna) const { return form.modelloLista()->text(row, colonna); }

    QList<QVariantList> righe()
    {
        return program.rows(u"SELECT IDInventarioReale, IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale, "
                            "PrezzoPubblico, PrezzoAcquisto, GiacenzaStatistica, DescProdotto "
                            "FROM InventarioReale ORDER BY IDInventarioReale"_s);
    }
};

} // namespace

class TestConteggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countWithTheKeyboardAlone()
    {
        Banco b;
        for (const char *q : {"3", "2", "-1", "2,5"})
            b.conta(kBcCaffe, QString::fromLatin1(q));
        for (const char *vuoto : {"txtCodice", "txtDescrizione1", "TxtIdInvReale"})
            QCOMPARE(b.testo(vuoto), QString());   // ready for the next scan
        QCOMPARE(b.righe().size(), 1);
        // 3 + 2 - 1 + 2,5, beside a copy of the product's data
        QCOMPARE(b.righe()[0].mid(3), (QVariantList{6.5, 1234.5, 999.99, 12.0, kCaffe}));
        QCOMPARE(b.cella(0, InventarioModel::ColQtaReale), u"6,5"_s);

        // a product of prodottiC gets a row of its own
        b.conta(kBcVecchia, u"2"_s);
        QCOMPARE(b.righe().size(), 2);
        QCOMPARE(b.righe()[1].mid(1, 3), (QVariantList{0, 5001, 2.0}));
        QVERIFY(b.program.messages.isEmpty());
        QVERIFY(b.program.errors.isEmpty());
    }

    // A reader types on while each count is saved: every key waits and lands,
    // in order, in txtCodice once the screen is ready for the next scan.
    void readerKeysDuringSavesReachTheNextScan()
    {
        Banco b;
        b.codice()->setFocus();
        for (QChar c : u"8001230009045\r3\r8001230009052\r2,5\r8001230009045\r4\r123"_s) {
            const int key = c == u'\r' ? int(Qt::Key_Return) : c == u',' ? int(Qt::Key_Comma) : Qt::Key_0 + c.digitValue();
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(b.form.windowHandle(), new QKeyEvent(type, key, Qt::NoModifier, QString(c)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(b.codice()->text(), u"123"_s, 10000);
        QCOMPARE(b.righe().size(), 2);
        QCOMPARE(b.righe()[0][3], QVariant(7.0));
        QCOMPARE(b.righe()[1][3], QVariant(2.5));
        QCOMPARE(b.copie()->text(), u"1"_s);
        QCOMPARE(b.focus(), b.codice());
        QVERIFY(b.program.messages.isEmpty());
    }

    // Not a number or over 1000: nothing saved, the text goes to the search.
    void quantityIsCheckedBeforeSaving_data()
    {
        QTest::addColumn<QString>("quantita");
        QTest::addColumn<bool>("salvata");
        QTest::addColumn<bool>("messaggio");
        QTest::newRow("empty") << QString() << false << false;
        QTest::newRow("letters") << u"abc"_s << false << false;
        QTest::newRow("1000") << u"1000"_s << true << false;
        QTest::newRow("1000,5") << u"1000,5"_s << false << true;
        QTest::newRow("barcode") << kBcZucchero << false << true;
    }
    void quantityIsCheckedBeforeSaving()
    {
        QFETCH(QString, quantita);
        QFETCH(bool, salvata);
        QFETCH(bool, messaggio);
        Banco b;
        b.conta(kBcCaffe);
        b.copie()->setText(quantita);
        QTest::keyClick(b.copie(), Qt::Key_Return);
        QCOMPARE(b.copie()->text(), u"1"_s);
        QCOMPARE(b.focus(), b.codice());
        QCOMPARE(b.righe().size(), salvata ? 1 : 0);
        if (!salvata) {
            QCOMPARE(b.codice()->text(), quantita);
            QCOMPARE(b.testo("txtDescrizione1"), kCaffe);   // the product stays loaded
        }
        QCOMPARE(b.ultimoMessaggio(), messaggio ? u"La quantit\u00e0 \u00e8 superiore a 1000!!"_s : QString());
        if (messaggio)
            QCOMPARE(b.program.messages[0].style, int(MsgBox::Information));
        QVERIFY(b.program.errors.isEmpty());
    }

    void noProductOrNoConnectionStoresNothing()
    {
        Banco b;
        b.copie()->setText(u"5"_s);
        b.w("TxtIdInvReale")->setText(u"9"_s);
        b.salva();
        QCOMPARE(b.copie()->text(), u"1"_s);
        QCOMPARE(b.testo("TxtIdInvReale"), QString());
        QCOMPARE(b.focus(), b.codice());
        QVERIFY(b.program.messages.isEmpty());

        b.conta(kBcCaffe);
        Modulo::ConnPrincipale().close();
        b.salva();
        QCOMPARE(b.ultimoMessaggio(), Modulo::kNonConnesso);
        QCOMPARE(b.testo("txtDescrizione1"), QString());
        QCOMPARE(b.righe().size(), 0);
        QVERIFY(b.program.errors.isEmpty());
    }

    void rowClickDeleteAndCountAgain()
    {
        Banco b;
        b.conta(kBcCaffe, u"3"_s);
        b.conta(kBcZucchero, u"1"_s);
        const QVariantList contata = b.righe()[0];
        const QString chiave = contata[0].toString();
        b.clicRiga(b.cella(0, InventarioModel::ColIdVentrox) == "42"_L1 ? 0 : 1);
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);

        b.elimina();
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].style, int(MsgBox::YesNo | MsgBox::Exclamation));
        QCOMPARE(b.righe().size(), 1);
        QCOMPARE(b.form.modelloLista()->righe(), 1);
        const Registro::Voce voce{u"Elimina"_s, kAdesso, chiave, kCaffe, 42, 0, kBcCaffe, u"P00042"_s, u"3"_s, u"0"_s};
        const QByteArray primo = Registro::intestazione() + "\r\n" + Registro::riga(voce) + "\r\n";
        QCOMPARE(b.program.readFile(Registro::kNomeFile), primo);
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);   // the fields still show the deleted row
        QVERIFY(b.form.isEnabled());

        // a second press deletes nothing more and logs again
        b.elimina();
        QCOMPARE(b.righe().size(), 1);
        QCOMPARE(b.program.readFile(Registro::kNomeFile), primo + Registro::riga(voce) + "\r\n");

        // counting it again inserts a new row with the data the list showed
        b.copie()->setText(u"3"_s);
        b.salva();
        QCOMPARE(b.righe().size(), 2);
        QVERIFY(b.righe()[1][0] != contata[0]);   // a new row ...
        QCOMPARE(b.righe()[1].mid(1), contata.mid(1));   // ... with the same data
        QCOMPARE(b.program.messages.size(), 2);
        QVERIFY(b.program.errors.isEmpty());
    }

    void deleteRefusedOrFailing()
    {
        Banco b;
        b.conta(kBcCaffe, u"3"_s);
        b.elimina();   // nothing selected
        QCOMPARE(b.ultimoMessaggio(), u"Selezionionare la riga da eliminare"_s);

        b.clicRiga(0);
        b.program.answers.push_back(MsgBox::No);
        b.elimina();
        QCOMPARE(b.program.messages.size(), 2);
        QCOMPARE(b.focus(), b.w<QPushButton>("CmdElimina"));

        Modulo::ConnPrincipale().close();
        b.elimina();
        QCOMPARE(b.ultimoMessaggio(), Modulo::kNonConnesso);

        // a key that is no number: the error form with the bare description
        b.program.connect();
        b.w("TxtIdInvReale")->setText(u"abc"_s);
        b.elimina();
        QCOMPARE(b.program.errors.size(), 1);
        QCOMPARE(b.program.errors[0].number, ErrNo::TypeMismatch);
        QVERIFY(!b.program.errors[0].description.contains(u'('));
        QCOMPARE(b.righe().size(), 1);
        QVERIFY(!QFile::exists(b.program.file(Registro::kNomeFile)));
        QVERIFY(b.form.isEnabled());
    }

    void inventoryFileFromTheMenu()
    {
        Banco b;
        // more rows than the list shows: the total is that of the rows written
        for (int i = 0; i < 60; ++i)
            b.program.exec(u"INSERT INTO InventarioReale (DescProdotto, PrezzoAcquisto, GiacenzaReale) "
                           "VALUES ('R%1', 1.5, 2)"_s.arg(i));
        b.form.CaricaDati();
        b.fileInventario();
        const QString nome = u"Inventario_05122026_143022.Dat"_s;
        const QByteArray file = b.program.readFile(nome);
        QCOMPARE(file.count("\r\n"), 2 + 60 + 2 + 1 + 3);
        QVERIFY(file.endsWith("|\r\n\r\n\r\n       Totale Inventario: 180,00\r\n\r\n\r\n\r\n"));
        QCOMPARE(b.ultimoMessaggio(), u"OK File Inventario Completato"_s);
        QCOMPARE(b.program.openedFiles, QStringList(b.program.file(nome)));

        // again within the same second: the same file, the second part after an empty line
        b.fileInventario();
        QCOMPARE(b.program.readFile(nome), file + "\r\n" + file);

        // not connected: the title and the header only, nothing opened
        Modulo::ConnPrincipale().close();
        Clock::setSource([] { return kAdesso.addSecs(1); });
        b.fileInventario();
        QCOMPARE(b.program.readFile(u"Inventario_05122026_143023.Dat"_s).size(), 46 + 2 + 755 + 2);
        QCOMPARE(b.ultimoMessaggio(), Modulo::kNonConnesso);

        // a file that cannot be written: the error form, nothing opened
        b.program.connect();
        Clock::setSource([] { return kAdesso.addSecs(2); });
        QVERIFY(QDir(b.program.folder()).mkdir(u"Inventario_05122026_143024.Dat"_s));
        b.fileInventario();
        QCOMPARE(b.program.errors.size(), 1);
        QVERIFY(b.program.errors[0].description.endsWith(" (Inventario) "_L1));
        QCOMPARE(b.program.messages.size(), 3);
        QCOMPARE(b.program.openedFiles.size(), 2);
    }

    // Round trips to the database of each Enter of a scan cycle, the keys
    // typed where the focus is. Today: the code search 2 (3 for a barcode of
    // prodottiC), the product and its count so far 2; then begin, lookup,
    // insert or update, commit, the 50 rows, the search reset 6. Lower the
    // figures as statements are saved; they must never grow.
    void roundTripsOfTheScanCycle()
    {
        Banco b;
        const struct { QString barcode; QList<qint64> viaggi; } cicli[] = {
            {kBcCaffe, {2, 5}}, {kBcCaffe, {2, 5}}, {kBcVecchia, {2, 5}}};   // new, counted already, prodottiC
        for (const auto &c : cicli) {
            b.codice()->setFocus();
            QList<qint64> viaggi;
            for (const QString &tasti : {c.barcode, u"2"_s}) {
                const qint64 prima = RoundTrips::count();
                QTest::keyClicks(b.focus(), tasti);
                QTest::keyClick(b.focus(), Qt::Key_Return);
                viaggi << RoundTrips::count() - prima;
            }
            QCOMPARE(viaggi, c.viaggi);
            QCOMPARE(b.focus(), b.codice());
        }
        QCOMPARE(b.righe().size(), 2);
    }

    // Every line of every file the program writes ends in CR LF, and no CR
    // or LF stands alone, even where a value carries line breaks of its own.
    void filesEndTheirLinesWithCrLf()
    {
        Banco b;
        const QString aCapo = u"A\nB\rC\r\nD"_s;
        b.program.exec(u"INSERT INTO InventarioReale (DescProdotto, Barcode) VALUES ('A' || char(10) || 'B', 'C' || char(13))"_s);
        FrmErrore errore;
        const struct { QString file; std::function<void()> scrivi; } scrittori[] = {
            {u"term.ini"_s, [&] { Modulo::ScriviParametro(u"Nota"_s, aCapo); }},
            {u"LogErrori.TXT"_s, [&] { errore.riempi({5, 1, aCapo, aCapo, aCapo}); errore.ui->cmdEsci->click(); }},
            {Registro::kNomeFile, [&] { Modulo::ScriviLog(aCapo, u"1"_s, aCapo, aCapo, aCapo, aCapo, aCapo); }},
            {u"Inventario_05122026_143022.Dat"_s, [&] { b.fileInventario(); }},
        };
        for (const auto &s : scrittori) {
            s.scrivi();
            s.scrivi();   // twice: the second finds the first one's file
            QByteArray bytes = b.program.readFile(s.file);
            QVERIFY2(bytes.endsWith("\r\n"), qPrintable(s.file));
            bytes.replace("\r\n", "");
            QVERIFY2(!bytes.contains('\r') && !bytes.contains('\n'), qPrintable(s.file));
        }
        QVERIFY(b.program.errors.isEmpty());
    }

    void rowCounter()
    {
        Banco b;
        const QString id = u"IDInventarioReale"_s, tabella = u"InventarioReale"_s;
        QCOMPARE(b.form.ContatoreGet(id, tabella), 0L);
        b.program.exec(u"INSERT INTO InventarioReale (DescProdotto) VALUES ('A'), ('B'), ('C')"_s);
        QCOMPARE(b.form.ContatoreGet(id, tabella), 3L);
        QCOMPARE(b.form.ContatoreGet(u"Nessuna"_s, tabella), 0L);
        QCOMPARE(b.program.errors.size(), 1);
        QVERIFY(b.program.errors[0].description.endsWith("(frmInventarioReale - CreaRigaLista)"_L1));
        Modulo::ConnPrincipale().close();
        QCOMPARE(b.form.ContatoreGet(id, tabella), 0L);
        QCOMPARE(b.ultimoMessaggio(), Modulo::kNonConnesso);
    }
};

INVENTARIO_TEST(TestConteggio)
#include "tst_conteggio.moc"
