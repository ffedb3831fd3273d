// The list of counted rows: columns, row texts, loading and totals, row clicks, marks, clearings.
#include "fixture/schermo.h"

using namespace Fixture;
using M = InventarioModel;

namespace {
// n rows numbered from 1 (product i): book quantity = number, counted 0, purchase price 1.
void numerate(Program &p, int n)
{
    p.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) INSERT INTO InventarioReale "
           "(DescProdotto, PrezzoAcquisto, GiacenzaReale, GiacenzaStatistica, DataModifica, IDProdottoVentrox) "
           "SELECT 'ARTICOLO ' || i, 1, 0, i, '01/12/2026', i FROM n WHERE i <= %1"_s.arg(n));
}
// The ids listed, against `n` ids counting down from `primo`.
void idsDa(const Schermo &s, int primo, int n)
{
    QList<int> ids, attesi;
    for (int i = 0; i < s.lista()->righe(); ++i)
        ids << s.cella(i, M::ColID).toInt();
    for (int i = 0; i < n; ++i)
        attesi << primo - i;
    QCOMPARE(ids, attesi);
}
int spuntate(const Schermo &s)
{
    return s.lista()->match(s.lista()->index(0, 0), Qt::CheckStateRole, Qt::Checked, -1, Qt::MatchExactly).size();
}
}   // namespace

class TestLista : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Columns come with the first load that reaches the database. Every column's text for a loaded row, a row of nulls
    // (empty text and 0, not the error form) and a counted row; at most 15 digits, comma, no grouping.
    void testiDellaRiga()
    {
        Schermo s(Program::Empty, false);
        s.program.exec(u"INSERT INTO InventarioReale (DescProdotto) VALUES (NULL)"_s);
        s.program.exec(
            u"INSERT INTO InventarioReale (PrezzoPubblico, PrezzoAcquisto, GiacenzaReale, GiacenzaStatistica, "
            "DataModifica, IDProdottoVentrox, IDProdottoEliminato, Modificato, UM, Categoria, IDCategoria) "
            "VALUES (0.1 + 0.2, 1234567.891, -0.5, 1234567890.123456, '02/01/2026', 0, 5001, '1', 'PZ', "
            "'Generico', 1000)"_s);
        QCOMPARE(s.lista()->columnCount(), 0);
        s.form.CaricaDati();
        QCOMPARE(s.lista()->columnCount(), 16);
        const char *const titoli[] = {"Descrizione", "ID", "UM", "Qt\u00e0 Reale", "Qta Ventrox", "PrezzoP",
            "CodInterno", "Barcode", "IDCategoria", "Categoria", "Data Inv.", "Modifica", "IVA", "PrezzoAcq.",
            "IdVentrox", "IdEliminato"};
        const int larghezze[] = {4000, 500, 600, 800, 800, 800, 1200, 0, 0, 0, 1000, 0, 0, 600, 1000, 1000};
        for (int c = 0; c < 16; ++c) {   // a column of width 0 is hidden
            QCOMPARE(s.lista()->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(titoli[c]));
            QCOMPARE(s.ui.lvwProdotti->isColumnHidden(c) ? 0 : s.ui.lvwProdotti->header()->sectionSize(c),
                qRound(larghezze[c] / 15.0));
        }
        const QString lunga = QString(10000, QChar(0x00e8)) + u"L''ACQUA \"\u20ac\""_s;
        s.form.CreaRigaLista(lunga, u"80\u20ac'1"_s, -7, u"Caff\u00e8"_s, u"N\u00b0"_s, u"P'01"_s, 1, 99999999.99, 0,
            u"2,5"_s, -1234.5, QDateTime(QDate(2026, 12, 5), QTime(9, 5, 1)), 57, 42, 0);
        const QList<QStringList> attese{{"", "2", "PZ", "-0,5", "1234567890,12346", "0,3", "", "", "1000", "Generico",
                                            "02/01/2026", "1", "", "1234567,891", "0", "5001"},
            {"", "1", "", "0", "0", "0", "", "", "0", "", "", "0", "", "0", "0", "0"},
            {lunga, "57", "N\u00b0", "2,5", "-1234,5", "99999999,99", "P'01", "80\u20ac'1", "-7", "Caff\u00e8",
                "05/12/2026 09:05:01", "1", "", "0", "42", "0"}};
        QCOMPARE(s.lista()->righe(), 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 16; ++c)
                QCOMPARE(s.lista()->index(r, c).data().toString(), attese[r][c]);
        // a check box in front of each row, unchecked
        QCOMPARE(s.lista()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!(s.lista()->flags(s.lista()->index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(s.program.errors.isEmpty());
    }

    // The newest 50 rows first, the totals over what is listed; "Vedi Tutti" lists everything, newest first too;
    // marking every row and none.
    void caricaDati()
    {
        const struct {
            int n;
            QStringList cinquanta, tutti;
        } casi[] = {{0, {"0", "0", "0,00"}, {"0", "0", "0,00"}}, {1, {"1", "0", "1,00"}, {"1", "0", "1,00"}},
            {51, {"1325", "0", "1.325,00"}, {"1326", "0", "1.326,00"}}};
        for (const auto &c : casi) {
            Schermo s(Program::Empty, false);
            numerate(s.program, c.n);
            s.form.CaricaDati();
            idsDa(s, c.n, qMin(c.n, 50));
            QCOMPARE(s.totali(), c.cinquanta);
            s.clic("btn_tutti");
            idsDa(s, c.n, c.n);
            QCOMPARE(s.totali(), c.tutti);
            // "Seleziona Tutto" marks every row, the window disabled, and says so; "Deseleziona Tutto" silently
            s.clic("cmdSelezionaTutto");
            QCOMPARE(spuntate(s), c.n);
            QVERIFY(s.messaggio() == "Operazione Completata"_L1 && s.program.messages[0].style == 0);
            QVERIFY(!s.program.windowEnabled[0] && s.form.isEnabled());
            s.clic("cmdDeselezionaTutto");
            QVERIFY(spuntate(s) == 0 && s.program.messages.size() == 1);
            QVERIFY(!QApplication::overrideCursor() && s.program.errors.isEmpty());
        }
        // price times book and counted quantity, and the difference; a bad value: the error form, nothing changed
        const struct {
            const char *righe;
            QStringList attesi;
            int listate;
            double errore;
        } totali[] = {{"(2.5, 10, 8, 0, NULL, 0)", {"25", "20", "5,00"}, 1, 0},
            {"(1000, 1, 3, 0, NULL, 0)", {"1000", "3000", "-2.000,00"}, 1, 0},
            {"(0, 5, 7, 0, NULL, 0), (99999999.99, -1.5, 0.25, 0, NULL, 0)",
                {"-149999999,985", "24999999,9975", "-174.999.999,98"}, 2, 0},
            {"(0.1, 1, 2, 0, NULL, 0), (0.1, 2, 1, 0, NULL, 0)", {"0,3", "0,3", "0,00"}, 2, 0},
            {"(1, 1, 1, 0, 'domani', 0), (1, 1, 1, 0, NULL, 0)", {"", "", ""}, 1, 13},
            {"(1, 1, 1, 32768, NULL, 0), (1, 1, 1, 0, NULL, 0)", {"", "", ""}, 1, 6},
            {"(1, 1, 1, -32768, NULL, 0), (1, 1, 1, 0, NULL, 2147483647)", {"2", "2", "0,00"}, 2, 0},
            {"(1, 1, 1, 0, NULL, 2147483648), (1, 1, 1, 0, NULL, 0)", {"", "", ""}, 1, 6},
            // a counted quantity fails only at the totals, after its row is listed
            {"(1, 1, 'tanti', 0, NULL, 0), (1, 1, 1, 0, NULL, 0)", {"", "", ""}, 2, 13}};
        for (const auto &c : totali) {
            Schermo s(Program::Empty, false);
            s.program.exec(
                "INSERT INTO InventarioReale (PrezzoAcquisto, GiacenzaStatistica, GiacenzaReale, IDCategoria, "
                "DataModifica, IDProdottoVentrox) VALUES "_L1
                + QLatin1String(c.righe));
            s.form.CaricaDati();
            QCOMPARE(s.totali(), c.attesi);
            QCOMPARE(s.lista()->righe(), c.listate);
            QCOMPARE(s.program.errors.value(0).number, c.errore);
            if (c.errore != 0)
                QVERIFY(s.program.errors.at(0).description.endsWith("(frmInventarioReale - CaricaDati )"_L1));
        }
    }
};
INVENTARIO_TEST(TestLista)
#include "tst_lista.moc"
