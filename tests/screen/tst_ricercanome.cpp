// The search by name as the operator types, CheckTipoRicerca, the cap of
// the list and its growth, and the reset of the search.
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
        s.add(5001, u"C1"_s, u"PANETTONE"_s, {}, true);
        s.add(5002, u"C2"_s, u"VECCHIO PANE"_s, {}, true);
        QVERIFY(!s.w<QCheckBox>("CheckTipoRicerca")->isChecked());

        s.codice()->setText(u"123"_s);
        s.cercaNome(u"PA"_s);   // every key searches again
        QCOMPARE(s.codice()->text(), QString());
        QCOMPARE(s.voci(), QStringList({voce(u"P1"_s, u"PANE BIANCO"_s, 1),
                                        u"*             C1 - PANETTONE     Eli."_s + QString(100, u' ') + u"5001Eli."_s}));
        QCOMPARE(s.selezionata(), -1);

        // the mode changed with a product chosen: details cleared, same text
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
        QCOMPARE(s.testo("TxtIdProdotto"), u"1"_s);
        QCOMPARE(s.voci().size(), 4);

        // deleting the whole name: no query, empty list at design height
        s.codice()->setText(u"123"_s);
        s.nome()->selectAll();
        QTest::keyClick(s.nome(), Qt::Key_Backspace);
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.codice()->text(), QString());
        QVERIFY(s.lista()->isVisible());
    }

    void cinquantaPiuUno()
    {
        Schermo s;
        s.prodotti(1, 60, u"VINO "_s);
        s.prodotti(5001, 3, u"VINO VECCHIO "_s, {}, true);
        s.prodotti(6001, 60, u"ACETO "_s, {}, true);
        s.cercaNome(u"VINO"_s);
        QStringList voci = s.voci();
        QCOMPARE(voci.size(), 51);
        QVERIFY(!voci.at(49).startsWith(u'*') && voci.at(50).startsWith(u'*'));
        QCOMPARE(s.altezze(), QSize(px(7695), px(5040)));
        s.nome()->setText(u"ACETO"_s);   // prodottiC alone stops at 50 too
        QCOMPARE(s.voci().size(), 50);
    }

    void altezze_data()
    {
        QTest::addColumn<int>("prodotti");
        QTest::addColumn<int>("eliminati");
        QTest::addColumn<QSize>("twips");
        QTest::newRow("0") << 0 << 0 << QSize(1695, 390);
        QTest::newRow("1") << 0 << 1 << QSize(1695, 390);
        QTest::newRow("2") << 1 << 1 << QSize(2195, 800);   // 100 taller than the rule
        QTest::newRow("3") << 3 << 0 << QSize(2295, 855);
        QTest::newRow("30") << 30 << 0 << QSize(7695, 5040);
        QTest::newRow("31") << 25 << 6 << QSize(7695, 5040);
    }

    void altezze()
    {
        QFETCH(int, prodotti);
        QFETCH(int, eliminati);
        QFETCH(QSize, twips);
        Schermo s;
        s.prodotti(1, prodotti, u"SALE "_s);
        s.prodotti(5001, eliminati, u"SALE "_s, {}, true);
        s.cercaNome(u"SA"_s);
        QCOMPARE(s.voci().size(), prodotti + eliminati);
        QCOMPARE(s.altezze(), QSize(px(twips.width()), px(twips.height())));
        QCOMPARE(s.selezionata(), -1);   // not even a single item is chosen
    }

    void voceMarcataEdApostrofi()
    {
        Schermo s;
        s.add(5001, u" C00001 "_s, u" L'ACQUA "_s, {}, true);
        s.add(5002, u"ABCDEFGHIJKLMNOPQR"_s, u"ACQUA LUNGA"_s, {}, true);
        s.add(3, u"X3"_s, u"CAFF\u00C8 \u00E0 LA CR\u00C8ME"_s);
        s.w<QCheckBox>("CheckTipoRicerca")->setChecked(true);
        s.cercaNome(u"ACQUA"_s);
        const QString cento(100, u' ');
        QCOMPARE(s.voci(true), QStringList({u"*         C00001 - L'ACQUA     Eli."_s + cento + u"5001Eli."_s,
                                            u"*DEFGHIJKLMNOPQR - ACQUA LUNGA     Eli."_s + cento + u"5002Eli."_s}));
        s.nome()->clear();
        s.cercaNome(u"L'A"_s);
        QCOMPARE(s.voci().size(), 1);
        s.nome()->clear();
        s.cercaNome(u"\u00E0 LA CR\u00C8"_s);
        QCOMPARE(s.voci().size(), 1);
        QVERIFY(s.program.errors.isEmpty());
    }

    void testiStrani_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("quotes") << u"''x'"_s;
        QTest::newRow("percent") << u"%"_s;
        QTest::newRow("underscore") << u"_"_s;
        QTest::newRow("500 characters") << QString(500, u'Q');
        QTest::newRow("statement") << u"x'; DELETE FROM Prodotti; --"_s;
    }

    void testiStrani()
    {
        QFETCH(QString, testo);
        Schermo s;
        s.prodotti(1, 3, u"ARTICOLO "_s);
        s.nome()->setText(testo);
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
        QCOMPARE(s.program.scalar(u"SELECT count(*) FROM Prodotti"_s).toInt(), 3);
    }

    void azzeraRicercaESenzaConnessione()
    {
        Schermo s;
        s.prodotti(1, 5, u"ARTICOLO "_s);
        s.cercaNome(u"ART"_s);
        s.codice()->setText(u"123"_s);
        s.form.AzzeraRicerca();
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.codice()->text(), QString());
        QCOMPARE(s.nome()->text(), u"ART"_s);
        QCOMPARE(s.altezze(), QSize(px(1695), px(390)));
        QVERIFY(s.lista()->isVisible());
        s.add(0, u"ZERO"_s, u"NULLA"_s);   // a product with id 0 would be listed
        s.form.AzzeraRicerca();
        QCOMPARE(s.voci(), QStringList(voce(u"ZERO"_s, u"NULLA"_s, 0)));

        Modulo::ConnPrincipale().close();
        s.form.AzzeraRicerca();
        s.nome()->setText(u"AR"_s);
        s.nome()->clear();   // an empty text asks nothing of the database
        QCOMPARE(s.program.messages.size(), 2);
        QCOMPARE(s.program.messages.at(1).prompt, u"DataBase SQL non Connesso Correttamente!!"_s);
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.program.errors.isEmpty());
    }
};

INVENTARIO_TEST(TestRicercaNome)
#include "tst_ricercanome.moc"
