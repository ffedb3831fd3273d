// Loading the chosen product into the detail fields, and the quantity field.
#include "tst_ricerca.h"
#include "frame/modulo.h"

#include <QLabel>

using namespace Ricerca;

class TestProdottoScelto : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void prodottoDelMaster()
    {
        Schermo s;
        s.program.addProduct(10, QStringLiteral("P10  "), QStringLiteral("  PASTA DI SEMOLA "), QStringLiteral(" 8001 "),
                             1234.5, 0.125, 12.5);
        Modulo::IdEliminatoScelto = 77;
        s.cerca(QStringLiteral("P10"));
        QCOMPARE(s.testo("TxtDetCodiceLoro"), QStringLiteral("P10"));
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("PASTA DI SEMOLA"));
        QCOMPARE(s.testo("TxtBarcode"), QStringLiteral(" 8001 "));
        QCOMPARE(s.testo("txtPrVe1"), QStringLiteral("1.234,50 \u20AC"));
        QCOMPARE(s.testo("txtPrezAcquisto"), QStringLiteral("0,12 \u20AC"));
        // the whole book stock: a save stores what is shown
        QCOMPARE(s.testo("txtQta"), QStringLiteral("12,5"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("10"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("0"));
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("0"));
        QCOMPARE(s.testo("TxtIdInvReale"), QString());
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 10.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 0.0);
        QVERIFY(s.program.errors.isEmpty());
    }

    void prodottoEliminato()
    {
        Schermo s;
        s.program.addProduct(5001, QStringLiteral("C1"), QStringLiteral("PANETTONE"), QStringLiteral("999"), 9.9, 5.8, 3, true);
        // a count of the product of Prodotti with the same id is another product's
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale) VALUES (5001, 0, 99)"));
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale) VALUES (0, 5001, 7.5)"));
        Modulo::ProdottoAttivo = true;
        Modulo::IdAttivoScelto = 3;
        s.cercaNome(QStringLiteral("PANE"));
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("PANETTONE"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("0"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("5001"));
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("7,5"));
        QCOMPARE(s.testo("txtPrVe1"), QStringLiteral("9,90 \u20AC"));
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 0.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 5001.0);
    }

    void loStessoIdNelleDueTabelle()
    {
        Schermo s;
        s.program.addProduct(5001, QStringLiteral("N1"), QStringLiteral("TORTA NUOVA"), QString(), 2, 1, 4);
        s.program.addProduct(5001, QStringLiteral("V1"), QStringLiteral("TORTA VECCHIA"), QString(), 3, 1, 6, true);
        s.cercaNome(QStringLiteral("TORTA"));
        QCOMPARE(s.voci().size(), 2);

        // the item of prodottiC loads the product of prodottiC
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.selezionata(), 1);
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("TORTA VECCHIA"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("5001"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("0"));
        QVERIFY(!Modulo::ProdottoAttivo);

        QTest::keyClick(s.nome(), Qt::Key_Up);
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("TORTA NUOVA"));
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("5001"));
        QCOMPARE(s.testo("txtProdeliminto"), QStringLiteral("0"));
        QVERIFY(Modulo::ProdottoAttivo);

        // the same from the code search of prodottiC
        s.cerca(QStringLiteral("V1"));
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("TORTA VECCHIA"));
    }

    void giaContato()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QStringLiteral("111"), 1, 1, 5);
        s.program.addProduct(2, QStringLiteral("P2"), QStringLiteral("DUE"), QStringLiteral("222"), 1, 1, 5);
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale) VALUES (1, 0, 3)"));
        s.cerca(QStringLiteral("111"));
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("3"));
        s.cerca(QStringLiteral("222"));
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("0"));
    }

    void valoriMancanti()
    {
        Schermo s;
        s.program.exec(QStringLiteral("INSERT INTO Prodotti (IDProdotto, CodInterno, Descrizione) VALUES (4, 'P4', 'SENZA PREZZI')"));
        s.cerca(QStringLiteral("P4"));
        QCOMPARE(s.testo("txtPrVe1"), QStringLiteral("0,00 \u20AC"));
        QCOMPARE(s.testo("txtPrezAcquisto"), QStringLiteral("0,00 \u20AC"));
        QCOMPARE(s.testo("txtQta"), QStringLiteral("0"));
        QCOMPARE(s.testo("TxtBarcode"), QString());
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("4"));
        QVERIFY(s.program.errors.isEmpty());
    }

    void prodottoSparito()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QString(), 1, 1, 5);
        s.program.addProduct(2, QStringLiteral("P2"), QStringLiteral("DUE"), QString(), 1, 1, 5);
        s.program.addProduct(1, QStringLiteral("C1"), QStringLiteral("OMONIMO"), QString(), 1, 1, 5, true);
        s.cerca(QStringLiteral("P"));
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QVERIFY(!s.testo("TxtIdProdotto").isEmpty());
        const int chosen = s.testo("TxtIdProdotto").toInt();
        s.program.exec(QStringLiteral("DELETE FROM Prodotti"));
        Modulo::ProdottoAttivo = true;

        // gone from its table: nothing loaded, not its namesake of prodottiC
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.testo("txtPrVe1"), QString());
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("0"));
        QVERIFY(Modulo::ProdottoAttivo);
        QVERIFY(chosen == 1 || chosen == 2);

        // Enter in the quantity field saves nothing without a product
        s.copie()->setFocus();
        QTest::keyClick(s.copie(), Qt::Key_Return);
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT count(*) FROM InventarioReale")).toInt(), 0);
        QVERIFY(s.program.errors.isEmpty());
    }

    void senzaConnessione()
    {
        Schermo s;
        s.program.addProduct(1, QStringLiteral("P1"), QStringLiteral("UNO"), QString(), 1, 1, 5);
        s.program.addProduct(2, QStringLiteral("P2"), QStringLiteral("DUE"), QString(), 1, 1, 5);
        s.cerca(QStringLiteral("P"));
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QVERIFY(!s.testo("txtDescrizione1").isEmpty());
        Modulo::ConnPrincipale().close();
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("0"));
        QVERIFY(s.program.errors.isEmpty());
        QVERIFY(s.form.isEnabled());
    }

    void idDellaVoce_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("id");
        QTest::newRow("plain") << QStringLiteral("             P1 - X") + QString(100, QLatin1Char(' ')) + QStringLiteral("123") << 123.0;
        QTest::newRow("marked") << QStringLiteral("          5001Eli.") << 5001.0;
        QTest::newRow("longer than 20") << QStringLiteral("ABC - 99") + QString(30, QLatin1Char(' ')) + QStringLiteral("42") << 42.0;
        QTest::newRow("digits cut at 20") << QStringLiteral("123456789012345678901234") << 56789012345678901234.0;
        QTest::newRow("point decimals") << QStringLiteral("12.5") << 12.5;
        QTest::newRow("comma ends") << QStringLiteral("12,5") << 12.0;
        QTest::newRow("blanks inside") << QStringLiteral("1 2 3") << 123.0;
        QTest::newRow("exponent") << QStringLiteral("1E3") << 1000.0;
        QTest::newRow("no number") << QStringLiteral("abc") << 0.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("negative") << QStringLiteral("-7") << -7.0;
    }

    void idDellaVoce()
    {
        QFETCH(QString, testo);
        QFETCH(double, id);
        QCOMPARE(ProdottiListModel::idVoce(testo), id);
    }

    void evidenziaCampo()
    {
        QLineEdit edit(QStringLiteral("123"));
        Modulo::EvidenziaCampo(&edit);
        QCOMPARE(edit.selectedText(), QStringLiteral("123"));
        QVERIFY(edit.styleSheet().contains(QLatin1String("rgb(255, 128, 0)")));
        // a control without a selection, or none at all, is no error
        QLabel label(QStringLiteral("x"));
        Modulo::EvidenziaCampo(&label);
        QCOMPARE(label.text(), QStringLiteral("x"));
        Modulo::EvidenziaCampo(nullptr);
    }

    // Scan, type the pieces, Enter: the count is stored, the screen is
    // ready for the next scan.
    void scansioneEConteggio()
    {
        Schermo s(Fixture::Program::Demo);
        const QString barcode = s.program.scalar(QStringLiteral("SELECT Barcode FROM Prodotti WHERE IDProdotto = 7")).toString();
        s.program.exec(QStringLiteral("DELETE FROM InventarioReale"));
        s.copie()->setText(QStringLiteral("1"));
        s.cerca(barcode);
        QCOMPARE(QApplication::focusWidget(), s.copie());
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("7"));
        QTest::keyClick(s.copie(), Qt::Key_3);
        QTest::keyClick(s.copie(), Qt::Key_Return);
        QCOMPARE(s.program.scalar(QStringLiteral("SELECT GiacenzaReale FROM InventarioReale WHERE IDProdottoVentrox = 7")).toDouble(), 3.0);
        QVERIFY(s.program.errors.isEmpty());
    }
};

INVENTARIO_TEST(TestProdottoScelto)
#include "tst_ricercaprodotto.moc"
