// The search by code or barcode, driven from txtCodice as the operator and
// the barcode reader do.
#include "tst_ricerca.h"
#include "frame/modulo.h"

#include <QKeyEvent>
#include <QWindow>

using namespace Ricerca;

class TestRicercaCodice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codiceCheIniziaPiuCodici()
    {
        Schermo s;
        QVERIFY(s.attivo);
        s.program.addProduct(1, QStringLiteral("AB1"), QStringLiteral("UNO"), QStringLiteral("X1"), 1, 1, 0);
        s.program.addProduct(2, QStringLiteral("AB2"), QStringLiteral("DUE"), QStringLiteral("X2"), 1, 1, 0);
        s.program.addProduct(3, QStringLiteral("AB3"), QStringLiteral("TRE"), QStringLiteral("X3"), 1, 1, 0);
        // its barcode is the search text: the barcode query must not run
        s.program.addProduct(4, QStringLiteral("ZZ"), QStringLiteral("QUATTRO"), QStringLiteral("AB"), 1, 1, 0);
        s.program.addProduct(5001, QStringLiteral("AB9"), QStringLiteral("VECCHIO"), QStringLiteral("X9"), 1, 1, 0, true);

        s.cerca(QStringLiteral("AB"));
        QStringList voci = s.voci();
        voci.sort();
        QCOMPARE(voci, QStringList({voce(QStringLiteral("AB1"), QStringLiteral("UNO"), 1),
                                    voce(QStringLiteral("AB2"), QStringLiteral("DUE"), 2),
                                    voce(QStringLiteral("AB3"), QStringLiteral("TRE"), 3)}));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(s.selezionata(), -1);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.codice()->text(), QStringLiteral("AB"));
        QVERIFY(s.lista()->isVisible());
        QCOMPARE(s.altezzaFrame(), px(1695));
        QCOMPARE(s.altezzaLista(), px(390));
        QCOMPARE(s.beeps, 0);
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.program.errors.isEmpty());
    }

    void ricercaInProdottiC()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("NUOVO"), QStringLiteral("111"), 1, 1, 0);
        s.program.addProduct(5001, QStringLiteral("C1"), QStringLiteral("VECCHIO"), QStringLiteral("999"), 2, 1, 3, true);
        Modulo::ProdottoAttivo = true;

        // barcode only in prodottiC: listed without the marks of the name search
        s.cerca(QStringLiteral("999"));
        QCOMPARE(s.voci(), QStringList(voce(QStringLiteral("C1"), QStringLiteral("VECCHIO"), 5001)));
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("0"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("5001"));

        // the whole code of prodottiC, last of the four queries
        Modulo::ProdottoAttivo = true;
        s.cerca(QStringLiteral("C1"));
        QCOMPARE(s.voci().size(), 1);
        QVERIFY(!Modulo::ProdottoAttivo);

        // prodottiC matches whole codes only
        s.cerca(QStringLiteral("C"));
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.beeps, 1);
        QVERIFY(s.program.errors.isEmpty());
    }

    void nienteTrovato()
    {
        Schermo s;
        for (int i = 0; i < 3; ++i)
            s.program.addProduct(10 + i, QStringLiteral("K%1").arg(i), QStringLiteral("X"), QStringLiteral("777"), 1, 1, 0);
        s.cerca(QStringLiteral("777"));   // grows the frame first
        QCOMPARE(s.voci().size(), 3);
        QCOMPARE(s.beeps, 0);

        for (bool before : {true, false}) {
            Modulo::ProdottoAttivo = before;
            const int beeps = s.beeps;
            s.cerca(QStringLiteral("NESSUNO"));
            QVERIFY(s.voci().isEmpty());
            QVERIFY(s.lista()->isVisible());
            QCOMPARE(Modulo::ProdottoAttivo, before);
            QCOMPARE(s.beeps, beeps + 1);
            QCOMPARE(s.altezzaFrame(), px(1695));
            QCOMPARE(s.altezzaLista(), px(390));
            QCOMPARE(QApplication::focusWidget(), s.codice());
        }
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.program.errors.isEmpty());
    }

    void unSoloRisultatoPortaAllaQuantita()
    {
        Schermo s;
        s.program.addProduct(10, QStringLiteral("P10"), QStringLiteral("PASTA"), QStringLiteral("8001"), 1234.5, 0.5, 12.5);
        s.program.addProduct(11, QStringLiteral("P11"), QStringLiteral("RISO"), QStringLiteral("8002"), 1, 1, 0);
        s.copie()->setText(QStringLiteral("1"));
        s.cerca(QStringLiteral("8001"));
        QCOMPARE(s.voci().size(), 1);
        QCOMPARE(s.selezionata(), 0);
        QCOMPARE(QApplication::focusWidget(), s.copie());
        QCOMPARE(s.copie()->selectedText(), QStringLiteral("1"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("10"));
        QCOMPARE(s.testo("txtPrVe1"), QStringLiteral("1.234,50 \u20AC"));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 10.0);
        QCOMPARE(s.altezzaFrame(), px(1695));
        QCOMPARE(s.beeps, 0);

        // the digit typed next replaces the selected "1"
        QTest::keyClick(s.copie(), Qt::Key_4);
        QCOMPARE(s.copie()->text(), QStringLiteral("4"));
    }

    void altezze_data()
    {
        QTest::addColumn<QString>("cerca");
        QTest::addColumn<bool>("eliminati");
        QTest::addColumn<int>("prodotti");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("lista");
        // only the barcode hits of Prodotti grow the frame and the list
        QTest::newRow("barcode 0") << "777" << false << 0 << 1695 << 390;
        QTest::newRow("barcode 1") << "777" << false << 1 << 1695 << 390;
        QTest::newRow("barcode 2") << "777" << false << 2 << 2095 << 700;
        QTest::newRow("barcode 30") << "777" << false << 30 << 7695 << 5040;
        QTest::newRow("barcode 31") << "777" << false << 31 << 7695 << 5040;
        QTest::newRow("code 0") << "K" << false << 0 << 1695 << 390;
        QTest::newRow("code 1") << "K" << false << 1 << 1695 << 390;
        QTest::newRow("code 2") << "K" << false << 2 << 1695 << 390;
        QTest::newRow("code 30") << "K" << false << 30 << 1695 << 390;
        QTest::newRow("code 31") << "K" << false << 31 << 1695 << 390;
        QTest::newRow("prodottiC barcode 2") << "777" << true << 2 << 1695 << 390;
        QTest::newRow("prodottiC barcode 31") << "777" << true << 31 << 1695 << 390;
    }

    void altezze()
    {
        QFETCH(QString, cerca);
        QFETCH(bool, eliminati);
        QFETCH(int, prodotti);
        QFETCH(int, frame);
        QFETCH(int, lista);
        Schermo s;
        s.prodotti(100, prodotti, QStringLiteral("ARTICOLO "), QStringLiteral("777"), eliminati);
        s.cerca(cerca);
        QCOMPARE(s.voci().size(), prodotti);
        QCOMPARE(s.altezzaFrame(), px(frame));
        QCOMPARE(s.altezzaLista(), px(lista));
        QVERIFY(s.lista()->isVisible());
        // the grown list lies over the list of counted rows
        if (frame > 1695)
            QVERIFY(s.frame()->geometry().bottom() > s.w<QWidget>("lvwProdotti")->geometry().top());
        QCOMPARE(s.beeps, prodotti == 0 ? 1 : 0);
    }

    void frecceNelCampoCodice()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("AB1"), QStringLiteral("UNO"), QString(), 1, 1, 0);
        s.program.addProduct(2, QStringLiteral("AB2"), QStringLiteral("DUE"), QString(), 1, 1, 0);
        s.program.addProduct(3, QStringLiteral("AB3"), QStringLiteral("TRE"), QString(), 1, 1, 0);

        // an empty list: nothing to select, the caret still goes to the end
        s.cerca(QStringLiteral("NO"));
        s.codice()->setCursorPosition(0);
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.selezionata(), -1);
        QCOMPARE(s.codice()->cursorPosition(), 2);
        QTest::keyClick(s.codice(), Qt::Key_Up);
        QCOMPARE(s.selezionata(), -1);

        s.cerca(QStringLiteral("AB"));
        const QStringList voci = s.voci();
        auto idDi = [&voci](int row) { return QString::number(ProdottiListModel::idVoce(voci.at(row))); };
        const int atteso[] = {0, 1, 2, 2, 1, 0, 0};
        const Qt::Key tasti[] = {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up};
        for (int i = 0; i < 7; ++i) {
            s.codice()->setCursorPosition(1);
            QTest::keyClick(s.codice(), tasti[i]);
            QCOMPARE(s.selezionata(), atteso[i]);
            // each move loads the product while the focus stays here
            QCOMPARE(s.testo("TxtIdProdotto"), idDi(atteso[i]));
            QCOMPARE(QApplication::focusWidget(), s.codice());
            QCOMPARE(s.codice()->text(), QStringLiteral("AB"));
            QCOMPARE(s.codice()->cursorPosition(), 2);
        }
        QVERIFY(s.program.errors.isEmpty());
    }

    void tastiFunzione()
    {
        Schermo s;
        s.codice()->setText(QStringLiteral("ABC"));
        s.nome()->setText(QStringLiteral("XY"));   // runs a name search, which empties txtCodice
        s.codice()->setText(QStringLiteral("ABC"));
        s.copie()->setFocus();
        QCOMPARE(QApplication::focusWidget(), s.copie());

        QTest::keyClick(s.copie(), Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        QCOMPARE(s.codice()->selectedText(), QStringLiteral("ABC"));
        QVERIFY(s.codice()->styleSheet().contains(QLatin1String("rgb(255, 255, 128)")));

        QTest::keyClick(s.codice(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), s.nome());
        QCOMPARE(s.nome()->selectedText(), QStringLiteral("XY"));
        QVERIFY(s.nome()->styleSheet().contains(QLatin1String("rgb(255, 255, 128)")));
        QVERIFY(s.codice()->styleSheet().contains(QLatin1String("rgb(255, 255, 255)")));

        // F1 from the result list too
        s.lista()->setFocus();
        QTest::keyClick(s.lista(), Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        QVERIFY(s.nome()->styleSheet().contains(QLatin1String("rgb(255, 255, 255)")));

        // a disabled field is not a target (the product editor is open)
        s.nome()->setEnabled(false);
        QTest::keyClick(s.codice(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), s.codice());
        s.codice()->setEnabled(false);
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), s.copie());
    }

    void saltaKeyUpCodice()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QStringLiteral("123"), 1, 1, 0);
        s.codice()->setFocus();
        s.codice()->setText(QStringLiteral("123"));

        // the Enter that closed the product editor reaches txtCodice: ignored
        Modulo::SaltaKeyUpCodice = true;
        QTest::keyClick(s.codice(), Qt::Key_Return);
        QVERIFY(!Modulo::SaltaKeyUpCodice);
        QVERIFY(s.voci().isEmpty());
        QCOMPARE(s.beeps, 0);

        QTest::keyClick(s.codice(), Qt::Key_Return);
        QCOMPARE(s.voci().size(), 1);

        // a disabled field does not search
        s.cerca(QStringLiteral("NO"));
        s.codice()->setText(QStringLiteral("123"));
        s.codice()->setEnabled(false);
        s.form.txtCodice_KeyUp(13, Qt::NoModifier);
        QVERIFY(s.voci().isEmpty());
    }

    void soloInvioCerca()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QStringLiteral("123"), 1, 1, 0);
        s.codice()->setFocus();
        Schermo::scrivi(s.codice(), QStringLiteral("123"));
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());
        QCOMPARE(s.beeps, 0);
    }

    void testoDelleVoci()
    {
        Schermo s;
        s.program.addProduct(7, QStringLiteral("  P1 "), QStringLiteral("  PASTA  CORTA "), QString(), 1, 1, 0);
        s.program.addProduct(8, QStringLiteral("P1234567890ABCDEFGHI"), QStringLiteral("LUNGO"), QString(), 1, 1, 0);
        s.program.addProduct(9, QStringLiteral("P12345678901234"), QStringLiteral("QUINDICI"), QString(), 1, 1, 0);
        s.program.exec(QStringLiteral("INSERT INTO Prodotti (IDProdotto, CodInterno, Descrizione) VALUES (123456, 'PX', NULL)"));
        const QString cento(100, QLatin1Char(' '));

        s.cerca(QString());
        QStringList voci = s.voci();
        voci.sort();
        QStringList attese = {
            QStringLiteral("             P1 - PASTA  CORTA") + cento + QStringLiteral("7"),
            // a longer code loses its head
            QStringLiteral("567890ABCDEFGHI - LUNGO") + cento + QStringLiteral("8"),
            QStringLiteral("P12345678901234 - QUINDICI") + cento + QStringLiteral("9"),
            QStringLiteral("             PX - ") + cento + QStringLiteral("123456"),
        };
        attese.sort();
        QCOMPARE(voci, attese);
        for (const QString &v : voci)
            QCOMPARE(v.mid(15, 3), QStringLiteral(" - "));
        QVERIFY(s.program.errors.isEmpty());
    }

    void apiciNelTesto()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("A'B"), QStringLiteral("UNO"), QStringLiteral("X"), 1, 1, 0);
        s.program.addProduct(2, QStringLiteral("K2"), QStringLiteral("DUE"), QStringLiteral("12'34"), 1, 1, 0);
        s.program.addProduct(5001, QStringLiteral("C'1"), QStringLiteral("TRE"), QStringLiteral("56'78"), 1, 1, 0, true);

        s.cerca(QStringLiteral("A'B"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("1"));
        s.cerca(QStringLiteral("12'34"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("2"));
        s.cerca(QStringLiteral("56'78"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("5001"));
        s.cerca(QStringLiteral("C'1"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("5001"));
        s.cerca(QStringLiteral("'"));
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
    }

    void testiStrani_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("percent") << QStringLiteral("%");
        QTest::newRow("underscore") << QStringLiteral("_");
        QTest::newRow("wildcards") << QStringLiteral("%_%'%");
        QTest::newRow("500 characters") << QString(500, QLatin1Char('9'));
        QTest::newRow("statement") << QStringLiteral("x'; DROP TABLE Prodotti; --");
        QTest::newRow("accents") << QStringLiteral("CAFF\u00C8 \u00E0\u00F2\u00F9");
        QTest::newRow("blanks") << QStringLiteral("   ");
    }

    void testiStrani()
    {
        QFETCH(QString, testo);
        Schermo s;
        s.program.addProduct(1, QStringLiteral("CAFF\u00C8 \u00E0\u00F2\u00F9"), QStringLiteral("CAFFE'"), QStringLiteral("1"), 1, 1, 0);
        s.cerca(testo);
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.lista()->isVisible());
        QCOMPARE(s.codice()->text(), testo);
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti")).toInt(), 1);
        if (testo.startsWith(QLatin1String("CAFF")))
            QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("1"));
    }

    void invioACampoVuotoElencaTutto()
    {
        Schermo s(Fixture::Program::Demo);
        const int tutti = s.program.scalar(QStringLiteral("SELECT count(*) FROM Prodotti WHERE CodInterno IS NOT NULL")).toInt();
        QVERIFY(tutti > 50);
        s.cerca(QString());
        QCOMPARE(s.voci().size(), tutti);
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(s.altezzaFrame(), px(1695));
        QCOMPARE(s.altezzaLista(), px(390));
        QCOMPARE(s.beeps, 0);
    }

    void senzaConnessione()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QStringLiteral("123"), 1, 1, 0);
        Modulo::ConnPrincipale().close();
        s.cerca(QStringLiteral("123"));
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QCOMPARE(s.program.messages.at(0).title, QStringLiteral("Attenzione!!"));
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.voci().isEmpty());
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.form.isEnabled());
        QCOMPARE(s.beeps, 0);
    }

    void erroreDelDatabase()
    {
        Schermo s;
        s.program.exec(QStringLiteral("DROP TABLE prodottiC"));
        s.cerca(QStringLiteral("NO"));
        QCOMPARE(s.program.errors.size(), 1);
        QVERIFY(s.program.errors.at(0).description.contains(QLatin1String("prodottiC")));
        QVERIFY(s.lista()->isVisible());
        QVERIFY(s.form.isEnabled());
        QCOMPARE(s.beeps, 0);
    }

    // A reader types the next scan while the last one is looked up: every
    // key lands, in order, in the field that has the focus afterwards.
    void scansioneARaffica()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QStringLiteral("8001234567890"), 1, 1, 0);
        s.copie()->setText(QStringLiteral("1"));
        s.codice()->setFocus();
        QWindow *window = s.form.windowHandle();
        QVERIFY(window);
        auto tasto = [window](int key, const QString &text) {
            QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        };
        for (QChar c : QStringLiteral("8001234567890"))
            tasto(Qt::Key_0 + c.digitValue(), QString(c));
        tasto(Qt::Key_Return, QStringLiteral("\r"));
        tasto(Qt::Key_3, QStringLiteral("3"));
        tasto(Qt::Key_5, QStringLiteral("5"));
        QTRY_COMPARE(s.copie()->text(), QStringLiteral("35"));
        QCOMPARE(s.codice()->text(), QStringLiteral("8001234567890"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), s.copie());
    }
};

INVENTARIO_TEST(TestRicercaCodice)
#include "tst_ricercacodice.moc"
