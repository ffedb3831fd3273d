// The list of counted rows on the main screen: its columns and row texts,
// loading it with the totals, clicking a row, marking all rows, and the two
// routines that empty the detail fields.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/formatta.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/inventariomodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

using M = InventarioModel;

// The main screen on its own database, connected; the list has no columns
// until a load reaches the database.
struct Schermo {
    Fixture::Program program;
    frmInventario form;

    Schermo() { program.connect(); }

    template <class T = QLineEdit> T *w(const char *name) const { return form.findChild<T *>(QLatin1String(name)); }
    QString testo(const char *name) const { return w(name)->text(); }
    M *lista() const { return form.modelloLista(); }
    QStringList totali() const { return {testo("TxtTotStatistico"), testo("TxtTotReale"), testo("TxtDiff")}; }
    void click(const char *button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }

    // n rows numbered from 1 (product i): book quantity = number, counted 0, purchase price 1.
    void numerate(int n)
    {
        if (n > 0)
            program.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                        "INSERT INTO InventarioReale (DescProdotto, PrezzoAcquisto, GiacenzaReale, "
                                        "GiacenzaStatistica, DataModifica, IDProdottoVentrox) "
                                        "SELECT 'ARTICOLO ' || i, 1, 0, i, '01/12/2026', i FROM n").arg(n));
    }
    QList<int> ids() const
    {
        QList<int> out;
        for (int i = 0; i < lista()->righe(); ++i)
            out << lista()->text(i, M::ColID).toInt();
        return out;
    }
    void clicca(int row)
    {
        auto *vista = w<QTreeView>("lvwProdotti");
        const QRect cella = vista->visualRect(lista()->index(row, M::ColDescrizione));
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, cella.center());
    }
};

// n ids from `primo` on, `passo` apart.
QList<int> serie(int primo, int n, int passo)
{
    QList<int> out;
    for (int i = 0; i < n; ++i)
        out << primo + i * passo;
    return out;
}

} // namespace

class TestLista : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The start-up lists the newest rows with their totals.
    void avvio()
    {
        Fixture::Program program(Fixture::Program::Demo);
        frmInventario form;
        form.Form_Load();
        QVERIFY(form.modelloLista()->righe() > 0);
        QCOMPARE(form.modelloLista()->righe(),
                 qMin(program.scalar(QStringLiteral("SELECT COUNT(*) FROM InventarioReale")).toInt(), 50));
        QVERIFY(!form.findChild<QLineEdit *>(QStringLiteral("TxtTotStatistico"))->text().isEmpty());
        QVERIFY(program.errors.isEmpty());
        QVERIFY(program.messages.isEmpty());
    }

    // The columns, set up by the first load that reaches the database (a start
    // without connection sets up none). Every column's text, shown or hidden,
    // for a loaded row, a row of nulls (empty text and 0, not the error form)
    // and a row added by the count; numbers with at most 15 significant
    // digits, decimal comma, no grouping.
    void testiDellaRiga()
    {
        Schermo s;
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto) VALUES (NULL)"));
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (PrezzoPubblico, PrezzoAcquisto, GiacenzaReale, "
                                      "GiacenzaStatistica, DataModifica, IDProdottoVentrox, IDProdottoEliminato) "
                                      "VALUES (0.1 + 0.2, 1234567.891, -0.5, 1234567890.123456, '02/01/2026', 0, 5001)"));
        QCOMPARE(s.lista()->columnCount(), 0);
        s.form.CaricaDati();
        QCOMPARE(s.lista()->columnCount(), int(M::NumeroColonne));
        auto *vista = s.w<QTreeView>("lvwProdotti");
        for (int c = 0; c < M::NumeroColonne; ++c)   // a column of width 0 is hidden
            QCOMPARE(vista->isColumnHidden(c) ? 0 : vista->header()->sectionSize(c), qRound(M::larghezzaTwips(c) / 15.0));
        const QString lunga = QString(10000, QChar(0x00e8)) + QStringLiteral("L''ACQUA \"\u20ac\"");
        s.form.CreaRigaLista(lunga, QStringLiteral("80\u20ac'1"), -7, QStringLiteral("Caff\u00e8"),
                             QStringLiteral("N\u00b0"), QStringLiteral("P'01"), 1, 99999999.99, 0, QStringLiteral("2,5"),
                             -1234.5, QDateTime(QDate(2026, 12, 5), QTime(9, 5, 1)), 57, 42, 0);

        const QList<QStringList> attese{
            {"", "2", "", "-0,5", "1234567890,12346", "0,3", "", "", "0", "", "02/01/2026", "0", "", "1234567,891",
             "0", "5001"},
            {"", "1", "", "0", "0", "0", "", "", "0", "", "", "0", "", "0", "0", "0"},
            {lunga, "57", "N\u00b0", "2,5", "-1234,5", "99999999,99", "P'01", "80\u20ac'1", "-7", "Caff\u00e8",
             "05/12/2026 09:05:01", "1", "", "0", "42", "0"}};
        QCOMPARE(s.lista()->righe(), 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < M::NumeroColonne; ++c)
                QCOMPARE(s.lista()->index(r, c).data().toString(), attese[r][c]);
        // a check box in front of each row
        QVERIFY(s.lista()->flags(s.lista()->index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(s.lista()->flags(s.lista()->index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(s.program.errors.isEmpty());
    }

    // The newest 50 rows first, the totals over what is listed; "Vedi Tutti"
    // lists everything, newest first too (100,000 rows: the time is printed,
    // the bound only catches a load that has turned quadratic); without
    // connection, nothing.
    void caricaDati_data()
    {
        QTest::addColumn<int>("n");
        for (int n : {0, 1, 50, 51, 100000})
            QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void caricaDati()
    {
        QFETCH(int, n);
        const QList<int> cinquanta = serie(n, qMin(n, 50), -1);
        Schermo s;
        s.numerate(n);
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        auto totali = [](const QList<int> &ids) {
            const qint64 t = std::accumulate(ids.begin(), ids.end(), qint64(0));
            return QStringList{QString::number(t), QStringLiteral("0"), Modulo::FormattaNumero(double(t), 2)};
        };
        s.form.CaricaDati();
        QCOMPARE(s.ids(), cinquanta);
        QCOMPARE(s.totali(), totali(cinquanta));
        QElapsedTimer t;
        t.start();
        s.click("btn_tutti");
        qInfo("Vedi Tutti, %d rows: %lld ms", n, t.elapsed());
        QVERIFY(t.elapsed() < 10000);
        QCOMPARE(s.ids(), serie(n, n, -1));
        QCOMPARE(s.totali(), totali(serie(n, n, -1)));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        s.form.CaricaDati();   // back to the newest 50
        QCOMPARE(s.ids(), cinquanta);

        // the guard's message; list and details emptied, totals kept
        s.w("txtDescrizione1")->setText(QStringLiteral("X"));
        Modulo::ConnPrincipale().close();
        s.click("btn_tutti");
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QCOMPARE(s.lista()->righe(), 0);
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.totali(), totali(cinquanta));
        QVERIFY(s.form.isEnabled());
        QVERIFY(s.program.errors.isEmpty());
    }

    // The totals: purchase price times book and counted quantity, and their
    // difference. A value that converts to nothing ends the load through the
    // error form: the rows before it stay, the totals keep their previous text.
    void totali_data()
    {
        QTest::addColumn<QString>("righe");   // (price, book, counted, category, date, product), oldest first
        QTest::addColumn<QStringList>("attesi");
        QTest::addColumn<int>("listate");
        QTest::addColumn<double>("errore");
        const QStringList nessuno{"", "", ""};
        QTest::newRow("more counted") << "(1000, 1, 3, 0, NULL, 0)" << QStringList{"1000", "3000", "-2.000,00"} << 1 << 0.0;
        QTest::newRow("price 0, negative and fractional") << "(0, 5, 7, 0, NULL, 0), (99999999.99, -1.5, 0.25, 0, NULL, 0)"
                                                          << QStringList{"-149999999,985", "24999999,9975", "-174.999.999,98"}
                                                          << 2 << 0.0;
        QTest::newRow("sums of tenths") << "(0.1, 1, 2, 0, NULL, 0), (0.1, 2, 1, 0, NULL, 0)"
                                        << QStringList{"0,3", "0,3", "0,00"} << 2 << 0.0;
        QTest::newRow("no date") << "(1, 1, 1, 0, 'domani', 0), (1, 1, 1, 0, NULL, 0)" << nessuno << 1 << 13.0;
        QTest::newRow("category beyond 16 bits") << "(1, 1, 1, 32768, NULL, 0), (1, 1, 1, 0, NULL, 0)" << nessuno << 1 << 6.0;
        QTest::newRow("id beyond 32 bits") << "(1, 1, 1, 0, NULL, 2147483648), (1, 1, 1, 0, NULL, 0)" << nessuno << 1 << 6.0;
        // a counted quantity fails only at the totals, after its row is listed
        QTest::newRow("quantity is text") << "(1, 1, 'tanti', 0, NULL, 0), (1, 1, 1, 0, NULL, 0)" << nessuno << 2 << 13.0;
    }
    void totali()
    {
        QFETCH(QString, righe);
        QFETCH(QStringList, attesi);
        QFETCH(int, listate);
        QFETCH(double, errore);
        Schermo s;
        s.program.exec("INSERT INTO InventarioReale (PrezzoAcquisto, GiacenzaStatistica, GiacenzaReale, IDCategoria, "
                       "DataModifica, IDProdottoVentrox) VALUES "_L1 + righe);
        s.form.CaricaDati();
        QCOMPARE(s.totali(), attesi);
        QCOMPARE(s.lista()->righe(), listate);
        QCOMPARE(s.program.errors.size(), errore != 0 ? 1 : 0);
        if (errore != 0) {
            QCOMPARE(s.program.errors.at(0).number, errore);
            QVERIFY(s.program.errors.at(0).description.endsWith(QStringLiteral("(frmInventarioReale - CaricaDati )")));
        }
    }

    // A click on a row fills the detail fields and makes its product the chosen
    // one; both clearings empty the details and leave the count and the choice
    // alone, ClearFormSenzaNome the name and the code too.
    void clickSuRigaEClearForm()
    {
        Schermo s;
        s.numerate(2);
        s.program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, "
                                      "GiacenzaReale, GiacenzaStatistica, CodInterno, IDProdottoVentrox, IDProdottoEliminato) "
                                      "VALUES ('L''''ACQUA \u20ac', '8009999000017', 1234.5, 12.5, 2.5, -3, 'P00057', 0, 5001)"));
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        s.form.CaricaDati();
        s.w("txtCodice")->setText(QStringLiteral("800"));
        s.w("TxtCopieReali")->setText(QStringLiteral("4"));
        Modulo::ProdottoAttivo = true;
        Modulo::IdAttivoScelto = 99;
        Modulo::IdEliminatoScelto = 99;

        s.clicca(0);   // the newest row, a product of prodottiC
        // the ten detail fields, then two the click leaves alone
        const std::pair<const char *, const char *> attesi[] = {
            {"txtDescrizione1", "L'ACQUA \u20ac"}, {"txtQtaReale", "2,5"}, {"txtQta", "-3"}, {"txtPrVe1", "1234,5"},
            {"TxtDetCodiceLoro", "P00057"}, {"TxtBarcode", "8009999000017"}, {"TxtIdProdotto", "0"},
            {"txtProdeliminto", "5001"}, {"TxtIdInvReale", "3"}, {"txtPrezAcquisto", "12,5"}, {"txtCodice", "800"},
            {"TxtCopieReali", "4"}};
        for (const auto &[nome, testo] : attesi)
            QVERIFY2(s.testo(nome) == QString::fromUtf8(testo), qPrintable(QString::fromUtf8(nome) + ": "_L1 + s.testo(nome)));
        QCOMPARE(s.w("txtDescrizione1")->cursorPosition(), 0);   // shows its beginning
        QVERIFY(!Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 0.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 5001.0);
        QVERIFY(!s.w("TxtIdInvReale")->isVisible());

        for (auto svuota : {&frmInventario::ClearFormSenzaNome, &frmInventario::ClearForm}) {
            const bool nome = svuota == &frmInventario::ClearFormSenzaNome;
            s.clicca(2);   // a product of Prodotti replaces the choice
            QCOMPARE(s.testo("TxtIdInvReale"), QStringLiteral("1"));
            QVERIFY(Modulo::ProdottoAttivo);
            QCOMPARE(Modulo::IdEliminatoScelto, 0.0);
            s.w("txtNome")->setText(QStringLiteral("CAFFE"));   // runs the name search, which empties txtCodice
            s.w("txtCodice")->setText(QStringLiteral("800"));
            (s.form.*svuota)();
            for (int i = 0; i < 10; ++i)
                QVERIFY2(s.testo(attesi[i].first).isEmpty(), attesi[i].first);
            QCOMPARE(s.testo("txtNome"), nome ? QStringLiteral("CAFFE") : QString());
            if (nome)
                QCOMPARE(s.testo("txtCodice"), QStringLiteral("800"));
            QCOMPARE(s.testo("TxtCopieReali"), QStringLiteral("4"));
            QCOMPARE(Modulo::IdAttivoScelto, 1.0);   // the choice stays
        }
        QVERIFY(s.program.errors.isEmpty());
    }

    // "Seleziona Tutto" marks every row (and says so, even on an empty list)
    // with the window disabled meanwhile; "Deseleziona Tutto" unmarks silently.
    void marcature()
    {
        Schermo s;
        bool disabilitata = false;
        MsgBox::setHandler([&](const MsgBox::Call &call) {
            s.program.messages.append(call);
            disabilitata = !s.form.isEnabled();
            return int(MsgBox::Ok);
        });
        auto spuntate = [&] {
            int n = 0;
            for (int i = 0; i < s.lista()->righe(); ++i)
                n += s.lista()->index(i, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? 1 : 0;
            return n;
        };
        s.click("cmdSelezionaTutto");
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("Operazione Completata"));
        QVERIFY(disabilitata);

        s.numerate(120);
        s.click("btn_tutti");
        s.click("cmdSelezionaTutto");
        QCOMPARE(spuntate(), 120);
        s.click("cmdDeselezionaTutto");
        QCOMPARE(spuntate(), 0);
        QCOMPARE(s.program.messages.size(), 2);
        QVERIFY(s.form.isEnabled());
        // a reload brings every row back unchecked
        s.click("cmdSelezionaTutto");
        s.click("btn_tutti");
        QCOMPARE(s.lista()->righe(), 120);
        QCOMPARE(spuntate(), 0);
    }
};
INVENTARIO_TEST(TestLista)
#include "tst_lista.moc"
