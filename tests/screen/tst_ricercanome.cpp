// The search by name as the operator types, CheckTipoRicerca, the reset, the
// cap of the list, and the growth of the list with the hits of any search.
#include "tst_ricerca.h"

using namespace Ricerca;

class TestRicercaNome : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inizioOppureOvunque()
    {
        Schermo s;
        s.add(1, u"P1"_s, u"PANE BIANCO"_s);
        s.add(2, u"P2"_s, u"OLIO PER PANE"_s);
        s.add(5001, u"ABCDEFGHIJKLMNOPQR"_s, u"PANETTONE  "_s, {}, true);
        s.add(5002, u"C2"_s, u"VECCHIO PANE"_s, {}, true);
        s.codice()->setText(u"123"_s);
        s.nome()->setText(u"PA"_s);
        QCOMPARE(s.codice()->text(), QString());
        // prodottiC's items marked, the code cut to its last 15
        QCOMPARE(s.voci(), QStringList({voce(u"P1"_s, u"PANE BIANCO"_s, 1), u"*DEFGHIJKLMNOPQR - PANETTONE     Eli."_s
                                                                                 + QString(100, u' ') + u"5001Eli."_s}));
        QCOMPARE(s.selezionata(), -1);

        // the mode changed with a product chosen: details cleared, the text kept, found anywhere
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.testo("TxtIdProdotto"), u"1"_s);
        QTest::mouseClick(s.w<QCheckBox>("CheckTipoRicerca"), Qt::LeftButton);
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.nome()->text(), u"PA"_s);
        const QStringList voci = s.voci();   // Prodotti first, then prodottiC
        QCOMPARE(voci.size(), 4);
        QVERIFY(!voci.at(1).startsWith(u'*') && voci.at(2).startsWith(u'*'));

        // Enter changes nothing: the product stays loaded, the focus here
        s.nome()->setFocus();
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QTest::keyClick(s.nome(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QCOMPARE(s.testo("TxtIdProdotto") + QString::number(s.voci().size()), u"14"_s);

        // the whole name deleted: no query, an empty list at design height
        s.codice()->setText(u"123"_s);
        s.nome()->selectAll();
        QTest::keyClick(s.nome(), Qt::Key_Backspace);
        QVERIFY(s.voci().isEmpty() && s.lista()->isVisible() && s.codice()->text().isEmpty());
        QCOMPARE(s.altezze(), px({1695, 390}));

        // the reset empties the list and txtCodice, keeps the name
        s.nome()->setText(u"PA"_s);
        s.codice()->setText(u"123"_s);
        s.form.AzzeraRicerca();
        QVERIFY(s.voci().isEmpty() && s.lista()->isVisible());
        QCOMPARE(s.codice()->text() + s.nome()->text(), u"PA"_s);
        QCOMPARE(s.altezze(), px({1695, 390}));
    }

    void cinquantaPiuUno()
    {
        Schermo s;
        s.prodotti(1, 60, u"VINO "_s);
        s.prodotti(5001, 3, u"VINO VECCHIO "_s, {}, true);
        s.prodotti(6001, 60, u"ACETO "_s, {}, true);
        s.nome()->setText(u"VINO"_s);
        const QStringList voci = s.voci();   // a full list still gets prodottiC's first match
        QCOMPARE(voci.size(), 51);
        QVERIFY(!voci.at(49).startsWith(u'*') && voci.at(50).startsWith(u'*'));
        s.nome()->setText(u"ACETO"_s);   // prodottiC alone stops at 50 too
        QCOMPARE(s.voci().size(), 50);
    }

    // Only the barcode hits of Prodotti and the name search grow the frame
    // and the list, up to 30 items; two names are 100 taller than the rule.
    void altezze_data()
    {
        QTest::addColumn<QString>("cerca");   // in txtCodice; empty: the name "SA"
        QTest::addColumn<int>("attivi");
        QTest::addColumn<int>("eliminati");
        QTest::addColumn<QSize>("twips");
        QTest::newRow("no barcode") << u"777"_s << 0 << 0 << QSize(1695, 390);
        QTest::newRow("1 barcode") << u"777"_s << 1 << 0 << QSize(1695, 390);
        QTest::newRow("2 barcodes") << u"777"_s << 2 << 0 << QSize(2095, 700);
        QTest::newRow("31 barcodes") << u"777"_s << 31 << 0 << QSize(7695, 5040);
        QTest::newRow("31 codes") << u"K"_s << 31 << 0 << QSize(1695, 390);
        QTest::newRow("2 barcodes of prodottiC") << u"777"_s << 0 << 2 << QSize(1695, 390);
        QTest::newRow("1 name") << QString() << 0 << 1 << QSize(1695, 390);
        QTest::newRow("2 names") << QString() << 1 << 1 << QSize(2195, 800);
        QTest::newRow("3 names") << QString() << 3 << 0 << QSize(2295, 855);
        QTest::newRow("31 names") << QString() << 25 << 6 << QSize(7695, 5040);
    }

    void altezze()
    {
        QFETCH(QString, cerca);
        QFETCH(int, attivi);
        QFETCH(int, eliminati);
        QFETCH(QSize, twips);
        Schermo s;
        s.prodotti(100, attivi, u"SALE "_s, u"777"_s);
        s.prodotti(5001, eliminati, u"SALE "_s, u"777"_s, true);
        cerca.isEmpty() ? s.nome()->setText(u"SA"_s) : s.cerca(cerca);
        QCOMPARE(s.voci().size(), attivi + eliminati);
        QCOMPARE(s.altezze(), px(twips));
        if (twips.width() > 1695) {   // the grown frame lies over the list of counted rows
            QWidget *frame = s.w<QWidget>("Frame3");
            const QRect sotto = frame->geometry() & s.w<QWidget>("lvwProdotti")->geometry();
            QWidget *sopra = s.form.centralWidget()->childAt(sotto.center());
            QVERIFY(!sotto.isEmpty() && (sopra == frame || frame->isAncestorOf(sopra)));
        }
        if (cerca.isEmpty())
            QCOMPARE(s.selezionata(), -1);   // the name search chooses not even a single item
        QCOMPARE(s.beeps, attivi + eliminati == 0 ? 1 : 0);
    }
};

INVENTARIO_TEST(TestRicercaNome)
#include "tst_ricercanome.moc"
