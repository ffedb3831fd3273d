// The search by code or barcode, driven from txtCodice.
#include "tst_ricerca.h"

#include <QKeyEvent>
#include <QWindow>

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

        // typing alone searches nothing
        s.codice()->setFocus();
        Schermo::scrivi(s.codice(), u"AB"_s);
        QVERIFY(s.voci().isEmpty());

        QTest::keyClick(s.codice(), Qt::Key_Return);
        QCOMPARE(s.voci(true), QStringList({voce(u"AB1"_s, u"UNO"_s, 1), voce(u"AB2"_s, u"DUE"_s, 2)}));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(s.selezionata(), -1);
        QCOMPARE(QApplication::focusWidget(), s.codice());

        // a barcode only in prodottiC, listed without the name search's marks
        s.cerca(u"999"_s);
        QCOMPARE(s.voci(), QStringList(voce(u"C1"_s, u"VECCHIO"_s, 5001)));
        QVERIFY(!Modulo::ProdottoAttivo);
        Modulo::ProdottoAttivo = true;
        s.cerca(u"C1"_s);   // the whole code of prodottiC, the last query
        QCOMPARE(s.voci().size(), 1);
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(s.beeps, 0);

        // nothing found: an empty list, one beep, no box, ProdottoAttivo kept
        for (bool before : {true, false}) {
            Modulo::ProdottoAttivo = before;
            s.cerca(u"C"_s);   // prodottiC matches whole codes only
            QVERIFY(s.voci().isEmpty());
            QVERIFY(s.lista()->isVisible());
            QCOMPARE(Modulo::ProdottoAttivo, before);
        }
        QCOMPARE(s.beeps, 2);
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.program.errors.isEmpty());
    }

    void unSoloRisultatoPortaAllaQuantita()
    {
        Schermo s;
        s.program.addProduct(10, u"P10"_s, u"PASTA"_s, u"8001"_s, 1234.5, 0.5, 12.5);
        s.add(11, u"P11"_s, u"RISO"_s, u"8002"_s);
        s.copie()->setText(u"1"_s);
        s.cerca(u"8001"_s);
        QCOMPARE(s.selezionata(), 0);
        QCOMPARE(s.testo("TxtIdProdotto"), u"10"_s);
        QCOMPARE(QApplication::focusWidget(), s.copie());
        QCOMPARE(s.copie()->selectedText(), u"1"_s);
        QVERIFY(s.copie()->styleSheet().contains("rgb(255, 128, 0)"_L1));
        QTest::keyClick(s.copie(), Qt::Key_4);   // replaces the selected "1"
        QCOMPARE(s.copie()->text(), u"4"_s);
        QCOMPARE(s.beeps, 0);
    }

    void altezze_data()
    {
        QTest::addColumn<QString>("cerca");
        QTest::addColumn<bool>("eliminati");
        QTest::addColumn<int>("prodotti");
        QTest::addColumn<QSize>("twips");
        // only the barcode hits of Prodotti grow the frame and the list
        for (int n : {0, 1, 2, 30, 31}) {
            const int m = n > 1 ? std::min(n, 30) : 0;
            QTest::addRow("barcode %d", n) << u"777"_s << false << n << QSize(1695 + 200 * m, 390 + 155 * m);
            QTest::addRow("code %d", n) << u"K"_s << false << n << QSize(1695, 390);
            QTest::addRow("prodottiC %d", n) << u"777"_s << true << n << QSize(1695, 390);
        }
    }

    void altezze()
    {
        QFETCH(QString, cerca);
        QFETCH(bool, eliminati);
        QFETCH(int, prodotti);
        QFETCH(QSize, twips);
        Schermo s;
        s.prodotti(100, prodotti, u"ARTICOLO "_s, u"777"_s, eliminati);
        s.cerca(cerca);
        QCOMPARE(s.voci().size(), prodotti);
        QCOMPARE(s.altezze(), QSize(px(twips.width()), px(twips.height())));
        if (twips.width() > 1695)   // the grown frame lies over the list of counted rows
            QVERIFY(s.w<QGroupBox>("Frame3")->geometry().bottom() > s.w<QWidget>("lvwProdotti")->geometry().top());
        QCOMPARE(s.beeps, prodotti == 0 ? 1 : 0);
    }

    void frecce()
    {
        Schermo s;
        s.prodotti(1, 3, u"ARTICOLO "_s);
        s.cerca(u"NO"_s);   // an empty list: nothing selected, the caret still to the end
        s.codice()->setCursorPosition(0);
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.selezionata(), -1);
        QCOMPARE(s.codice()->cursorPosition(), 2);

        s.cerca(u"K"_s);
        const QStringList voci = s.voci();
        const int atteso[] = {0, 1, 2, 2, 1, 0, 0};
        const Qt::Key tasti[] = {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up};
        for (int i = 0; i < 7; ++i) {
            s.codice()->setCursorPosition(0);
            QTest::keyClick(s.codice(), tasti[i]);
            QCOMPARE(s.selezionata(), atteso[i]);
            // each move loads the product; the focus, text and caret stay
            QVERIFY(voci.at(atteso[i]).endsWith(s.testo("TxtIdProdotto")));
            QCOMPARE(QApplication::focusWidget(), s.codice());
            QCOMPARE(s.codice()->text(), u"K"_s);
            QCOMPARE(s.codice()->cursorPosition(), 1);
        }
    }

    void tastiFunzioneESaltaKeyUp()
    {
        Schermo s;
        s.add(1, u"P1"_s, u"UNO"_s, u"123"_s);
        s.nome()->setText(u"XY"_s);
        s.codice()->setText(u"123"_s);
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        QCOMPARE(s.codice()->selectedText(), u"123"_s);
        QVERIFY(s.codice()->styleSheet().contains("rgb(255, 255, 128)"_L1));
        QTest::keyClick(s.lista(), Qt::Key_F2);   // whichever control gets the key
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QCOMPARE(s.nome()->selectedText(), u"XY"_s);
        QVERIFY(s.codice()->styleSheet().contains("rgb(255, 255, 255)"_L1));
        s.codice()->setFocus();

        // the Enter that closed the product editor is ignored, the next one searches
        Modulo::SaltaKeyUpCodice = true;
        QTest::keyClick(s.codice(), Qt::Key_Return);
        QVERIFY(!Modulo::SaltaKeyUpCodice);
        QVERIFY(s.voci().isEmpty());
        QTest::keyClick(s.codice(), Qt::Key_Return);
        QCOMPARE(s.voci().size(), 1);

        // while the editor is open both fields are disabled
        s.nome()->setEnabled(false);
        s.codice()->setEnabled(false);
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_F1);
        QTest::keyClick(s.copie(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), s.copie());
        s.codice()->setText(u"NO"_s);
        s.form.txtCodice_KeyUp(13, Qt::NoModifier);
        QCOMPARE(s.voci().size(), 1);
        QCOMPARE(s.beeps, 0);
    }

    void testoDelleVoci()
    {
        Schermo s;
        s.add(7, u"  P1 "_s, u"  PASTA  CORTA "_s);
        s.add(8, u"P1234567890ABCDEFGHI"_s, u"LUNGO"_s);
        s.add(9, u"P12345678901234"_s, u"QUINDICI"_s);
        s.program.exec(u"INSERT INTO Prodotti (IDProdotto, CodInterno) VALUES (123456, 'PX')"_s);
        const QString cento(100, u' ');
        s.cerca(QString());   // Enter on the empty field lists every code
        QCOMPARE(s.voci(true), QStringList({u"             P1 - PASTA  CORTA"_s + cento + u"7"_s,
                                            u"             PX - "_s + cento + u"123456"_s,
                                            u"567890ABCDEFGHI - LUNGO"_s + cento + u"8"_s,
                                            u"P12345678901234 - QUINDICI"_s + cento + u"9"_s}));
    }

    void invioACampoVuotoElencaTutto()
    {
        Schermo s(Fixture::Program::Demo);
        s.cerca(QString());
        QCOMPARE(s.voci().size(), s.program.scalar(u"SELECT count(CodInterno) FROM Prodotti"_s).toInt());
        QVERIFY(s.voci().size() > 51);
        QCOMPARE(s.altezze(), QSize(px(1695), px(390)));
    }

    void testiStrani_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("id");
        QTest::newRow("quoted code") << u"A'B"_s << 1;
        QTest::newRow("quoted barcode") << u"12'34"_s << 2;
        QTest::newRow("quoted barcode of prodottiC") << u"56'78"_s << 5001;
        QTest::newRow("accents") << u"CAFF\u00C8 \u00E0"_s << 3;
        QTest::newRow("quote") << u"'"_s << 0;
        QTest::newRow("wildcards") << u"%_%'%"_s << -1;
        QTest::newRow("500 characters") << QString(500, u'9') << 0;
        QTest::newRow("statement") << u"x'; DROP TABLE Prodotti; --"_s << 0;
    }

    void testiStrani()
    {
        QFETCH(QString, testo);
        QFETCH(int, id);
        Schermo s;
        s.add(1, u"A'B"_s, u"UNO"_s);
        s.add(2, u"K2"_s, u"DUE"_s, u"12'34"_s);
        s.add(3, u"CAFF\u00C8 \u00E0"_s, u"TRE"_s);
        s.add(5001, u"C'1"_s, u"VECCHIO"_s, u"56'78"_s, true);
        s.cerca(testo);
        QCOMPARE(s.codice()->text(), testo);
        if (id > 0)
            QCOMPARE(s.voci().join(QString()).right(QString::number(id).size()), QString::number(id));
        else if (id == 0)
            QVERIFY(s.voci().isEmpty());
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
        QCOMPARE(s.program.scalar(u"SELECT count(*) FROM Prodotti"_s).toInt(), 3);
    }

    void senzaConnessioneOErrore()
    {
        Schermo s;
        s.add(1, u"P1"_s, u"UNO"_s, u"123"_s);
        Modulo::ConnPrincipale().close();
        s.cerca(u"123"_s);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, u"DataBase SQL non Connesso Correttamente!!"_s);
        QCOMPARE(s.program.messages.at(0).title, u"Attenzione!!"_s);
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());

        // a failed query goes to the error form; the list is shown again
        s.program.connect();
        s.program.exec(u"DROP TABLE prodottiC"_s);
        s.cerca(u"NO"_s);
        QCOMPARE(s.program.errors.size(), 1);
        QVERIFY(s.program.errors.at(0).description.contains("prodottiC"_L1));
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.form.isEnabled());
        QCOMPARE(s.beeps, 0);
    }

    // A reader types the next scan while the last one is looked up: every
    // key lands, in order, in the field that has the focus afterwards.
    void scansioneARaffica()
    {
        Schermo s;
        s.add(1, u"P1"_s, u"UNO"_s, u"8001234567890"_s);
        s.copie()->setText(u"1"_s);
        s.codice()->setFocus();
        auto tasto = [&s](int key, const QString &text) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(s.form.windowHandle(), new QKeyEvent(type, key, Qt::NoModifier, text));
        };
        for (QChar c : u"8001234567890"_s)
            tasto(Qt::Key_0 + c.digitValue(), QString(c));
        tasto(Qt::Key_Return, u"\r"_s);
        tasto(Qt::Key_3, u"3"_s);
        tasto(Qt::Key_5, u"5"_s);
        QTRY_COMPARE(s.copie()->text(), u"35"_s);
        QCOMPARE(s.codice()->text(), u"8001234567890"_s);
        QCOMPARE(s.testo("TxtIdProdotto"), u"1"_s);
    }
};

INVENTARIO_TEST(TestRicercaCodice)
#include "tst_ricercacodice.moc"
