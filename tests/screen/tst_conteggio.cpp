// Counting on the main screen: scan, quantity, Enter; a list row clicked and
// deleted with its log line; the inventory text file from the menu.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/shell.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/inventariomodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kCaffe = QStringLiteral("CAFFE' MACINATO \u00c8 \u20ac 100%");
const QString kSuperiore = QStringLiteral("La quantit\u00e0 \u00e8 superiore a 1000!!");

// The main screen started on its own database, as the operator finds it.
struct Banco {
    Fixture::Program program;
    frmInventario form;
    bool attivo = false;

    explicit Banco(Fixture::Program::Data data = Fixture::Program::Empty) : program(data)
    {
        Clock::setSource([] { return kAdesso; });
        Modulo::SaltaKeyUpCodice = false;
        program.addProduct(42, QStringLiteral("P00042"), kCaffe, QStringLiteral("8001230009045"), 1234.5, 999.99, 12);
        program.addProduct(43, QStringLiteral("P00043"), QStringLiteral("ZUCCHERO 1KG"), QStringLiteral("8001230009052"),
                           1.09, 0.68, 30);
        program.addProduct(5001, QStringLiteral("C00001"), QStringLiteral("PASTA VECCHIA CONF."),
                           QStringLiteral("8001230000019"), 1.59, 0.98, 3, true);
        form.show();
        form.activateWindow();
        attivo = QTest::qWaitForWindowActive(&form);
        form.Form_Load();
    }

    template <class T = QLineEdit>
    T *w(const char *name) const
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QString testo(const char *name) const { return w(name)->text(); }
    QLineEdit *codice() const { return w("txtCodice"); }
    QLineEdit *copie() const { return w("TxtCopieReali"); }

    // Scan into txtCodice and Enter: a single hit puts the focus in the quantity.
    void scansiona(const QString &barcode)
    {
        codice()->setFocus();
        QTest::keyClicks(codice(), barcode);
        QTest::keyClick(codice(), Qt::Key_Return);
    }
    // The quantity typed over the selected "1", then Enter.
    void quantita(const QString &text)
    {
        QTest::keyClicks(copie(), text);
        QTest::keyClick(copie(), Qt::Key_Return);
    }

    QList<QVariantList> righe()
    {
        return program.rows(QStringLiteral(
            "SELECT IDInventarioReale, IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale, PrezzoPubblico, "
            "PrezzoAcquisto, GiacenzaStatistica, DescProdotto FROM InventarioReale ORDER BY IDInventarioReale"));
    }
    double giacenza(int idVentrox)
    {
        return program.scalar(QStringLiteral("SELECT GiacenzaReale FROM InventarioReale WHERE IDProdottoVentrox=%1")
                                  .arg(idVentrox)).toDouble();
    }

    // A click on a row of the list, as the mouse does it.
    void clicRiga(int row)
    {
        auto *view = w<QTreeView>("lvwProdotti");
        const QModelIndex index = view->model()->index(row, 1);
        const QPoint centro = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centro);
    }
    QString cella(int row, int colonna) const { return form.modelloLista()->text(row, colonna); }
    int righeLista() const { return form.modelloLista()->righe(); }
};

// Latin-1 text padded with blanks or cut to the width, then "|".
QByteArray campo(const QByteArray &text, int width)
{
    QByteArray out = text.left(width);
    out.append(QByteArray(width - out.size(), ' '));
    return out + '|';
}

QByteArray intestazioneLog()
{
    return campo("Log", 14) + campo("Data", 14) + campo("Ora", 12) + campo("IdInventario", 12)
           + campo("Descrizione", 200) + campo("IdProdVtx", 20) + campo("IdProdC", 20) + campo("Barcode", 40)
           + campo("CodProd", 40) + campo("Qt\xe0Reale", 20) + campo("Qt\xe0Sparata", 20) + "\r\n";
}

QByteArray rigaLog(const QByteArray &chiave, const QByteArray &qtaReale)
{
    return campo("Elimina", 12) + campo("05/12/2026", 12) + campo("14:30:22", 10) + campo(chiave, 18)
           + campo("CAFFE' MACINATO \xc8 \x80 100%", 180) + campo("42", 20) + campo("0", 20)
           + campo("8001230009045", 40) + campo("P00042", 40) + campo(qtaReale, 20) + campo("0", 20) + "\r\n";
}

} // namespace

class TestConteggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countWithTheKeyboardAlone()
    {
        Banco b;
        QVERIFY(b.attivo);
        b.scansiona(QStringLiteral("8001230009045"));
        QCOMPARE(QApplication::focusWidget(), b.copie());
        QCOMPARE(b.testo("TxtIdProdotto"), QStringLiteral("42"));
        b.quantita(QStringLiteral("3"));
        QCOMPARE(b.giacenza(42), 3.0);
        // ready for the next scan
        QCOMPARE(QApplication::focusWidget(), b.codice());
        QCOMPARE(b.copie()->text(), QStringLiteral("1"));
        QCOMPARE(b.codice()->text(), QString());
        QCOMPARE(b.testo("txtDescrizione1"), QString());
        QCOMPARE(b.testo("TxtIdInvReale"), QString());
        QCOMPARE(b.righeLista(), 1);
        QCOMPARE(b.cella(0, InventarioModel::ColQtaReale), QStringLiteral("3"));

        for (const char *q : {"2", "-1", "2,5"}) {
            b.scansiona(QStringLiteral("8001230009045"));
            b.quantita(QString::fromLatin1(q));
        }
        const auto righe = b.righe();
        QCOMPARE(righe.size(), 1);
        QCOMPARE(righe[0][3].toDouble(), 6.5);   // 3 + 2 - 1 + 2,5
        QCOMPARE(righe[0][4].toDouble(), 1234.5);
        QCOMPARE(righe[0][5].toDouble(), 999.99);
        QCOMPARE(righe[0][6].toDouble(), 12.0);
        QCOMPARE(righe[0][7].toString(), kCaffe);
        QCOMPARE(b.cella(0, InventarioModel::ColQtaReale), QStringLiteral("6,5"));

        // a product of prodottiC gets a row of its own, found again by its id
        b.scansiona(QStringLiteral("8001230000019"));
        b.quantita(QStringLiteral("2"));
        b.scansiona(QStringLiteral("8001230000019"));
        b.quantita(QStringLiteral("1"));
        const auto dopo = b.righe();
        QCOMPARE(dopo.size(), 2);
        QCOMPARE(dopo[1][1].toInt(), 0);
        QCOMPARE(dopo[1][2].toInt(), 5001);
        QCOMPARE(dopo[1][3].toDouble(), 3.0);
        QVERIFY(b.program.messages.isEmpty());
        QVERIFY(b.program.errors.isEmpty());
    }

    // A reader types on while each count is saved: every key lands, in order,
    // in the field that has the focus once the save is done.
    void scannerBurstLosesNoKey()
    {
        Banco b;
        b.codice()->setFocus();
        QWindow *window = b.form.windowHandle();
        QVERIFY(window);
        auto tasti = [window](const QString &text) {
            for (QChar c : text) {
                const int key = c == QLatin1Char('\r') ? int(Qt::Key_Return)
                                : c == QLatin1Char(',') ? int(Qt::Key_Comma)
                                                        : Qt::Key_0 + c.digitValue();
                QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c)));
                QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c)));
            }
        };
        tasti(QStringLiteral("8001230009045\r3\r8001230009052\r2,5\r8001230009045\r4\r123"));
        QTRY_VERIFY_WITH_TIMEOUT(b.codice()->text() == QLatin1String("123") && b.giacenza(42) == 7.0, 10000);
        QCOMPARE(b.giacenza(43), 2.5);
        QCOMPARE(b.righe().size(), 2);
        QCOMPARE(b.copie()->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), b.codice());
        QVERIFY(b.program.messages.isEmpty());
        QVERIFY(b.program.errors.isEmpty());
    }

    // Keys that arrive while the count is being written wait, and go to
    // txtCodice once the screen is ready, not into a field about to be reset.
    void keysTypedDuringTheSaveReachTheNextScan()
    {
        Banco b;
        b.scansiona(QStringLiteral("8001230009045"));
        QWindow *window = b.form.windowHandle();
        bool inviati = false;
        // the save reads the clock for the row's date: the reader types meanwhile
        Clock::setSource([&] {
            if (!inviati && Events::holding()) {
                inviati = true;
                for (QChar c : QStringLiteral("8001230009052")) {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + c.digitValue(), Qt::NoModifier, QString(c));
                    QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + c.digitValue(), Qt::NoModifier, QString(c));
                    QCoreApplication::sendEvent(window, &press);
                    QCoreApplication::sendEvent(window, &release);
                }
            }
            return kAdesso;
        });
        b.quantita(QStringLiteral("3"));
        QVERIFY(inviati);
        QCOMPARE(b.giacenza(42), 3.0);
        QCOMPARE(b.codice()->text(), QStringLiteral("8001230009052"));
        QCOMPARE(b.copie()->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), b.codice());
    }

    void quantityIsCheckedBeforeSaving_data()
    {
        QTest::addColumn<QString>("quantita");
        QTest::addColumn<bool>("salvata");
        QTest::addColumn<double>("valore");
        QTest::addColumn<bool>("messaggio");
        QTest::newRow("empty") << QString() << false << 0.0 << false;
        QTest::newRow("letters") << "abc" << false << 0.0 << false;
        QTest::newRow("1000") << "1000" << true << 1000.0 << false;
        QTest::newRow("1000,5") << "1000,5" << false << 0.0 << true;
        QTest::newRow("1001") << "1001" << false << 0.0 << true;
        QTest::newRow("-1") << "-1" << true << -1.0 << false;
        QTest::newRow("2,5") << "2,5" << true << 2.5 << false;
        QTest::newRow("1.000") << "1.000" << true << 1000.0 << false;
        QTest::newRow("0") << "0" << true << 0.0 << false;
        QTest::newRow("barcode") << "8001230009052" << false << 0.0 << true;
        QTest::newRow("200 letters") << QString(200, QLatin1Char('x')) << false << 0.0 << false;
        QTest::newRow("200 digits") << QString(200, QLatin1Char('9')) << false << 0.0 << true;
    }
    void quantityIsCheckedBeforeSaving()
    {
        QFETCH(QString, quantita);
        QFETCH(bool, salvata);
        QFETCH(double, valore);
        QFETCH(bool, messaggio);
        Banco b;
        b.scansiona(QStringLiteral("8001230009045"));
        b.copie()->setText(quantita);
        QTest::keyClick(b.copie(), Qt::Key_Return);

        QCOMPARE(b.copie()->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), b.codice());
        if (salvata) {
            QCOMPARE(b.righe().size(), 1);
            QCOMPARE(b.giacenza(42), valore);
            QCOMPARE(b.codice()->text(), QString());
            QCOMPARE(b.testo("txtDescrizione1"), QString());
            QVERIFY(b.program.messages.isEmpty());
        } else {
            QCOMPARE(b.righe().size(), 0);
            QCOMPARE(b.codice()->text(), quantita);
            QCOMPARE(b.testo("txtDescrizione1"), kCaffe);   // the product stays loaded
            QCOMPARE(b.program.messages.size(), messaggio ? 1 : 0);
            if (messaggio) {
                QCOMPARE(b.program.messages[0].prompt, kSuperiore);
                QCOMPARE(b.program.messages[0].style, int(MsgBox::Information));
                QCOMPARE(b.program.messages[0].title, MsgBox::applicationTitle());
            }
        }
        QVERIFY(b.program.errors.isEmpty());
    }

    void noProductOrNoConnectionStoresNothing()
    {
        Banco b;
        b.copie()->setText(QStringLiteral("5"));
        b.w<QLineEdit>("TxtIdInvReale")->setText(QStringLiteral("9"));
        QTest::mouseClick(b.w<QToolButton>("cmdSalva"), Qt::LeftButton);
        QCOMPARE(b.righe().size(), 0);
        QCOMPARE(b.copie()->text(), QStringLiteral("1"));
        QCOMPARE(b.testo("TxtIdInvReale"), QString());
        QCOMPARE(QApplication::focusWidget(), b.codice());
        QVERIFY(b.program.messages.isEmpty());

        b.scansiona(QStringLiteral("8001230009045"));
        Modulo::ConnPrincipale().close();
        b.quantita(QStringLiteral("3"));
        QCOMPARE(b.righe().size(), 0);
        QVERIFY(!b.program.messages.isEmpty());
        QCOMPARE(b.program.messages[0].prompt, Modulo::kNonConnesso);
        QCOMPARE(b.program.messages[0].style, int(MsgBox::Critical));
        QCOMPARE(b.program.messages[0].title, Modulo::kAttenzione);
        QCOMPARE(b.testo("txtDescrizione1"), QString());
        QVERIFY(b.program.errors.isEmpty());
    }

    void rowClickDeleteAndCountAgain()
    {
        Banco b;
        b.scansiona(QStringLiteral("8001230009045"));
        b.quantita(QStringLiteral("3"));
        b.scansiona(QStringLiteral("8001230009052"));
        b.quantita(QStringLiteral("1"));
        QCOMPARE(b.righeLista(), 2);
        int riga = 0;
        while (b.cella(riga, InventarioModel::ColIdVentrox) != QLatin1String("42"))
            ++riga;
        const QString chiave = b.cella(riga, InventarioModel::ColID);
        b.clicRiga(riga);
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);
        QCOMPARE(b.testo("txtPrVe1"), QStringLiteral("1234,5"));

        QTest::mouseClick(b.w<QPushButton>("CmdElimina"), Qt::LeftButton);
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].prompt,
                 QStringLiteral("La riga selezionata verr\u00e0 eliminata dall' inventario,Sicuro di Continuare?"));
        QCOMPARE(b.program.messages[0].style, 52);
        QCOMPARE(b.program.messages[0].title, QStringLiteral("Elimina Riga selezionata"));
        QCOMPARE(b.righe().size(), 1);
        QCOMPARE(b.righeLista(), 1);
        QCOMPARE(b.w<QLabel>("lblTest1")->text(), QStringLiteral("OK"));
        const QByteArray primo = intestazioneLog() + rigaLog(chiave.toLatin1(), "3");
        QCOMPARE(b.program.readFile(QStringLiteral("LOGSalvaRiga.Dat")), primo);
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);   // the fields still show the deleted row
        QVERIFY(b.form.isEnabled());

        // a second press deletes nothing more and logs again
        QTest::mouseClick(b.w<QPushButton>("CmdElimina"), Qt::LeftButton);
        QCOMPARE(b.righe().size(), 1);
        QCOMPARE(b.program.readFile(QStringLiteral("LOGSalvaRiga.Dat")), primo + rigaLog(chiave.toLatin1(), "3"));

        // counting it again inserts a new row with the prices the list showed
        b.copie()->setText(QStringLiteral("2"));
        QTest::mouseClick(b.w<QToolButton>("cmdSalva"), Qt::LeftButton);
        const auto righe = b.righe();
        QCOMPARE(righe.size(), 2);
        QVERIFY(righe[1][0].toString() != chiave);
        QCOMPARE(righe[1][1].toInt(), 42);
        QCOMPARE(righe[1][3].toDouble(), 2.0);
        QCOMPARE(righe[1][4].toDouble(), 1234.5);
        QCOMPARE(righe[1][5].toDouble(), 999.99);
        QCOMPARE(righe[1][6].toDouble(), 12.0);
        QCOMPARE(righe[1][7].toString(), kCaffe);
        QCOMPARE(b.program.messages.size(), 2);
        QVERIFY(b.program.errors.isEmpty());
    }

    void deleteThatDoesNotHappen()
    {
        Banco b;
        b.scansiona(QStringLiteral("8001230009045"));
        b.quantita(QStringLiteral("3"));
        auto *elimina = b.w<QPushButton>("CmdElimina");

        // nothing selected
        QTest::mouseClick(elimina, Qt::LeftButton);
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].prompt, QStringLiteral("Selezionionare la riga da eliminare"));
        QCOMPARE(b.program.messages[0].style, 0);
        QVERIFY(b.form.isEnabled());

        // No
        b.clicRiga(0);
        b.program.answers.push_back(MsgBox::No);
        QTest::mouseClick(elimina, Qt::LeftButton);
        QCOMPARE(b.program.messages.size(), 2);
        QCOMPARE(b.righe().size(), 1);
        QVERIFY(!QFile::exists(b.program.file(QStringLiteral("LOGSalvaRiga.Dat"))));
        QVERIFY(b.form.isEnabled());
        QCOMPARE(QApplication::focusWidget(), elimina);

        // not connected
        Modulo::ConnPrincipale().close();
        QTest::mouseClick(elimina, Qt::LeftButton);
        QCOMPARE(b.program.messages.size(), 3);
        QCOMPARE(b.program.messages[2].prompt, Modulo::kNonConnesso);
        QVERIFY(b.form.isEnabled());
        QCOMPARE(b.righe().size(), 1);
        QVERIFY(b.program.errors.isEmpty());
    }

    void deleteErrors()
    {
        Banco b;
        b.scansiona(QStringLiteral("8001230009045"));
        b.quantita(QStringLiteral("3"));
        auto *elimina = b.w<QPushButton>("CmdElimina");

        // a key that is no number: the error form with the bare description
        b.w<QLineEdit>("TxtIdInvReale")->setText(QStringLiteral("abc"));
        QTest::mouseClick(elimina, Qt::LeftButton);
        QCOMPARE(b.program.errors.size(), 1);
        QCOMPARE(b.program.errors[0].number, ErrNo::TypeMismatch);
        QVERIFY(!b.program.errors[0].description.contains(QLatin1Char('(')));
        QCOMPARE(b.righe().size(), 1);
        QVERIFY(!QFile::exists(b.program.file(QStringLiteral("LOGSalvaRiga.Dat"))));
        QVERIFY(b.form.isEnabled());

        // a log that cannot be written: the error form, the row stays deleted
        QVERIFY(QDir(b.program.folder()).mkdir(QStringLiteral("LOGSalvaRiga.Dat")));
        b.clicRiga(0);
        QTest::mouseClick(elimina, Qt::LeftButton);
        QCOMPARE(b.program.errors.size(), 2);
        QVERIFY(b.program.errors[1].description.endsWith(QLatin1String(" (LOG) ")));
        QCOMPARE(b.righe().size(), 0);
        QVERIFY(b.form.isEnabled());
    }

    void inventoryFileFromTheMenu()
    {
        Banco b;
        // more rows than the list shows: the total is that of the rows written
        for (int i = 0; i < 60; ++i)
            b.program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto, PrezzoAcquisto, GiacenzaReale) "
                                          "VALUES ('R%1', 1.5, 2)").arg(i));
        b.form.CaricaDati();
        b.w<QAction>("MnuFileInvTab")->trigger();
        const QString nome = QStringLiteral("Inventario_05122026_143022.Dat");
        const QByteArray file = b.program.readFile(nome);
        QVERIFY(file.startsWith("Inventario del Data: 05/12/2026 - Ora14:30:22|\r\n"));
        QCOMPARE(file.count("\r\n"), 2 + 60 + 2 + 1 + 3);
        QCOMPARE(file.size(), 48 + 61 * 757 + 4 + 34 + 6);
        QVERIFY(file.endsWith("|\r\n\r\n\r\n       Totale Inventario: 180,00\r\n\r\n\r\n\r\n"));
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].prompt, QStringLiteral("OK File Inventario Completato"));
        QCOMPARE(b.program.messages[0].style, 0);
        QCOMPARE(b.program.openedFiles, QStringList(b.program.file(nome)));

        // again within the same second: the same file, the second part after an empty line
        b.w<QAction>("MnuFileInvTab")->trigger();
        QCOMPARE(b.program.readFile(nome), file + "\r\n" + file);
        QCOMPARE(b.program.openedFiles.size(), 2);
        QVERIFY(b.program.errors.isEmpty());
    }

    void inventoryFileWithoutConnectionOrFolder()
    {
        Banco b;
        b.program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto) VALUES ('A')"));
        Modulo::ConnPrincipale().close();
        b.w<QAction>("MnuFileInvTab")->trigger();
        const QByteArray testa = b.program.readFile(QStringLiteral("Inventario_05122026_143022.Dat"));
        QVERIFY(testa.startsWith("Inventario del Data: 05/12/2026 - Ora14:30:22|\r\nIdInventarioReale "));
        QCOMPARE(testa.size(), 46 + 2 + 755 + 2);
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].prompt, Modulo::kNonConnesso);
        QVERIFY(b.program.openedFiles.isEmpty());

        // a file that cannot be written: the error form, nothing opened
        b.program.connect();
        Clock::setSource([] { return kAdesso.addSecs(1); });
        QVERIFY(QDir(b.program.folder()).mkdir(QStringLiteral("Inventario_05122026_143023.Dat")));
        b.w<QAction>("MnuFileInvTab")->trigger();
        QCOMPARE(b.program.errors.size(), 1);
        QVERIFY(b.program.errors[0].description.endsWith(QLatin1String(" (Inventario) ")));
        QCOMPARE(b.program.messages.size(), 1);
        QVERIFY(b.program.openedFiles.isEmpty());
    }

    void rowCounter()
    {
        Banco b;
        const QString id = QStringLiteral("IDInventarioReale"), tabella = QStringLiteral("InventarioReale");
        QCOMPARE(b.form.ContatoreGet(id, tabella), 0L);
        b.program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto) VALUES ('A'), ('B'), ('C')"));
        QCOMPARE(b.form.ContatoreGet(id, tabella), 3L);
        QCOMPARE(b.form.ContatoreGet(QStringLiteral("Nessuna"), tabella), 0L);
        QCOMPARE(b.program.errors.size(), 1);
        QVERIFY(b.program.errors[0].description.endsWith(QLatin1String("(frmInventarioReale - CreaRigaLista)")));
        Modulo::ConnPrincipale().close();
        QCOMPARE(b.form.ContatoreGet(id, tabella), 0L);
        QCOMPARE(b.program.messages.size(), 1);
        QCOMPARE(b.program.messages[0].prompt, Modulo::kNonConnesso);
    }
};

INVENTARIO_TEST(TestConteggio)
#include "tst_conteggio.moc"
