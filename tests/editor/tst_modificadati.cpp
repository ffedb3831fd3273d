// The product editor: its price fields, loading the chosen product, saving into Prodotti or ProdottiC, and the main
// screen after it closed.
#include "editor/frmmodificadati.h"
#include "fixture/schermo.h"
#include "ui_FrmModificaDati.h"

using namespace Fixture;

namespace {

// The main screen on its own database, with a product in each table under one id.
struct Editore : Schermo {
    Editore()
    {
        program.addProduct(42, "P00042", "CAFFE' MACINATO", "8001230009045", 12345.67, 10, 12);
        program.addProduct(5001, "X5001", "ATTIVO 5001", "111", 1, 1, 1);
        program.addProduct(5001, "C00001", "PASTA VECCHIA", "8001230000019", 1.59, 0.98, 3, true);
    }
    // "&Modifica Dati"; `act` works on the open editor, closed afterwards should a check have failed.
    void modifica(const std::function<void(FrmModificaDati &)> &act)
    {
        Fixture::whenModal([act](QWidget *modal) {
            if (auto *editor = qobject_cast<FrmModificaDati *>(modal))
                act(*editor);
            modal->hide();
        });
        clic("cmdModifica");
    }
    // Barcode, description and prices; a null text shows as "NULL".
    QVariantList prodotto(const QString &table, int id)
    {
        return program
            .rows(QString("SELECT ifnull(Barcode, 'NULL'), ifnull(Descrizione, 'NULL'), PrezzoPubblico, "
                          "PrezzoAcquisto FROM %1 WHERE IDProdotto = %2")
                      .arg(table)
                      .arg(id))
            .value(0);
    }
};

}   // namespace

class TestModificaDati : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The chosen product's texts, then typing as the operator does: the key filter, the limits, Enter moving on, the
    // colours and the conversion on leaving a price.
    void loadsAndTakesTheKeyboard()
    {
        // a price is shown with two decimals, anything else as it is
        const struct {
            const char *text, *shown;
        } cases[] = {{"1234,5", "1.234,50"}, {"1.234,50 \u20ac", "1.234,50"}, {"7", "7,00"}, {",5", "0,50"},
            {"-5", "-5,00"}, {"", ""}, {",", ","}, {"1,2,3", "1,2,3"}, {"1.2.3", "1.2.3"}};
        for (const auto &c : cases)
            QCOMPARE(PriceField::onLeave(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown));
        Editore s;
        s.cerca("P00042");
        s.modifica([&](FrmModificaDati &e) {
            const auto &u = *e.ui;
            QCOMPARE((QStringList{u.lblCodice->text(), u.TxtDetCodiceLoro->text(), u.lblDescrizione->text(),
                         u.txtDescrizione1->text(), u.txtBarcodeForn2->text()}),
                (QStringList{"P00042", "P00042", "CAFFE' MACINATO", "CAFFE' MACINATO", "8001230009045"}));
            QTRY_COMPARE(QApplication::focusWidget(), u.txtBarcodeForn);
            QVERIFY(u.txtBarcodeForn->styleSheet().contains("rgb(255, 255, 128)"));
            QCOMPARE(u.txtBarcodeForn->selectedText(), "8001230009045");
            QTest::keyClicks(u.txtBarcodeForn, "123456789012345678901");
            QCOMPARE(u.txtBarcodeForn->text(), "12345678901234567890");
            QTest::keyClick(u.txtBarcodeForn, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), u.txtDescrizione1);
            QVERIFY(u.txtBarcodeForn->styleSheet().contains("rgb(255, 255, 255)"));
            QTest::keyClick(u.txtDescrizione1, Qt::Key_Return);
            QCOMPARE(u.txtPrVe1->selectedText(), "12.345,67 \u20ac");   // longer than the limit, not cut

            // digits, backspace and one separator, '.' or ','
            QTest::keyClicks(u.txtPrVe1, "12.5a- ,3");
            QCOMPARE(u.txtPrVe1->text(), "12.53");
            QTest::keyClick(u.txtPrVe1, Qt::Key_Backspace);
            QTest::keyClick(u.txtPrVe1, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), u.txtPrAcq1);
            QCOMPARE(u.txtPrVe1->text(), "12,50");
            QCOMPARE(u.txtPrAcq1->selectedText(), "10,00 \u20ac");
            QTest::keyClicks(u.txtPrAcq1, "12345,6,.78901");
            QCOMPARE(u.txtPrAcq1->text(), "12345,6789");
            QTest::keyClick(u.txtPrAcq1, Qt::Key_Tab);
            QCOMPARE(u.txtPrAcq1->text(), "12.345,68");
            u.CmdEsci->click();
        });
    }
    // Into the chosen product's table only, texts trimmed, an emptied price as 0; a stored negative price stays.
    void salvaNellaTabellaScelta()
    {
        const QString d = u"L'ANTICA \u00abPASTA\u00bb \"\u00c8\" \u00c0\u00d9"_s;
        const struct {
            const char *codice, *tabella;
            int id;
            QStringList scritti;
            QVariantList salvati;
        } casi[] = {{"P00042", "Prodotti", 42, {"  2000000000017 ", "\t" + d + " ", "1.234,5 \u20ac", ""},
                        {"2000000000017", "\t" + d, 1234.5, 0.0}},
            {"C00001", "prodottiC", 5001, {"2000000000017", d, "1.234,5", QString()},
                {"2000000000017", d, 1234.5, -3.5}},
            {"P00042", "Prodotti", 42, {"", "", "0", "0,5"}, {"", "", 0.0, 0.5}}};
        for (const auto &c : casi) {
            Editore s;
            s.program.exec(u"UPDATE prodottiC SET PrezzoAcquisto = -3.5"_s);
            const QString altra = QLatin1String(c.tabella) == "Prodotti"_L1 ? u"prodottiC"_s : u"Prodotti"_s;
            const QVariantList intatta = s.prodotto(altra, c.id);
            s.cerca(QLatin1String(c.codice));
            s.modifica([&](FrmModificaDati &e) {
                QLineEdit *campi[] = {e.ui->txtBarcodeForn, e.ui->txtDescrizione1, e.ui->txtPrVe1, e.ui->txtPrAcq1};
                for (int i = 0; i < 4; ++i)   // a null text leaves its field as loaded
                    if (!c.scritti[i].isNull())
                        campi[i]->setText(c.scritti[i]);
                e.ui->cmdSalva->click();
            });
            QCOMPARE(s.prodotto(QLatin1String(c.tabella), c.id), c.salvati);
            QCOMPARE(s.prodotto(altra, c.id), intatta);
            QVERIFY(s.program.messages.isEmpty() && s.program.errors.isEmpty());
            // the main screen is ready for a fresh scan
            for (const char *nome : {"txtCodice", "txtNome", "TxtDetCodiceLoro", "txtDescrizione1", "txtPrVe1",
                     "txtPrezAcquisto", "TxtBarcode", "txtProdeliminto", "TxtIdProdotto", "txtQtaReale", "txtQta"})
                QVERIFY2(s.testo(nome).isEmpty(), nome);
            QVERIFY(s.voci().isEmpty() && s.ui.txtCodice->isEnabled() && s.ui.txtNome->isEnabled());
            QCOMPARE(s.form.focusWidget(), s.ui.txtCodice);
            // the Enter that closed the editor is no search; the next one finds the product as saved
            s.form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&s.form));
            tasto(Qt::Key_Return);
            QVERIFY(s.voci().isEmpty());
            s.cerca(QLatin1String(c.codice));
            QCOMPARE(s.ui.txtDescrizione1->text(), c.salvati[1].toString());
        }
    }
};

INVENTARIO_TEST(TestModificaDati)
#include "tst_modificadati.moc"
