// The product search: code or barcode on Enter, name on each key; items, loaded product, keys, frame, SQL Server.
#include "fixture/recorder.h"
#include "fixture/schermo.h"

using namespace Fixture;

class TestRicerca : public QObject {
    Q_OBJECT
private Q_SLOTS:

    void nomeInizioOppureOvunque()
    {
        Schermo s(Program::Empty, false);
        s.add(1, u"P1"_s, u"PANE BIANCO"_s);
        s.add(2, u"P2"_s, u"OLIO PER PANE"_s);
        s.add(5001, u"ABCDEFGHIJKLMNOPQR"_s, u"PANETTONE  "_s, {}, true);
        s.add(5002, u"C2"_s, u"VECCHIO PANE"_s, {}, true);
        s.ui.txtCodice->setText(u"123"_s);
        s.ui.txtNome->setFocus();
        scrivi(u"PA"_s);
        QCOMPARE(s.ui.txtCodice->text(), QString());
        // prodottiC's items marked, the code cut to its last 15; nothing chosen
        QCOMPARE(s.voci(), QStringList({voce(u"P1"_s, u"PANE BIANCO"_s, 1),
                               u"*DEFGHIJKLMNOPQR - PANETTONE     Eli."_s + QString(100, u' ') + u"5001Eli."_s}));
        QCOMPARE(s.scelta(), -1);
        // the mode changed with a product chosen: details cleared, the text kept, found anywhere
        tasto(Qt::Key_Down);
        QCOMPARE(s.ui.TxtIdProdotto->text(), u"1"_s);
        QTest::mouseClick(s.ui.CheckTipoRicerca, Qt::LeftButton);
        QCOMPARE(s.ui.TxtIdProdotto->text() + s.ui.txtNome->text(), u"PA"_s);
        const QStringList voci = s.voci();   // Prodotti first, then prodottiC
        QCOMPARE(voci.size(), 4);
        QVERIFY(!voci.at(1).startsWith(u'*') && voci.at(2).startsWith(u'*'));
        // Enter changes nothing: the product stays loaded, the focus here
        s.ui.txtNome->setFocus();
        tasto(Qt::Key_Down);
        tasto(Qt::Key_Return);
        QCOMPARE(fuoco(), s.ui.txtNome);
        QCOMPARE(s.ui.TxtIdProdotto->text() + QString::number(s.voci().size()), u"14"_s);
        // the whole name deleted: an empty list at design height, txtCodice emptied
        s.ui.txtCodice->setText(u"123"_s);
        s.ui.txtNome->selectAll();
        tasto(Qt::Key_Backspace);
        QVERIFY(s.voci().isEmpty() && s.ui.ListProdotti->isVisible() && s.ui.txtCodice->text().isEmpty());
        QCOMPARE(s.altezze(), px({1695, 390}));
        // 50 items at most; a full list still gets prodottiC's first match
        s.prodotti(100, 60, u"VINO "_s);
        s.prodotti(6001, 3, u"VINO VECCHIO "_s, {}, true);
        s.ui.txtNome->setText(u"VINO"_s);
        QCOMPARE(s.voci().size(), 51);
        QVERIFY(!s.voci().at(49).startsWith(u'*') && s.voci().at(50).startsWith(u'*'));
        s.ui.txtNome->setText(u"VINO VECCHIO 1"_s);   // not from the start: the mode is "anywhere" now
        QCOMPARE(s.voci().size(), 1);
    }

    // Only Prodotti's barcode hits and the name search grow frame and list (up to 30 items, over the counted rows); two
    // names are 100 taller than the rule.
    void altezze()
    {
        const struct {
            const char *cerca;
            int attivi, eliminati;
            QSize twips;
        } casi[] = {{"777", 0, 0, {1695, 390}}, {"777", 1, 0, {1695, 390}}, {"777", 2, 0, {2095, 700}},
            {"777", 31, 0, {7695, 5040}}, {"K", 31, 0, {1695, 390}}, {"777", 0, 2, {1695, 390}},
            {"", 0, 1, {1695, 390}}, {"", 1, 1, {2195, 800}}, {"", 3, 0, {2295, 855}}, {"", 25, 6, {7695, 5040}}};
        for (const auto &c : casi) {
            Schermo s(Program::Empty, false);
            s.prodotti(100, c.attivi, u"SALE "_s, u"777"_s);
            s.prodotti(5001, c.eliminati, u"SALE "_s, u"777"_s, true);
            *c.cerca ? s.cerca(QLatin1String(c.cerca)) : s.ui.txtNome->setText(u"SA"_s);
            QCOMPARE(s.voci().size(), c.attivi + c.eliminati);
            QCOMPARE(s.altezze(), px(c.twips));
            if (c.twips.width() > 1695) {
                const QRect sotto = s.ui.Frame3->geometry() & s.ui.lvwProdotti->geometry();
                QWidget *sopra = s.form.centralWidget()->childAt(sotto.center());
                QVERIFY(!sotto.isEmpty() && (sopra == s.ui.Frame3 || s.ui.Frame3->isAncestorOf(sopra)));
            }
            if (!*c.cerca)
                QCOMPARE(s.scelta(), -1);   // the name search chooses not even a single item
            QCOMPARE(s.program.beeps, c.attivi + c.eliminati == 0 ? 1 : 0);
        }
    }

    // The chosen product's details, from either table, with its count; an id in both tables loads the chosen one.
    void prodottoScelto()
    {
        Schermo s(Program::Empty, false);
        s.program.addProduct(10, u"P10  "_s, u"  PASTA DI SEMOLA "_s, u" 8001 "_s, 1234.5, 0.125, 12.5);
        s.program.exec(u"INSERT INTO Prodotti (IDProdotto, CodInterno) VALUES (4, 'P4')"_s);
        s.program.addProduct(5001, u"C1"_s, u"PANETTONE"_s, u"999"_s, 9.9, 5.8, 3, true);
        s.program.addProduct(5001, u"N1"_s, u"NUOVO"_s, u"5001"_s, 1, 1, 1);
        s.program.exec(
            u"INSERT INTO InventarioReale (IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale) "
            "VALUES (10, 0, 3), (5001, 0, 99), (0, 5001, 7.5), (10, 0, 40)"_s);   // two rows of 10: the first counts
        auto valori = [&s](const QString &cerca) {
            s.cerca(cerca);
            QStringList out;
            for (const char *c : {"TxtDetCodiceLoro", "txtDescrizione1", "TxtBarcode", "txtPrVe1", "txtPrezAcquisto",
                     "txtQta", "TxtIdProdotto", "txtProdeliminto", "txtQtaReale", "TxtIdInvReale"})
                out << s.testo(c);
            return out.join(u'|');
        };
        QCOMPARE(valori(u"P10"_s), u"P10|PASTA DI SEMOLA| 8001 |1.234,50 \u20AC|0,12 \u20AC|12,5|10|0|3|"_s);
        QCOMPARE(std::tuple(Modulo::ProdottoAttivo, Modulo::IdAttivoScelto, Modulo::IdEliminatoScelto),
            std::tuple(true, 10.0, 0.0));
        QCOMPARE(valori(u"999"_s), u"C1|PANETTONE|999|9,90 \u20AC|5,80 \u20AC|3|0|5001|7,5|"_s);
        QCOMPARE(std::tuple(Modulo::ProdottoAttivo, Modulo::IdAttivoScelto, Modulo::IdEliminatoScelto),
            std::tuple(false, 0.0, 5001.0));
        // no prices, stock or barcode; never counted
        QCOMPARE(valori(u"P4"_s), u"P4|||0,00 \u20AC|0,00 \u20AC|0|4|0|0|"_s);
        // its product gone: nothing loaded, and Enter in the quantity saves nothing
        s.cerca(u"999"_s);
        s.program.exec(u"DELETE FROM prodottiC"_s);
        s.ui.ListProdotti->selectionModel()->clearSelection();
        s.ui.ListProdotti->setCurrentIndex(s.ui.ListProdotti->model()->index(0, 0));
        QCOMPARE(s.testo("txtDescrizione1") + s.testo("TxtIdProdotto") + s.testo("txtQtaReale"), u"0"_s);
        s.ui.TxtCopieReali->setFocus();
        tasto(Qt::Key_Return);
        QCOMPARE(s.righe().size() + s.voci().size(), 5);
        QCOMPARE(fuoco(), s.ui.TxtCopieReali);
        // a failed statement: the error form, naming the screen though the focus is inside its frame
        s.program.exec(u"DROP TABLE prodottiC"_s);
        s.cerca(u"NO"_s);
        QCOMPARE(s.program.errors.size(), 1);
        QVERIFY(s.program.errors.at(0).description.contains("prodottiC"_L1));
        QVERIFY(!s.program.errors.at(0).description.contains("Select"_L1));   // the statement is no part of it
        QCOMPARE(s.program.errors.at(0).form + u'|' + s.program.errors.at(0).control, u"frmInventario|txtCodice"_s);
        QVERIFY(s.ui.ListProdotti->isVisible() && s.form.isEnabled());
    }

    // SQL Server gets plain batches, '[' escaped (a set for its LIKE), quotes doubled. The earliest search that found
    // anything lists its rows, in the server's order; a later search's rows do not count. A scan cycle is two requests:
    // the search brings a single hit's product with its count, the save brings the list back. A name key stroke is one:
    // Prodotti's rows listed first, prodottiC's marked after them. A save the server refuses reaches the error form
    // with the routine's label.
    void suSqlServer()
    {
        const QByteArray ricerca = R"j("columns": [["IDprodotto", "int"], ["CodInterno", "varchar(20)"],
            ["Descrizione", "varchar(50)"], ["Ricerca", "int"], ["Barcode", "varchar(20)"], ["PrezzoPubblico", "float"],
            ["PrezzoAcquisto", "money"], ["Giacenza", "real"], ["GiacenzaContata", "float"]])j";
        const QByteArray risposte = R"j([{"match": "Like .A", )j" + ricerca + R"j(, "rows": [[7, "Z7", "SETTE", 3,
            "", 0, 0, 0, null], [2, "B2", "DUE", 1, "", 0, 0, 0, null], [8, "Z8", "OTTO", 2, "", 0, 0, 0, null],
            [1, "A1", "UNO", 1, "", 0, 0, 0, null]]},
          {"match": "AS Ricerca", )j"
                                    + ricerca + R"j(, "rows": [[42, "P42", "CAFFE", 2, "800", 1234.5, 2, 12, 3]]},
          {"match": "AS Tabella", "columns": [["IDProdotto", "int"], ["Descrizione", "varchar(50)"],
            ["CodInterno", "varchar(20)"], ["Tabella", "int"]], "rows": [[2, "DUE", "B2", 1], [7, "SETTE", "Z7", 2],
            [3, "TRE", "B3", 1]]},
          {"match": "^IF @Trovata", "rowcount": 1, "times": 1}, {"match": "^IF @Trovata", "error": 1222},
          {"match": "AS Trovata,", "columns": [["Trovata", "int"], ["IDInventarioReale", "int"],
            ["GiacenzaReale", "float"]], "rows": [[1, 19, 3]]},
          {"match": "^SELECT TOP 50", "columns": [["IDInventarioReale", "int"], ["DescProdotto", "nvarchar(50)"],
            ["Barcode", "nvarchar(20)"], ["PrezzoPubblico", "float"], ["PrezzoAcquisto", "float"], ["IVA", "float"],
            ["IDCategoria", "int"], ["Categoria", "nvarchar(50)"], ["UM", "nvarchar(10)"], ["Modifica", "nvarchar(1)"],
            ["Modificato", "nvarchar(1)"], ["GiacenzaReale", "float"], ["GiacenzaStatistica", "float"],
            ["DataModifica", "datetime"], ["IDProdottoVentrox", "int"], ["IDProdottoEliminato", "int"],
            ["CodInterno", "nvarchar(20)"]], "rows": [[19, "CAFFE", "800", 1234.5, 2, 0, 1000, "Generico", "N",
            "0", "0", 5, 12, "2026-12-05 00:00:00", 42, 0, "P42"]]}])j";
        START_RECORDER(rec, risposte);
        Schermo sc(Program::Empty, false);
        Modulo::ConnPrincipale().open(rec.connectionString());
        frmInventario &form = sc.form;
        Program &program = sc.program;
        form.ui->txtCodice->setText(u"A[1]'"_s);
        rec.log();
        QTest::keyClick(form.ui->txtCodice, Qt::Key_Return);
        QVERIFY(form.modelloProdotti()->rowCount() == 2 && Modulo::ProdottoAttivo);
        QCOMPARE(form.modelloProdotti()->testo(0) + form.modelloProdotti()->testo(1),
            voce(u"B2"_s, u"DUE"_s, 2) + voce(u"A1"_s, u"UNO"_s, 1));
        const QString s = u"Select  IDprodotto, CodInterno,Descrizione, %1 AS Ricerca, Barcode, PrezzoPubblico, "
                          "PrezzoAcquisto, Giacenza, (SELECT TOP 1 GiacenzaReale FROM InventarioReale WHERE %2 = "
                          "%3.IDProdotto) AS GiacenzaContata FROM %3"_s;
        const QString ventrox = u"IDProdottoVentrox"_s, eliminato = u"IDProdottoEliminato"_s;
        QCOMPARE(rec.log(),
            QStringList(u"batch: "_s + s.arg(1).arg(ventrox, u"Prodotti"_s)
                        + u" where CodInterno Like 'A[[]1]''%' UNION ALL "_s + s.arg(2).arg(ventrox, u"Prodotti"_s)
                        + u" where Barcode Like 'A[[]1]''' UNION ALL "_s + s.arg(3).arg(eliminato, u"prodottiC"_s)
                        + u" where Barcode Like 'A[[]1]''' UNION ALL "_s + s.arg(4).arg(eliminato, u"prodottiC"_s)
                        + u"  where CodInterno Like 'A[[]1]'''"_s));
        for (int ciclo = 0; ciclo < 2; ++ciclo) {
            form.ui->txtCodice->setText(u"800"_s);
            QTest::keyClick(form.ui->txtCodice, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), form.ui->TxtCopieReali);
            QCOMPARE(form.ui->txtPrVe1->text() + form.ui->txtPrezAcquisto->text() + form.ui->txtQta->text()
                         + form.ui->txtQtaReale->text() + form.ui->TxtIdProdotto->text(),
                u"1.234,50 \u20ac2,00 \u20ac12342"_s);
            QTest::keyClick(form.ui->TxtCopieReali, Qt::Key_2);
            QTest::keyClick(form.ui->TxtCopieReali, Qt::Key_Return);
            const QStringList log = rec.log();
            QCOMPARE(log.size(), 2 + ciclo);   // a failed save is followed by its rollback
            QVERIFY(log[0].contains("Barcode Like '800'"_L1) && log[1].startsWith("batch: SET XACT_ABORT ON\n"_L1));
            QCOMPARE(program.errors.size(), ciclo);
            if (ciclo == 0)   // the list came back with the save
                QCOMPARE(form.modelloLista()->righe(), 1);
        }
        QVERIFY(program.errors[0].description.endsWith(
            "Lock request time out period exceeded.(frmInventarioReale - CreaRigaLista)"_L1));
        form.ui->txtNome->setText(u"B[2"_s);
        QCOMPARE(rec.log(),
            QStringList(
                u"batch: SELECT * FROM (Select TOP 50 IDProdotto,Descrizione,CodInterno, 1 AS Tabella FROM "
                u"Prodotti where "
                "Descrizione Like 'B[[]2%') AS T1 UNION ALL SELECT * FROM (Select TOP 50 IDProdotto,Descrizione,"
                "CodInterno, 2 AS Tabella FROM prodottiC where Descrizione Like 'B[[]2%') AS T2"_s));
        QCOMPARE(form.modelloProdotti()->rowCount(), 3);
        QCOMPARE(form.modelloProdotti()->testo(1) + form.modelloProdotti()->testo(2),
            voce(u"B3"_s, u"TRE"_s, 3) + ProdottiListModel::testoVoceEliminata(u"Z7"_s, u"SETTE"_s, u"7"_s));
    }
};

INVENTARIO_TEST(TestRicerca)
#include "tst_ricerca.moc"
