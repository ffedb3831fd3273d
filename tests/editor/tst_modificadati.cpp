// The product editor: its price fields, loading the chosen product, saving
// into Prodotti or ProdottiC, and the main screen after it closed.
#include "editor/frmmodificadati.h"
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/prodottilistmodel.h"
#include "ui_FrmModificaDati.h"
#include "ui_frmInventario.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QTest>

namespace {

const QString kCaffe = QStringLiteral("CAFFE' MACINATO");
const QString kNonTrovato = QStringLiteral("Prodotto non Trovato !!!");

// The main screen on its own database, a product chosen in the search list.
struct Schermo {
    Fixture::Program program;
    frmInventario form;
    bool attivo = false;

    explicit Schermo(Fixture::Program::Data data = Fixture::Program::Empty) : program(data)
    {
        Modulo::SaltaKeyUpCodice = false;
        if (data == Fixture::Program::Empty) {
            program.addProduct(42, QStringLiteral("P00042"), kCaffe, QStringLiteral("8001230009045"), 1234.5, 999.99, 12);
            program.addProduct(77, QStringLiteral("P00077"), QStringLiteral("VINO"), QStringLiteral("8001230009077"),
                               12345.67, 10, 1);
            // the same id in both tables: only the chosen table is written
            program.addProduct(5001, QStringLiteral("X5001"), QStringLiteral("ATTIVO 5001"), QStringLiteral("111"), 1, 1, 1);
            program.addProduct(5001, QStringLiteral("C00001"), QStringLiteral("PASTA VECCHIA"),
                               QStringLiteral("8001230000019"), 1.59, 0.98, 3, true);
        }
        form.show();
        form.activateWindow();
        attivo = QTest::qWaitForWindowActive(&form);
        form.Form_Load();
    }

    // A scan and Enter in txtCodice: a single hit is chosen.
    void cerca(const QString &code)
    {
        form.ui->txtCodice->setText(code);
        QTest::keyClick(form.ui->txtCodice, Qt::Key_Return);
    }

    // "&Modifica Dati"; `act` works on the editor while it is up. Should a
    // check fail inside, the editor is closed so that the test goes on.
    void modifica(const std::function<void(FrmModificaDati &)> &act)
    {
        Fixture::whenModal([act](QWidget *modal) {
            QPointer<FrmModificaDati> editor = qobject_cast<FrmModificaDati *>(modal);
            if (!editor) {
                modal->hide();
                return;
            }
            act(*editor);
            if (editor && editor->isVisible())
                editor->done(0);
        });
        form.cmdModifica_Click();
    }

    QVariantList prodotto(const char *table, int id)
    {
        const auto rows = program.rows(QStringLiteral("SELECT Barcode, Descrizione, PrezzoPubblico, PrezzoAcquisto FROM %1 "
                                                      "WHERE IDProdotto = %2")
                                           .arg(QLatin1String(table))
                                           .arg(id));
        return rows.value(0);
    }
};

void compila(FrmModificaDati &e, const QString &barcode, const QString &descrizione, const QString &vendita,
             const QString &acquisto)
{
    e.ui->txtBarcodeForn->setText(barcode);
    e.ui->txtDescrizione1->setText(descrizione);
    e.ui->txtPrVe1->setText(vendita);
    e.ui->txtPrAcq1->setText(acquisto);
}

} // namespace

class TestModificaDati : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void priceKeyFilter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digit") << "12" << "7" << true;
        QTest::newRow("first comma") << "12" << "," << true;
        QTest::newRow("first stop") << "12" << "." << true;
        QTest::newRow("stop after comma") << "12,3" << "." << false;
        QTest::newRow("comma after stop") << "12.3" << "," << false;
        QTest::newRow("second comma") << "1,2" << "," << false;
        QTest::newRow("backspace") << "12,3" << "\b" << true;
        QTest::newRow("minus") << "" << "-" << false;
        QTest::newRow("letter") << "1" << "a" << false;
        QTest::newRow("blank") << "1" << " " << false;
        QTest::newRow("euro") << "1" << "\u20ac" << false;
    }
    void priceKeyFilter()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QCOMPARE(PriceField::acceptsKey(text, typed.at(0)), accepted);
    }

    void priceOnLeave_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("stop is the point") << "12.5" << "12,50";
        QTest::newRow("comma") << "1234,5" << "1.234,50";
        QTest::newRow("thousands kept") << "1.234,50" << "1.234,50";
        QTest::newRow("as loaded") << "1.234,50 \u20ac" << "1.234,50";
        QTest::newRow("big") << "12.345,67" << "12.345,67";
        QTest::newRow("whole") << "7" << "7,00";
        QTest::newRow("trailing comma") << "12," << "12,00";
        QTest::newRow("leading comma") << ",5" << "0,50";
        QTest::newRow("huge") << "9999999999" << "9.999.999.999,00";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("lone comma") << "," << ",";
        QTest::newRow("two commas") << "1,2,3" << "1,2,3";
        QTest::newRow("two stops") << "1.2.3" << "1.2.3";
        QTest::newRow("letters") << "abc" << "abc";
        QTest::newRow("negative") << "-5" << "-5,00";
    }
    void priceOnLeave()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(PriceField::onLeave(text), shown);
    }

    void loadsTheChosenProduct()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00077"));
        FrmModificaDati e(&s.form);
        QCOMPARE(e.ui->lblCodice->text(), QStringLiteral("P00077"));
        QCOMPARE(e.ui->lblDescrizione->text(), QStringLiteral("VINO"));
        QCOMPARE(e.ui->txtBarcodeForn->text(), QStringLiteral("8001230009077"));
        QCOMPARE(e.ui->txtBarcodeForn2->text(), QStringLiteral("8001230009077"));
        QCOMPARE(e.ui->TxtDetCodiceLoro->text(), QStringLiteral("P00077"));
        QCOMPARE(e.ui->txtDescrizione1->text(), QStringLiteral("VINO"));
        QCOMPARE(e.ui->txtPrVe1->text(), QStringLiteral("12.345,67 \u20ac"));   // longer than 10, not cut
        QCOMPARE(e.ui->txtPrAcq1->text(), QStringLiteral("10,00 \u20ac"));
        QVERIFY(e.ui->TxtDetCodiceLoro->isReadOnly());
        QVERIFY(e.ui->txtBarcodeForn2->isReadOnly());
        QCOMPARE(e.windowTitle(), QStringLiteral(" "));
    }

    // Typing as the operator does: the filter, the limits, Enter moving on,
    // the colours and the conversion on leaving a price.
    void fieldsUnderTheKeyboard()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00042"));
        FrmModificaDati e(&s.form);
        e.show();
        QApplication::setActiveWindow(&e);
        QVERIFY(QTest::qWaitForWindowActive(&e));
        QCOMPARE(QApplication::focusWidget(), e.ui->txtBarcodeForn);
        QVERIFY(e.ui->txtBarcodeForn->styleSheet().contains(QLatin1String("rgb(255, 255, 128)")));
        QCOMPARE(e.ui->txtBarcodeForn->selectedText(), QStringLiteral("8001230009045"));

        QTest::keyClicks(e.ui->txtBarcodeForn, QStringLiteral("123456789012345678901"));
        QCOMPARE(e.ui->txtBarcodeForn->text(), QStringLiteral("12345678901234567890"));
        QTest::keyClick(e.ui->txtBarcodeForn, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.ui->txtDescrizione1);
        QVERIFY(e.ui->txtBarcodeForn->styleSheet().contains(QLatin1String("rgb(255, 255, 255)")));
        QTest::keyClick(e.ui->txtDescrizione1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.ui->txtPrVe1);
        QCOMPARE(e.ui->txtPrVe1->selectedText(), QStringLiteral("1.234,50 \u20ac"));

        QTest::keyClicks(e.ui->txtPrVe1, QStringLiteral("12.5a- ,3"));
        QCOMPARE(e.ui->txtPrVe1->text(), QStringLiteral("12.53"));
        QTest::keyClick(e.ui->txtPrVe1, Qt::Key_Backspace);
        QTest::keyClick(e.ui->txtPrVe1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.ui->txtPrAcq1);
        QCOMPARE(e.ui->txtPrVe1->text(), QStringLiteral("12,50"));
        QVERIFY(e.ui->txtPrAcq1->styleSheet().contains(QLatin1String("rgb(255, 255, 128)")));

        QTest::keyClicks(e.ui->txtPrAcq1, QStringLiteral("12345678901"));
        QCOMPARE(e.ui->txtPrAcq1->text(), QStringLiteral("1234567890"));
        QTest::keyClick(e.ui->txtPrAcq1, Qt::Key_Tab);
        QCOMPARE(e.ui->txtPrAcq1->text(), QStringLiteral("1.234.567.890,00"));
        e.CmdEsci_Click();
    }

    void savesIntoTheChosenTable_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("other");
        QTest::addColumn<int>("id");
        QTest::newRow("Prodotti") << "P00042" << "Prodotti" << "prodottiC" << 42;
        QTest::newRow("ProdottiC") << "8001230000019" << "prodottiC" << "Prodotti" << 5001;
    }
    void savesIntoTheChosenTable()
    {
        QFETCH(QString, code);
        QFETCH(QString, table);
        QFETCH(QString, other);
        QFETCH(int, id);
        Schermo s;
        const QVariantList untouched = s.prodotto(other.toLatin1().constData(), id);
        s.cerca(code);
        const QString descrizione = QStringLiteral("L'ANTICA «PASTA» \"È\" ÀÙ");
        s.modifica([&](FrmModificaDati &e) {
            compila(e, QStringLiteral("  2000000000017 "), QStringLiteral(" ") + descrizione, QStringLiteral("1.234,5 \u20ac"),
                    QString());
            e.ui->cmdSalva->click();
        });
        QCOMPARE(s.prodotto(table.toLatin1().constData(), id),
                 (QVariantList{QStringLiteral("2000000000017"), descrizione, 1234.5, 0.0}));
        QCOMPARE(s.prodotto(other.toLatin1().constData(), id), untouched);
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.program.errors.isEmpty());

        // the main screen is ready for a fresh scan
        for (const char *name : {"txtCodice", "txtNome", "TxtDetCodiceLoro", "txtDescrizione1", "txtPrVe1",
                                 "txtPrezAcquisto", "TxtBarcode", "txtProdeliminto", "TxtIdProdotto", "txtQtaReale", "txtQta"})
            QVERIFY2(s.form.findChild<QLineEdit *>(QLatin1String(name))->text().isEmpty(), name);
        QCOMPARE(s.form.modelloProdotti()->rowCount(), 0);
        QVERIFY(s.form.ui->txtCodice->isEnabled());
        QVERIFY(s.form.ui->txtNome->isEnabled());
        QCOMPARE(s.form.ui->lblTest1->text(), QStringLiteral("OK"));
        QCOMPARE(s.form.focusWidget(), s.form.ui->txtCodice);
    }

    void emptyTextsAreStoredEmpty()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00042"));
        s.modifica([](FrmModificaDati &e) {
            compila(e, QString(), QString(), QStringLiteral("0"), QStringLiteral("0,5"));
            e.ui->cmdSalva->click();
        });
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT Barcode IS NOT NULL AND Barcode = '' FROM Prodotti WHERE IDProdotto = 42")).toInt(), 1);
        QCOMPARE(s.prodotto("Prodotti", 42), (QVariantList{QString(), QString(), 0.0, 0.5}));
    }

    // From the demo screen: a product corrected, then found again by its new
    // barcode; the Enter that closed the editor is no search.
    void correctedProductIsFoundAgain()
    {
        Schermo s(Fixture::Program::Demo);
        const auto first = s.program.rows(QStringLiteral("SELECT CodInterno, IDProdotto FROM Prodotti ORDER BY IDProdotto LIMIT 1"));
        QVERIFY(!first.isEmpty());
        s.cerca(first[0][0].toString());
        QCOMPARE(s.form.ui->TxtIdProdotto->text(), first[0][1].toString());
        s.modifica([](FrmModificaDati &e) {
            compila(e, QStringLiteral("2999999999990"), QStringLiteral("DESCRIZIONE CORRETTA"), QStringLiteral("3.5"),
                    QStringLiteral("1,2"));
            e.ui->cmdSalva->click();
        });
        QVERIFY(Modulo::SaltaKeyUpCodice);
        s.cerca(QStringLiteral("2999999999990"));   // the key release that closed the editor
        QVERIFY(!Modulo::SaltaKeyUpCodice);
        QCOMPARE(s.form.modelloProdotti()->rowCount(), 0);
        QTest::keyClick(s.form.ui->txtCodice, Qt::Key_Return);
        QCOMPARE(s.form.modelloProdotti()->rowCount(), 1);
        QCOMPARE(s.form.ui->txtDescrizione1->text(), QStringLiteral("DESCRIZIONE CORRETTA"));
        QCOMPARE(s.form.ui->TxtBarcode->text(), QStringLiteral("2999999999990"));
        QCOMPARE(s.form.ui->txtPrVe1->text(), QStringLiteral("3,50 \u20ac"));
        QCOMPARE(s.form.ui->txtPrezAcquisto->text(), QStringLiteral("1,20 \u20ac"));
    }

    void productDeletedMeanwhile()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00042"));
        bool closed = false;
        s.modifica([&](FrmModificaDati &e) {
            s.program.exec(QStringLiteral("DELETE FROM Prodotti WHERE IDProdotto = 42"));
            e.ui->cmdSalva->click();
            closed = !e.isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages[0].prompt, kNonTrovato);
        QCOMPARE(s.program.messages[0].style, 16);
        QCOMPARE(s.program.messages[0].title, QStringLiteral("Attenzione!!"));
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti WHERE IDProdotto = 42")).toInt(), 0);
    }

    // What the operator can put right keeps the editor open, nothing written.
    void refusalsKeepTheEditorOpen()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00042"));
        const QVariantList before = s.prodotto("Prodotti", 42);
        s.program.exec(QStringLiteral("CREATE TRIGGER corto BEFORE UPDATE ON Prodotti WHEN length(NEW.Barcode) > 13 "
                                      "BEGIN SELECT RAISE(ABORT, 'Barcode troppo lungo'); END"));
        QStringList prompts;
        QList<bool> open;
        s.modifica([&](FrmModificaDati &e) {
            auto prova = [&](const QString &barcode, const QString &vendita, const QString &acquisto) {
                compila(e, barcode, QStringLiteral("NUOVA"), vendita, acquisto);
                e.ui->cmdSalva->click();
                prompts << s.program.messages.value(prompts.size()).prompt;
                open << e.isVisible();
            };
            prova(QStringLiteral("1"), QStringLiteral(","), QStringLiteral("1"));
            prova(QStringLiteral("1"), QStringLiteral("1,2,3"), QStringLiteral("1"));
            prova(QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("-5"));
            prova(QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("abc"));
            prova(QStringLiteral("12345678901234"), QStringLiteral("5"), QStringLiteral("5"));
            Modulo::ConnPrincipale().close();
            prova(QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("5"));
            e.ui->CmdEsci->click();
        });
        QCOMPARE(open, (QList<bool>{true, true, true, true, true, true}));
        QCOMPARE(prompts[0], QStringLiteral("Il Prezzo di Vendita non è un prezzo valido!!"));
        QCOMPARE(prompts[1], QStringLiteral("Il Prezzo di Vendita non è un prezzo valido!!"));
        QCOMPARE(prompts[2], QStringLiteral("Il Prezzo di Acquisto non è un prezzo valido!!"));
        QCOMPARE(prompts[3], QStringLiteral("Il Prezzo di Acquisto non è un prezzo valido!!"));
        QVERIFY2(prompts[4].contains(QLatin1String("Barcode troppo lungo")), qPrintable(prompts[4]));
        QCOMPARE(prompts[5], QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        for (const auto &m : s.program.messages.mid(0, 6)) {
            QCOMPARE(m.style, 16);
            QCOMPARE(m.title, QStringLiteral("Attenzione!!"));
        }
        QVERIFY(s.program.errors.isEmpty());
        QCOMPARE(s.prodotto("Prodotti", 42), before);
        // ESCI: the indicator's fresh test reopened the connection
        QCOMPARE(s.form.ui->lblTest1->text(), QStringLiteral("OK"));
        QVERIFY(Modulo::ConnPrincipale().isOpen());
    }

    void nothingChosenOpensNothing()
    {
        Schermo s;
        bool opened = false;
        Fixture::whenModal([&](QWidget *modal) {
            opened = true;
            modal->hide();
        }, 200);
        s.form.cmdModifica_Click();
        QTest::qWait(300);
        QVERIFY(!opened);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages[0].prompt, QStringLiteral("Devi Selezionare un Prodotto!!"));
        QCOMPARE(s.program.messages[0].style, 16);
        QVERIFY(!Modulo::SaltaKeyUpCodice);
    }

    void onlyEsciLeaves()
    {
        Schermo s;
        s.cerca(QStringLiteral("P00042"));
        bool stayed = false;
        s.modifica([&](FrmModificaDati &e) {
            QTest::keyClick(&e, Qt::Key_Escape);
            e.close();
            stayed = e.isVisible();
            e.ui->CmdEsci->click();
        });
        QVERIFY(stayed);
        QCOMPARE(s.prodotto("Prodotti", 42)[1].toString(), kCaffe);
        QCOMPARE(s.form.ui->txtDescrizione1->text(), QString());
    }
};

INVENTARIO_TEST(TestModificaDati)
#include "tst_modificadati.moc"
