// Loading the chosen product into the detail fields, and the id an item carries.
#include "tst_ricerca.h"

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
        auto valori = [&s] {
            QStringList out;
            for (const char *c : {"TxtDetCodiceLoro", "txtDescrizione1", "TxtBarcode", "txtPrVe1", "txtPrezAcquisto",
                                  "txtQta", "TxtIdProdotto", "txtProdeliminto", "txtQtaReale", "TxtIdInvReale"})
                out << s.testo(c);
            return out;
        };
        s.cerca(u"P10"_s);   // the whole book stock: a save stores what is shown
        QCOMPARE(valori(), QStringList({u"P10"_s, u"PASTA DI SEMOLA"_s, u" 8001 "_s, u"1.234,50 \u20AC"_s,
                                        u"0,12 \u20AC"_s, u"12,5"_s, u"10"_s, u"0"_s, u"3"_s, QString()}));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(std::pair(Modulo::IdAttivoScelto, Modulo::IdEliminatoScelto), std::pair(10.0, 0.0));

        s.cerca(u"999"_s);
        QCOMPARE(valori(), QStringList({u"C1"_s, u"PANETTONE"_s, u"999"_s, u"9,90 \u20AC"_s, u"5,80 \u20AC"_s, u"3"_s,
                                        u"0"_s, u"5001"_s, u"7,5"_s, QString()}));
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(std::pair(Modulo::IdAttivoScelto, Modulo::IdEliminatoScelto), std::pair(0.0, 5001.0));

        s.cerca(u"P4"_s);   // no prices, stock or barcode; never counted
        QCOMPARE(valori(), QStringList({u"P4"_s, QString(), QString(), u"0,00 \u20AC"_s, u"0,00 \u20AC"_s, u"0"_s,
                                        u"4"_s, u"0"_s, u"0"_s, QString()}));
        QVERIFY(s.program.errors.isEmpty());
    }

    // An id both tables hold loads the product the operator chose, never its namesake.
    void loStessoIdNelleDueTabelle()
    {
        Schermo s;
        s.add(5001, u"N1"_s, u"TORTA NUOVA"_s);
        s.add(5001, u"V1"_s, u"TORTA VECCHIA"_s, {}, true);
        s.nome()->setText(u"TORTA"_s);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QTest::keyClick(s.nome(), Qt::Key_Down);
        QCOMPARE(s.testo("txtDescrizione1") + s.testo("TxtIdProdotto") + s.testo("txtProdeliminto"), u"TORTA VECCHIA05001"_s);
        QTest::keyClick(s.nome(), Qt::Key_Up);
        QCOMPARE(s.testo("txtDescrizione1"), u"TORTA NUOVA"_s);
        s.cerca(u"V1"_s);
        QCOMPARE(s.testo("txtDescrizione1"), u"TORTA VECCHIA"_s);

        // its product gone from prodottiC: nothing loaded, and Enter in the quantity saves nothing
        s.program.exec(u"DELETE FROM prodottiC"_s);
        Modulo::ProdottoAttivo = true;
        s.form.ListProdotti_Click();
        QCOMPARE(s.testo("txtDescrizione1") + s.testo("TxtIdProdotto") + s.testo("txtQtaReale"), u"0"_s);
        QVERIFY(Modulo::ProdottoAttivo);
        QTest::keyClick(s.copie(), Qt::Key_Return);
        QCOMPARE(s.program.scalar(u"SELECT count(*) FROM InventarioReale"_s).toInt(), 0);
        QVERIFY(s.program.errors.isEmpty());
    }

    void idDellaVoce()
    {
        const std::pair<QString, double> casi[] = {
            {u"X     Eli."_s + QString(100, u' ') + u"5001Eli."_s, 5001},   // a marked item
            {u"123456789012345678901234"_s, 56789012345678901234.0},      // the last 20 characters only
            {u"12.5"_s, 12.5}, {u"12,5"_s, 12}, {u"1 2 3"_s, 123}, {u"1E3"_s, 1000}, {u"abc"_s, 0}};
        for (const auto &[testo, id] : casi)
            QCOMPARE(ProdottiListModel::idVoce(testo), id);
    }
};

INVENTARIO_TEST(TestProdottoScelto)
#include "tst_ricercaprodotto.moc"
