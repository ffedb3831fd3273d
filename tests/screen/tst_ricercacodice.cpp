// The search by code or barcode, driven from txtCodice; the keys of the search
// fields; quoted and accented texts; a lost connection and a failed statement.
#include "tst_ricerca.h"

using namespace Ricerca;

class TestRicercaCodice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codiceBarcodeEProdottiC()
    {
        Schermo s;
        s.add(1, u"AB1"_s, u"UNO"_s, u"X1"_s);
        s.add(2, u"AB2"_s, u"DUE"_s, u"X2"_s);
        s.add(4, u"ZZ"_s, u"QUATTRO"_s, u"AB"_s);   // its barcode is the text: no barcode query may run
        s.add(5001, u"C1"_s, u"VECCHIO"_s, u"999"_s, true);
        s.codice()->setFocus();
        QTest::keyClicks(s.codice(), u"AB"_s);   // typing alone searches nothing
        QVERIFY(s.voci().isEmpty());
        QTest::keyClick(s.codice(), Qt::Key_Return);
        QCOMPARE(s.voci(true), QStringList({voce(u"AB1"_s, u"UNO"_s, 1), voce(u"AB2"_s, u"DUE"_s, 2)}));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(s.selezionata(), -1);   // several hits: none chosen, the focus stays
        QCOMPARE(QApplication::focusWidget(), s.codice());

        // a barcode, then a whole code, found only in prodottiC: the one hit is chosen
        for (const QString &t : {u"999"_s, u"C1"_s}) {
            Modulo::ProdottoAttivo = true;
            s.cerca(t);
            QCOMPARE(s.voci(), QStringList(voce(u"C1"_s, u"VECCHIO"_s, 5001)));
            QVERIFY(!Modulo::ProdottoAttivo);
            QCOMPARE(s.selezionata(), 0);
            QCOMPARE(QApplication::focusWidget(), s.copie());
        }
        QCOMPARE(s.beeps, 0);

        // nothing found: an empty list, one beep, no box, ProdottoAttivo kept
        Modulo::ProdottoAttivo = true;
        s.cerca(u"C"_s);   // prodottiC matches whole codes only
        QVERIFY(s.voci().isEmpty() && s.lista()->isVisible() && Modulo::ProdottoAttivo);
        QCOMPARE(s.beeps, 1);
        QVERIFY(s.program.messages.isEmpty() && s.program.errors.isEmpty());
    }

    // The items' text. Up and Down move through them and load the product;
    // the focus, the text and the caret (at the end) stay in the field. F1
    // and F2 reach the search fields from any control, which select their
    // text on yellow; not while the product editor has them disabled.
    void vociETasti()
    {
        Schermo s;
        s.add(7, u"P1 "_s, u"  PASTA  CORTA "_s);
        s.add(8, u"P1234567890ABCDEFGHI"_s, u"LUNGO"_s);
        s.add(9, u"P12345678901234"_s, u"QUINDICI"_s);
        s.program.exec(u"INSERT INTO Prodotti (IDProdotto, CodInterno) VALUES (123456, 'PX')"_s);
        const QString cento(100, u' ');
        s.cerca(u"P"_s);
        QCOMPARE(s.voci(true), QStringList({u"             P1 - PASTA  CORTA"_s + cento + u"7"_s,
                                            u"             PX - "_s + cento + u"123456"_s,
                                            u"567890ABCDEFGHI - LUNGO"_s + cento + u"8"_s,
                                            u"P12345678901234 - QUINDICI"_s + cento + u"9"_s}));

        const QStringList voci = s.voci();
        for (auto [tasto, riga] : {std::pair(Qt::Key_Down, 0), {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 3},
                                   {Qt::Key_Down, 3}, {Qt::Key_Up, 2}, {Qt::Key_Up, 1}, {Qt::Key_Up, 0}, {Qt::Key_Up, 0}}) {
            s.codice()->setCursorPosition(0);
            QTest::keyClick(s.codice(), tasto);
            QCOMPARE(s.selezionata(), riga);
            QVERIFY(voci.at(riga).endsWith(s.testo("TxtIdProdotto")));
            QCOMPARE(QApplication::focusWidget(), s.codice());
            QCOMPARE(s.codice()->text(), u"P"_s);
            QCOMPARE(s.codice()->cursorPosition(), 1);
        }

        s.nome()->setText(u"XY"_s);
        s.codice()->setText(u"P"_s);
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        QCOMPARE(s.codice()->selectedText(), u"P"_s);
        QVERIFY(s.codice()->styleSheet().contains("rgb(255, 255, 128)"_L1));
        QTest::keyClick(s.lista(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QCOMPARE(s.nome()->selectedText(), u"XY"_s);
        QVERIFY(s.codice()->styleSheet().contains("rgb(255, 255, 255)"_L1));

        s.nome()->setEnabled(false);
        s.codice()->setEnabled(false);
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_F1);
        QTest::keyClick(s.copie(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), s.copie());
        s.form.txtCodice_KeyUp(13, Qt::NoModifier);
        QVERIFY(s.voci().isEmpty());
    }

    // Quotes and accents are text to look for, in either field and table.
    void testiStrani()
    {
        Schermo s;
        s.add(1, u"A'B"_s, u"L'ACQUA"_s);
        s.add(2, u"CAFF\u00C8 \u00E0"_s, u"TRE"_s);
        s.add(5001, u"C'1"_s, u"VECCHIO"_s, u"56'78"_s, true);
        for (auto [testo, id] : {std::pair(u"A'B"_s, 1), {u"CAFF\u00C8 \u00E0"_s, 2}, {u"56'78"_s, 5001}}) {
            s.cerca(testo);
            QCOMPARE(s.voci().size(), 1);
            QCOMPARE(ProdottiListModel::idVoce(s.voci().at(0)), double(id));
        }
        s.nome()->setText(u"L'A"_s);
        QCOMPARE(s.voci(), QStringList(voce(u"A'B"_s, u"L'ACQUA"_s, 1)));
        QVERIFY(s.program.errors.isEmpty() && s.program.messages.isEmpty());
    }

    // Without a connection each search and each product chosen shows the box,
    // leaving the list or the details empty; a failed statement goes to the
    // error form, and the screen is usable again.
    void senzaConnessioneOErrore()
    {
        Schermo s;
        s.prodotti(1, 2, u"ARTICOLO "_s);
        s.cerca(u"K"_s);
        QTest::keyClick(s.codice(), Qt::Key_Down);
        Modulo::ConnPrincipale().close();
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.testo("txtDescrizione1") + s.testo("txtQtaReale"), u"0"_s);
        s.cerca(u"K"_s);
        s.nome()->setText(u"AR"_s);
        s.nome()->clear();   // an empty name asks nothing of the database
        s.form.AzzeraRicerca();
        QCOMPARE(s.program.messages.size(), 4);
        for (const MsgBox::Call &m : s.program.messages)
            QVERIFY(m.prompt == "DataBase SQL non Connesso Correttamente!!"_L1 && m.title == "Attenzione!!"_L1);
        QVERIFY(s.voci().isEmpty() && s.lista()->isVisible() && s.program.errors.isEmpty());

        s.program.connect();
        s.program.exec(u"DROP TABLE prodottiC"_s);
        s.cerca(u"NO"_s);
        QCOMPARE(s.program.errors.size(), 1);
        QVERIFY(s.program.errors.at(0).description.contains("prodottiC"_L1));
        QVERIFY(s.lista()->isVisible() && s.form.isEnabled());
    }
};

INVENTARIO_TEST(TestRicercaCodice)
#include "tst_ricercacodice.moc"
