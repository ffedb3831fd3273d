// Loading the chosen product into the detail fields, and the quantity field.
#include "tst_ricerca.h"

#include <QLabel>

using namespace Ricerca;

class TestProdottoScelto : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void prodottoDiOgniTabella()
    {
        Schermo s;
        s.program.addProduct(10, u"P10  "_s, u"  PASTA DI SEMOLA "_s, u" 8001 "_s, 1234.5, 0.125, 12.5);
        s.program.exec(u"INSERT INTO Prodotti (IDProdotto, CodInterno) VALUES (4, 'P4')"_s);
        s.program.addProduct(5001, u"C1"_s, u"PANETTONE"_s, u"999"_s, 9.9, 5.8, 3, true);
        // counts of both products numbered 5001: only the one of prodottiC is its own
        s.program.exec(u"INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale) "
                       "VALUES (10, 0, 3), (5001, 0, 99), (0, 5001, 7.5)"_s);

        s.cerca(u"P10"_s);
        const QStringList campi = {"TxtDetCodiceLoro"_L1, "txtDescrizione1"_L1, "TxtBarcode"_L1, "txtPrVe1"_L1,
                                   "txtPrezAcquisto"_L1, "txtQta"_L1, "TxtIdProdotto"_L1, "txtProdeliminto"_L1,
                                   "txtQtaReale"_L1, "TxtIdInvReale"_L1};
        auto valori = [&] {
            QStringList out;
            for (const QString &c : campi)
                out << s.testo(c.toLatin1().constData());
            return out;
        };
        // the whole book stock: a save stores what is shown
        QCOMPARE(valori(), QStringList({u"P10"_s, u"PASTA DI SEMOLA"_s, u" 8001 "_s, u"1.234,50 \u20AC"_s,
                                        u"0,12 \u20AC"_s, u"12,5"_s, u"10"_s, u"0"_s, u"3"_s, QString()}));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 10.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 0.0);

        s.cerca(u"999"_s);
        QCOMPARE(valori(), QStringList({u"C1"_s, u"PANETTONE"_s, u"999"_s, u"9,90 \u20AC"_s, u"5,80 \u20AC"_s, u"3"_s,
                                        u"0"_s, u"5001"_s, u"7,5"_s, QString()}));
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 0.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 5001.0);

        s.cerca(u"P4"_s);   // no prices, stock or barcode; never counted
        QCOMPARE(valori(), QStringList({u"P4"_s, QString(), QString(), u"0,00 \u20AC"_s, u"0,00 \u20AC"_s, u"0"_s,
                                        u"4"_s, u"0"_s, u"0"_s, QString()}));
        QVERIFY(s.program.errors.isEmpty());
    }

    void loStessoIdNelleDueTabelle()
    {
        Schermo s;
        s.add(5001, u"N1"_s, u"TORTA NUOVA"_s);
        s.add(5001, u"V1"_s, u"TORTA VECCHIA"_s, {}, true);
        s.cercaNome(u"TORTA"_s);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.testo("txtDescrizione1"), u"TORTA VECCHIA"_s);
        QCOMPARE(s.testo("txtProdeliminto"), u"5001"_s);
        QCOMPARE(s.testo("TxtIdProdotto"), u"0"_s);
        QTest::keyClick(s.nome(), Qt::Key_Up);
        QCOMPARE(s.testo("txtDescrizione1"), u"TORTA NUOVA"_s);
        s.cerca(u"V1"_s);
        QCOMPARE(s.testo("txtDescrizione1"), u"TORTA VECCHIA"_s);

        // its product gone from prodottiC: nothing loaded, not the namesake
        s.program.exec(u"DELETE FROM prodottiC"_s);
        Modulo::ProdottoAttivo = true;
        s.form.ListProdotti_Click();
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.testo("TxtIdProdotto"), QString());
        QCOMPARE(s.testo("txtQtaReale"), u"0"_s);
        QVERIFY(Modulo::ProdottoAttivo);
        // Enter in the quantity field saves nothing without a product
        QTest::keyClick(s.copie(), Qt::Key_Return);
        QCOMPARE(s.program.scalar(u"SELECT count(*) FROM InventarioReale"_s).toInt(), 0);
        QVERIFY(s.program.errors.isEmpty());
    }

    void senzaConnessione()
    {
        Schermo s;
        s.prodotti(1, 2, u"ARTICOLO "_s);
        s.cerca(u"K"_s);
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QVERIFY(!s.testo("txtDescrizione1").isEmpty());
        Modulo::ConnPrincipale().close();
        QTest::keyClick(s.codice(), Qt::Key_Down);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.testo("txtQtaReale"), u"0"_s);
        QVERIFY(s.program.errors.isEmpty());
    }

    void idDellaVoce_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("id");
        QTest::newRow("item") << voce(u"P1"_s, u"X"_s, 123) << 123.0;
        QTest::newRow("marked") << u"X     Eli."_s + QString(100, u' ') + u"5001Eli."_s << 5001.0;
        QTest::newRow("last 20 only") << u"123456789012345678901234"_s << 56789012345678901234.0;
        QTest::newRow("point") << u"12.5"_s << 12.5;
        QTest::newRow("comma ends") << u"12,5"_s << 12.0;
        QTest::newRow("blanks inside") << u"1 2 3"_s << 123.0;
        QTest::newRow("exponent") << u"1E3"_s << 1000.0;
        QTest::newRow("no number") << u"abc"_s << 0.0;
    }

    void idDellaVoce()
    {
        QFETCH(QString, testo);
        QFETCH(double, id);
        QCOMPARE(ProdottiListModel::idVoce(testo), id);
    }

    void evidenziaCampo()
    {
        QLineEdit edit(u"123"_s);
        Modulo::EvidenziaCampo(&edit);
        QCOMPARE(edit.selectedText(), u"123"_s);
        QVERIFY(edit.styleSheet().contains("rgb(255, 128, 0)"_L1));
        QLabel label(u"x"_s);   // no selection to make, no error
        Modulo::EvidenziaCampo(&label);
        Modulo::EvidenziaCampo(nullptr);
    }

    // Scan, type the pieces, Enter: the count is stored.
    void scansioneEConteggio()
    {
        Schermo s(Fixture::Program::Demo);
        s.program.exec(u"DELETE FROM InventarioReale"_s);
        s.cerca(s.program.scalar(u"SELECT Barcode FROM Prodotti WHERE IDProdotto = 7"_s).toString());
        QCOMPARE(QApplication::focusWidget(), s.copie());
        QTest::keyClick(s.copie(), Qt::Key_3);
        QTest::keyClick(s.copie(), Qt::Key_Return);
        QCOMPARE(s.program.scalar(u"SELECT GiacenzaReale FROM InventarioReale WHERE IDProdottoVentrox = 7"_s).toDouble(), 3.0);
    }
};

INVENTARIO_TEST(TestProdottoScelto)
#include "tst_ricercaprodotto.moc"
