// The search by name: txtNome as the operator types, CheckTipoRicerca, the
// cap of the list, its growth, and the reset of the search.
#include "tst_ricerca.h"
#include "frame/modulo.h"

using namespace Ricerca;

namespace {
const QString kCento(100, QLatin1Char(' '));
}

class TestRicercaNome : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inizioOppureOvunque()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("PANE BIANCO"), QString(), 1, 1, 0);
        s.program.addProduct(2, QStringLiteral("P2"), QStringLiteral("OLIO PER PANE"), QString(), 1, 1, 0);
        s.program.addProduct(3, QStringLiteral("P3"), QStringLiteral("LATTE"), QString(), 1, 1, 0);
        s.program.addProduct(5001, QStringLiteral("C1"), QStringLiteral("PANETTONE"), QString(), 1, 1, 0, true);
        s.program.addProduct(5002, QStringLiteral("C2"), QStringLiteral("VECCHIO PANE"), QString(), 1, 1, 0, true);
        QVERIFY(!s.tipo()->isChecked());

        // every key stroke searches again
        s.cercaNome(QStringLiteral("P"));
        QCOMPARE(s.voci().size(), 2);
        Schermo::scrivi(s.nome(), QStringLiteral("A"));
        QCOMPARE(s.voci().size(), 2);
        Schermo::scrivi(s.nome(), QStringLiteral("N"));
        QCOMPARE(s.voci(), QStringList({voce(QStringLiteral("P1"), QStringLiteral("PANE BIANCO"), 1),
                                        QStringLiteral("*             C1 - PANETTONE     Eli.") + kCento
                                            + QStringLiteral("5001Eli.")}));
        QCOMPARE(s.selezionata(), -1);

        // a product chosen, then the mode changed: details cleared, same text
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("1"));
        QTest::mouseClick(s.tipo(), Qt::LeftButton);
        QVERIFY(s.tipo()->isChecked());
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.nome()->text(), QStringLiteral("PAN"));
        QStringList voci = s.voci();
        QCOMPARE(voci.size(), 4);
        // Prodotti first, then the marked items of prodottiC
        QVERIFY(!voci.at(0).startsWith(QLatin1Char('*')) && !voci.at(1).startsWith(QLatin1Char('*')));
        QVERIFY(voci.at(2).startsWith(QLatin1Char('*')) && voci.at(3).startsWith(QLatin1Char('*')));

        QTest::mouseClick(s.tipo(), Qt::LeftButton);
        QCOMPARE(s.voci().size(), 2);
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
    }

    void cinquantaPiuUno()
    {
        Schermo s;
        s.prodotti(1, 60, QStringLiteral("VINO "), QString());
        s.prodotti(5001, 3, QStringLiteral("VINO VECCHIO "), QString(), true);
        s.cercaNome(QStringLiteral("VINO"));
        const QStringList voci = s.voci();
        QCOMPARE(voci.size(), 51);
        for (int i = 0; i < 50; ++i)
            QVERIFY(!voci.at(i).startsWith(QLatin1Char('*')));
        QVERIFY(voci.at(50).startsWith(QLatin1Char('*')));
        QVERIFY(voci.at(50).endsWith(QLatin1String("Eli.")));
        QCOMPARE(s.altezzaFrame(), px(7695));
        QCOMPARE(s.altezzaLista(), px(5040));

        // prodottiC alone stops at 50 too
        s.prodotti(6001, 60, QStringLiteral("ACETO "), QString(), true);
        s.nome()->clear();
        s.cercaNome(QStringLiteral("ACETO"));
        QCOMPARE(s.voci().size(), 50);
    }

    void altezze_data()
    {
        QTest::addColumn<int>("prodotti");
        QTest::addColumn<int>("eliminati");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("lista");
        QTest::newRow("0") << 0 << 0 << 1695 << 390;
        QTest::newRow("1") << 1 << 0 << 1695 << 390;
        QTest::newRow("1 eliminated") << 0 << 1 << 1695 << 390;
        // two items: 100 taller than the general rule
        QTest::newRow("2") << 2 << 0 << 2195 << 800;
        QTest::newRow("1 + 1 eliminated") << 1 << 1 << 2195 << 800;
        QTest::newRow("3") << 3 << 0 << 2295 << 855;
        QTest::newRow("30") << 30 << 0 << 7695 << 5040;
        QTest::newRow("31") << 31 << 0 << 7695 << 5040;
        QTest::newRow("25 + 6 eliminated") << 25 << 6 << 7695 << 5040;
    }

    void altezze()
    {
        QFETCH(int, prodotti);
        QFETCH(int, eliminati);
        QFETCH(int, frame);
        QFETCH(int, lista);
        Schermo s;
        s.prodotti(1, prodotti, QStringLiteral("SALE "), QString());
        s.prodotti(5001, eliminati, QStringLiteral("SALE "), QString(), true);
        s.cercaNome(QStringLiteral("SA"));
        QCOMPARE(s.voci().size(), prodotti + eliminati);
        QCOMPARE(s.altezzaFrame(), px(frame));
        QCOMPARE(s.altezzaLista(), px(lista));
        QVERIFY(s.lista()->isVisible());
        QCOMPARE(s.selezionata(), -1);
    }

    void voceMarcata()
    {
        Schermo s;
        s.program.addProduct(5001, QStringLiteral(" C00001 "), QStringLiteral(" PASTA VECCHIA "), QString(), 1, 1, 0, true);
        s.program.addProduct(5002, QStringLiteral("ABCDEFGHIJKLMNOPQR"), QStringLiteral("PASTA LUNGA"), QString(), 1, 1, 0, true);
        s.tipo()->setChecked(true);
        s.cercaNome(QStringLiteral("PASTA"));
        QStringList voci = s.voci();
        voci.sort();
        QCOMPARE(voci, QStringList({QStringLiteral("*         C00001 - PASTA VECCHIA     Eli.") + kCento + QStringLiteral("5001Eli."),
                                    QStringLiteral("*DEFGHIJKLMNOPQR - PASTA LUNGA     Eli.") + kCento + QStringLiteral("5002Eli.")}));
        // the id is read back from the tail, before the mark
        QCOMPARE(ProdottiListModel::idVoce(voci.at(0)), 5001.0);
    }

    void unRisultato()
    {
        Schermo s;
        s.program.addProduct(9, QStringLiteral("P9"), QStringLiteral("ZUCCHERO"), QString(), 1, 1, 0);
        s.cercaNome(QStringLiteral("ZUC"));
        QCOMPARE(s.voci().size(), 1);
        QCOMPARE(s.selezionata(), -1);
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.altezzaLista(), px(390));

        s.nome()->setCursorPosition(0);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.selezionata(), 0);
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("9"));
        QCOMPARE(s.nome()->cursorPosition(), 3);
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QTest::keyClick(s.nome(), Qt::Key_Up);
        QCOMPARE(s.selezionata(), 0);
        QCOMPARE(s.nome()->text(), QStringLiteral("ZUC"));

        // Enter changes nothing: the product is loaded, the focus stays
        QTest::keyClick(s.nome(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("9"));
        QCOMPARE(s.voci().size(), 1);
        QCOMPARE(s.selezionata(), 0);
    }

    void nomeECodiceSiEscludono()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("MIELE"), QStringLiteral("555"), 1, 1, 0);
        s.cerca(QStringLiteral("555"));
        QCOMPARE(s.voci().size(), 1);

        // typing a name empties the code field
        s.cercaNome(QStringLiteral("MI"));
        QCOMPARE(s.codice()->text(), QString());
        QCOMPARE(s.voci().size(), 1);

        // deleting the whole name: no query, empty list at design height
        s.prodotti(10, 5, QStringLiteral("MIELE "), QString());
        s.nome()->setText(QStringLiteral("MIELE"));
        QCOMPARE(s.voci().size(), 6);
        s.codice()->setText(QStringLiteral("X"));
        s.nome()->selectAll();
        QTest::keyClick(s.nome(), Qt::Key_Backspace);
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.codice()->text(), QString());
        QCOMPARE(s.altezzaFrame(), px(1695));
        QCOMPARE(s.altezzaLista(), px(390));
        QVERIFY(s.lista()->isVisible());

        // a code search leaves the name as it is
        s.nome()->setText(QStringLiteral("MIELE"));
        s.cerca(QStringLiteral("555"));
        QCOMPARE(s.nome()->text(), QStringLiteral("MIELE"));
    }

    void apostrofoEAccenti()
    {
        Schermo s(Fixture::Program::Demo);
        s.cercaNome(QStringLiteral("CAFFE' M"));
        const QStringList voci = s.voci();
        QVERIFY(!voci.isEmpty());
        for (const QString &v : voci)
            QVERIFY2(v.contains(QLatin1String("CAFFE' M")), qPrintable(v));
        QVERIFY(s.program.errors.isEmpty());

        s.program.addProduct(9001, QStringLiteral("X1"), QStringLiteral("CAFF\u00C8 \u00E0 LA CR\u00C8ME"), QString(), 1, 1, 0);
        s.nome()->clear();
        s.cercaNome(QStringLiteral("CAFF\u00C8 \u00E0"));
        QCOMPARE(s.voci().size(), 1);
        QVERIFY(s.voci().at(0).endsWith(QLatin1String("9001")));
    }

    void testiStrani_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("quotes") << QStringLiteral("''x'");
        QTest::newRow("percent") << QStringLiteral("%");
        QTest::newRow("underscore") << QStringLiteral("_");
        QTest::newRow("500 characters") << QString(500, QLatin1Char('Q'));
        QTest::newRow("statement") << QStringLiteral("x'; DELETE FROM Prodotti; --");
    }

    void testiStrani()
    {
        QFETCH(QString, testo);
        Schermo s;
        s.prodotti(1, 3, QStringLiteral("ARTICOLO "), QString());
        s.nome()->setText(testo);
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.lista()->isVisible());
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti")).toInt(), 3);
    }

    void senzaConnessione()
    {
        Schermo s;
        s.prodotti(1, 3, QStringLiteral("ARTICOLO "), QString());
        Modulo::ConnPrincipale().close();
        s.nome()->setText(QStringLiteral("ART"));
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.program.errors.isEmpty());
        // an empty text asks nothing of the database
        s.nome()->clear();
        QCOMPARE(s.program.messages.size(), 1);
    }

    void azzeraRicerca()
    {
        Schermo s;
        s.prodotti(1, 5, QStringLiteral("ARTICOLO "), QString());
        s.cercaNome(QStringLiteral("ART"));
        s.codice()->setText(QStringLiteral("123"));
        QVERIFY(s.altezzaFrame() > px(1695));

        s.form.AzzeraRicerca();
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.codice()->text(), QString());
        QCOMPARE(s.nome()->text(), QStringLiteral("ART"));
        QCOMPARE(s.altezzaFrame(), px(1695));
        QCOMPARE(s.altezzaLista(), px(390));
        QVERIFY(s.lista()->isVisible());

        // a product with id 0 would be listed
        s.program.addProduct(0, QStringLiteral("ZERO"), QStringLiteral("NULLA"), QString(), 1, 1, 0);
        s.form.AzzeraRicerca();
        QCOMPARE(s.voci(), QStringList(voce(QStringLiteral("ZERO"), QStringLiteral("NULLA"), 0)));

        Modulo::ConnPrincipale().close();
        s.form.AzzeraRicerca();
        QCOMPARE(s.program.messages.size(), 1);
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.program.errors.isEmpty());
    }
};

INVENTARIO_TEST(TestRicercaNome)
#include "tst_ricercanome.moc"
