// The list of counted rows on the main screen: its columns and row texts,
// loading it with the totals, clicking a row, marking all rows, and the two
// routines that empty the detail fields.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/formatta.h"
#include "platform/regional.h"
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

namespace {

using M = InventarioModel;

// The detail fields, in the order the clearing empties them.
const char *const kDettagli[] = {"TxtIdProdotto", "txtDescrizione1", "txtPrVe1", "txtQta", "txtQtaReale",
                                 "TxtDetCodiceLoro", "txtProdeliminto", "TxtIdInvReale", "txtPrezAcquisto",
                                 "TxtBarcode"};

// A row of InventarioReale as SQL values; a null QVariant is NULL.
struct Riga {
    QVariant descrizione = QStringLiteral("ARTICOLO");
    QVariant barcode = QStringLiteral("8001230000019");
    QVariant prezzoPubblico = 2.0;
    QVariant prezzoAcquisto = 1.0;
    QVariant idCategoria = 1000;
    QVariant categoria = QStringLiteral("Generico");
    QVariant um = QStringLiteral("N\u00b0");
    QVariant modificato = QStringLiteral("0");
    QVariant giacenzaReale = 1.0;
    QVariant giacenzaStatistica = 1.0;
    QVariant dataModifica = QStringLiteral("01/12/2026");
    QVariant idVentrox = 1;
    QVariant idEliminato = 0;
    QVariant codInterno = QStringLiteral("P00001");
};

QString sql(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::QString)
        return QLatin1Char('\'') + Valori::testo(v.toString()) + QLatin1Char('\'');
    return Regional::sqlNumber(v.toDouble());
}

// The main screen on its own database, connected, with the list's columns.
struct Schermo {
    Fixture::Program program;
    frmInventario form;

    explicit Schermo(Fixture::Program::Data data = Fixture::Program::Empty) : program(data)
    {
        program.connect();
        form.ImpostaColonne();
    }

    template <class T = QLineEdit>
    T *w(const char *name) const
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QString testo(const char *name) const { return w(name)->text(); }
    QTreeView *vista() const { return w<QTreeView>("lvwProdotti"); }
    InventarioModel *lista() const { return form.modelloLista(); }
    QStringList totali() const { return {testo("TxtTotStatistico"), testo("TxtTotReale"), testo("TxtDiff")}; }

    void inserisci(const Riga &r)
    {
        program.exec(QStringLiteral("INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, "
                                    "IVA, IDCategoria, Categoria, UM, Modifica, Modificato, GiacenzaReale, "
                                    "GiacenzaStatistica, DataModifica, IDProdottoVentrox, IDProdottoEliminato, "
                                    "CodInterno) VALUES (")
                     + QStringList{sql(r.descrizione), sql(r.barcode), sql(r.prezzoPubblico), sql(r.prezzoAcquisto),
                                   QStringLiteral("0"), sql(r.idCategoria), sql(r.categoria), sql(r.um),
                                   QStringLiteral("'0'"), sql(r.modificato), sql(r.giacenzaReale),
                                   sql(r.giacenzaStatistica), sql(r.dataModifica), sql(r.idVentrox),
                                   sql(r.idEliminato), sql(r.codInterno)}
                           .join(QStringLiteral(", "))
                     + QLatin1Char(')'));
    }

    // n rows numbered from 1: book quantity = number, counted 0, price 1.
    void numerate(int n)
    {
        if (n == 0)
            return;
        program.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                    "INSERT INTO InventarioReale (DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, "
                                    "IVA, IDCategoria, Categoria, UM, Modifica, Modificato, GiacenzaReale, "
                                    "GiacenzaStatistica, DataModifica, IDProdottoVentrox, IDProdottoEliminato, "
                                    "CodInterno) SELECT 'ARTICOLO ' || i, '80' || i, 2, 1, 0, 1000, 'Generico', "
                                    "'N\u00b0', '0', '0', 0, i, '01/12/2026', i, 0, 'P' || i FROM n")
                         .arg(n));
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
        const QModelIndex index = lista()->index(row, M::ColDescrizione);
        QTest::mouseClick(vista()->viewport(), Qt::LeftButton, {}, vista()->visualRect(index).center());
    }
};

// The ids from `from` down to `to`.
QList<int> scendendo(int from, int to)
{
    QList<int> out;
    for (int i = from; i >= to; --i)
        out << i;
    return out;
}

// The ids 1 to n.
QList<int> primi(int n)
{
    QList<int> out;
    for (int i = 1; i <= n; ++i)
        out << i;
    return out;
}

} // namespace

class TestLista : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colonne()
    {
        Fixture::Program program;
        frmInventario form;
        QCOMPARE(form.modelloLista()->columnCount(), 0);   // until the start-up sets them up

        // a start without connection sets up none; the first load that
        // reaches the database does
        program.connect();
        form.CaricaDati();
        QTreeView *vista = form.findChild<QTreeView *>(QStringLiteral("lvwProdotti"));
        const QStringList titoli{"Descrizione", "ID", "UM", "Qt\u00e0 Reale", "Qta Ventrox", "PrezzoP",
                                 "CodInterno", "Barcode", "IDCategoria", "Categoria", "Data Inv.", "Modifica",
                                 "IVA", "PrezzoAcq.", "IdVentrox", "IdEliminato"};
        const int twips[] = {4000, 500, 600, 800, 800, 800, 1200, 0, 0, 0, 1000, 0, 0, 600, 1000, 1000};
        QCOMPARE(form.modelloLista()->columnCount(), 16);
        for (int c = 0; c < 16; ++c) {
            QCOMPARE(form.modelloLista()->headerData(c, Qt::Horizontal).toString(), titoli.at(c));
            QCOMPARE(vista->isColumnHidden(c), twips[c] == 0);
            if (twips[c] != 0)
                QCOMPARE(vista->header()->sectionSize(c), qRound(twips[c] / 15.0));
        }
    }

    // Every column's text, shown or hidden, as a row carries it.
    void testiDellaRiga()
    {
        Schermo s;
        const QString lunga = QString(10000, QChar(0x00e8)) + QStringLiteral("L''ACQUA \"\u20ac\"");
        s.form.CreaRigaLista(lunga, QStringLiteral("80\u20ac'1"), -7, QStringLiteral("Caff\u00e8"),
                             QStringLiteral("N\u00b0"), QStringLiteral("P'01"), 1, 99999999.99, 0, QStringLiteral("2,5"),
                             -1234.5, QDateTime(QDate(2026, 12, 5), QTime(0, 0)), 57, 42, 0);
        s.form.CreaRigaLista(QString(), QString(), 0, QString(), QString(), QString(), 0, 0.1 + 0.2, 1234567.891,
                             QString(), 0.001, QDateTime(QDate(2026, 1, 2), QTime(9, 5, 1)), 0, 0, 5001);
        s.form.CreaRigaLista(QStringLiteral("NO DATE"), QString(), 0, QString(), QString(), QString(), 0, 0, 0,
                             QStringLiteral("-0,5"), 0, QDateTime(), 3, 0, 0);

        const QStringList prima{lunga, "57", "N\u00b0", "2,5", "-1234,5", "99999999,99", "P'01", "80\u20ac'1",
                                "-7", "Caff\u00e8", "05/12/2026", "1", "", "0", "42", "0"};
        const QStringList seconda{"", "0", "", "0", "0,001", "0,3", "", "", "0", "", "02/01/2026 09:05:01", "0",
                                  "", "1234567,891", "0", "5001"};
        QCOMPARE(s.lista()->righe(), 3);
        for (int c = 0; c < 16; ++c) {
            // the text the view gets, hidden column or not
            QCOMPARE(s.lista()->index(0, c).data().toString(), prima.at(c));
            QCOMPARE(s.lista()->index(1, c).data().toString(), seconda.at(c));
        }
        QCOMPARE(s.lista()->text(2, M::ColQtaReale), QStringLiteral("-0,5"));
        QCOMPARE(s.lista()->text(2, M::ColDataInv), QString());
        // rows arrive unchecked, with a check box in front
        QCOMPARE(s.lista()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(s.lista()->flags(s.lista()->index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(s.lista()->flags(s.lista()->index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(s.program.errors.isEmpty());
    }

    // Number text: at most 15 significant digits, decimal comma, no grouping.
    void numeri_data()
    {
        QTest::addColumn<double>("valore");
        QTest::addColumn<QString>("testo");
        QTest::newRow("0") << 0.0 << "0";
        QTest::newRow("1000") << 1000.0 << "1000";
        QTest::newRow("0.125") << 0.125 << "0,125";
        QTest::newRow("0.375") << 0.375 << "0,375";
        QTest::newRow("-1234.5") << -1234.5 << "-1234,5";
        QTest::newRow("1234567.891") << 1234567.891 << "1234567,891";
        QTest::newRow("0.001") << 0.001 << "0,001";
        QTest::newRow("price ceiling") << 99999999.99 << "99999999,99";
        QTest::newRow("16 digits") << 1234567890.123456 << "1234567890,12346";
    }
    void numeri()
    {
        QFETCH(double, valore);
        QFETCH(QString, testo);
        Schermo s;
        s.form.CreaRigaLista(QString(), QString(), 0, QString(), QString(), QString(), 0, valore, valore,
                             QString(), valore, QDateTime(), 1, 1, 0);
        QCOMPARE(s.lista()->text(0, M::ColQtaVentrox), testo);
        QCOMPARE(s.lista()->text(0, M::ColPrezzoP), testo);
        QCOMPARE(s.lista()->text(0, M::ColPrezzoAcq), testo);
    }

    // The newest 50 rows first, the totals over what is listed; "Vedi Tutti"
    // lists everything in the table's order.
    void caricaDati_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("cinquanta");
        QTest::newRow("empty") << 0 << QList<int>();
        QTest::newRow("one") << 1 << QList<int>{1};
        QTest::newRow("50") << 50 << scendendo(50, 1);
        QTest::newRow("51") << 51 << scendendo(51, 2);
    }
    void caricaDati()
    {
        QFETCH(int, n);
        QFETCH(QList<int>, cinquanta);
        Schermo s;
        s.numerate(n);
        auto somma = [](const QList<int> &ids) {
            int t = 0;
            for (int i : ids)
                t += i;
            return t;
        };

        s.form.CaricaDati();
        QCOMPARE(s.ids(), cinquanta);
        QCOMPARE(s.totali(), QStringList({QString::number(somma(cinquanta)), QStringLiteral("0"),
                                          Modulo::FormattaNumero(double(somma(cinquanta)), 2)}));

        QTest::mouseClick(s.w<QPushButton>("btn_tutti"), Qt::LeftButton);
        QCOMPARE(s.ids(), primi(n));
        QCOMPARE(s.totali(), QStringList({QString::number(somma(primi(n))), QStringLiteral("0"),
                                          Modulo::FormattaNumero(double(somma(primi(n))), 2)}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        s.form.CaricaDati();   // back to the newest 50
        QCOMPARE(s.ids(), cinquanta);
        QVERIFY(s.program.messages.isEmpty());
        QVERIFY(s.program.errors.isEmpty());
    }

    void totali_data()
    {
        QTest::addColumn<QList<double>>("prezzi");       // purchase price, book, counted per row
        QTest::addColumn<QStringList>("attesi");
        QTest::newRow("none") << QList<double>() << QStringList{"0", "0", "0,00"};
        QTest::newRow("fewer counted") << QList<double>{2.5, 10, 8} << QStringList{"25", "20", "5,00"};
        QTest::newRow("more counted") << QList<double>{1000, 1, 3} << QStringList{"1000", "3000", "-2.000,00"};
        QTest::newRow("price 0, negative and fractional")
            << QList<double>{0, 5, 7, 99999999.99, -1.5, 0.25}
            << QStringList{"-149999999,985", "24999999,9975", "-174.999.999,98"};
        QTest::newRow("sums of tenths") << QList<double>{0.1, 1, 2, 0.1, 2, 1} << QStringList{"0,3", "0,3", "0,00"};
    }
    void totali()
    {
        QFETCH(QList<double>, prezzi);
        QFETCH(QStringList, attesi);
        Schermo s;
        for (int i = 0; i + 2 < prezzi.size(); i += 3) {
            Riga r;
            r.prezzoAcquisto = prezzi.at(i);
            r.giacenzaStatistica = prezzi.at(i + 1);
            r.giacenzaReale = prezzi.at(i + 2);
            s.inserisci(r);
        }
        s.form.CaricaDati();
        QCOMPARE(s.totali(), attesi);
        QCOMPARE(s.lista()->righe(), prezzi.size() / 3);
    }

    // Nulls are listed as empty text and 0, not turned into the error form.
    void valoriNull()
    {
        Schermo s;
        Riga vuota;
        for (QVariant *v : {&vuota.descrizione, &vuota.barcode, &vuota.prezzoPubblico, &vuota.prezzoAcquisto,
                            &vuota.idCategoria, &vuota.categoria, &vuota.um, &vuota.modificato, &vuota.giacenzaReale,
                            &vuota.giacenzaStatistica, &vuota.dataModifica, &vuota.idVentrox, &vuota.idEliminato,
                            &vuota.codInterno})
            *v = QVariant();
        s.inserisci(vuota);
        Riga barcodeNull;
        barcodeNull.barcode = QVariant();
        s.inserisci(barcodeNull);

        s.form.CaricaDati();
        QVERIFY(s.program.errors.isEmpty());
        QCOMPARE(s.lista()->righe(), 2);
        QCOMPARE(s.lista()->text(0, M::ColBarcode), QString());
        QCOMPARE(s.lista()->text(0, M::ColDescrizione), QStringLiteral("ARTICOLO"));
        const QStringList vuoti{"", "1", "", "0", "0", "0", "", "", "0", "", "", "0", "", "0", "0", "0"};
        for (int c = 0; c < 16; ++c)
            QCOMPARE(s.lista()->text(1, c), vuoti.at(c));
        QCOMPARE(s.totali(), QStringList({"1", "1", "0,00"}));
    }

    // A value that converts to nothing ends the load through the error form;
    // the rows before it stay, the totals keep the previous text.
    void valoriNonConvertibili_data()
    {
        QTest::addColumn<QString>("colonna");
        QTest::addColumn<QString>("valore");
        QTest::addColumn<double>("numero");
        QTest::newRow("no date") << "DataModifica" << "'domani'" << 13.0;
        QTest::newRow("category beyond 16 bits") << "IDCategoria" << "32768" << 6.0;
        QTest::newRow("flag is text") << "Modificato" << "'si'" << 13.0;
        QTest::newRow("id beyond 32 bits") << "IDProdottoVentrox" << "2147483648" << 6.0;
        QTest::newRow("quantity is text") << "GiacenzaReale" << "'tanti'" << 13.0;
    }
    void valoriNonConvertibili()
    {
        QFETCH(QString, colonna);
        QFETCH(QString, valore);
        QFETCH(double, numero);
        Schermo s;
        s.numerate(4);
        s.program.exec(QStringLiteral("UPDATE InventarioReale SET %1 = %2 WHERE IDInventarioReale = 3").arg(colonna, valore));
        s.form.CaricaDati();
        QCOMPARE(s.program.errors.size(), 1);
        QCOMPARE(s.program.errors.at(0).number, numero);
        QVERIFY(s.program.errors.at(0).description.endsWith(QStringLiteral("(frmInventarioReale - CaricaDati )")));
        // a counted quantity fails only at the totals, after its row is listed
        const QList<int> listate = colonna == QLatin1String("GiacenzaReale") ? QList<int>{4, 3} : QList<int>{4};
        QCOMPARE(s.ids(), listate);
        QCOMPARE(s.totali(), QStringList({"", "", ""}));
    }

    void nonConnesso()
    {
        Schermo s;
        s.numerate(3);
        s.form.CaricaDati();
        const QStringList prima = s.totali();
        s.w("txtDescrizione1")->setText(QStringLiteral("X"));
        Modulo::ConnPrincipale().close();

        QTest::mouseClick(s.w<QPushButton>("btn_tutti"), Qt::LeftButton);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QCOMPARE(s.program.messages.at(0).title, QStringLiteral("Attenzione!!"));
        QCOMPARE(s.program.messages.at(0).style, 16);
        QCOMPARE(s.lista()->righe(), 0);
        QCOMPARE(s.testo("txtDescrizione1"), QString());
        QCOMPARE(s.totali(), prima);
        QVERIFY(s.form.isEnabled());
        QVERIFY(s.program.errors.isEmpty());
    }

    // The start-up of the screen on the demo data.
    void avvio()
    {
        Fixture::Program program(Fixture::Program::Demo);
        frmInventario form;
        form.Form_Load();
        const int righe = program.scalar(QStringLiteral("SELECT COUNT(*) FROM InventarioReale")).toInt();
        QVERIFY(righe > 0);
        QCOMPARE(form.modelloLista()->columnCount(), 16);
        QCOMPARE(form.modelloLista()->righe(), qMin(righe, 50));
        QVERIFY(!form.findChild<QLineEdit *>(QStringLiteral("TxtTotStatistico"))->text().isEmpty());
        QVERIFY(form.findChild<QLineEdit *>(QStringLiteral("TxtDiff"))->text().contains(QLatin1Char(',')));
        QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("TxtCopieReali"))->text(), QStringLiteral("1"));
        QVERIFY(program.errors.isEmpty());
        QVERIFY(program.messages.isEmpty());
    }

    void clearForm()
    {
        Schermo s;
        Modulo::ProdottoAttivo = true;
        Modulo::IdAttivoScelto = 57;
        Modulo::IdEliminatoScelto = 0;
        auto riempi = [&](const QString &nome) {
            for (const char *name : kDettagli)
                s.w(name)->setText(QStringLiteral("pieno"));
            s.w("txtNome")->setText(nome);   // a change runs the name search, which empties txtCodice
            s.w("txtCodice")->setText(QStringLiteral("P00001"));
            s.w("TxtCopieReali")->setText(QStringLiteral("3"));
        };
        auto verifica = [&] {
            for (const char *name : kDettagli)
                QCOMPARE(s.testo(name), QString());
            QCOMPARE(s.testo("TxtCopieReali"), QStringLiteral("3"));
            QVERIFY(Modulo::ProdottoAttivo);
            QCOMPARE(Modulo::IdAttivoScelto, 57.0);
        };

        riempi(QString());
        s.form.ClearForm();
        verifica();
        QCOMPARE(s.testo("txtCodice"), QStringLiteral("P00001"));

        riempi(QStringLiteral("CAFFE"));
        s.form.ClearFormSenzaNome();
        verifica();
        QCOMPARE(s.testo("txtNome"), QStringLiteral("CAFFE"));
        QCOMPARE(s.testo("txtCodice"), QStringLiteral("P00001"));

        riempi(QStringLiteral("CAFFE"));
        s.form.ClearForm();
        verifica();
        QCOMPARE(s.testo("txtNome"), QString());
        QVERIFY(s.program.errors.isEmpty());
    }

    // A click on a row makes its product the chosen one.
    void clickSuRiga_data()
    {
        QTest::addColumn<int>("idVentrox");
        QTest::addColumn<int>("idEliminato");
        QTest::newRow("from prodottiC") << 0 << 5001;
        QTest::newRow("from Prodotti") << 57 << 0;
    }
    void clickSuRiga()
    {
        QFETCH(int, idVentrox);
        QFETCH(int, idEliminato);
        Schermo s;
        s.numerate(2);
        Riga r;
        r.descrizione = QStringLiteral("L''ACQUA \u20ac");
        r.barcode = QStringLiteral("8009999000017");
        r.prezzoPubblico = 1234.5;
        r.prezzoAcquisto = 12.5;
        r.giacenzaReale = 2.5;
        r.giacenzaStatistica = -3.0;
        r.codInterno = QStringLiteral("P00057");
        r.idVentrox = idVentrox;
        r.idEliminato = idEliminato;
        s.inserisci(r);
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        s.form.CaricaDati();
        QCOMPARE(s.ids(), QList<int>({3, 2, 1}));
        s.w("txtCodice")->setText(QStringLiteral("800"));
        s.w("TxtCopieReali")->setText(QStringLiteral("4"));
        s.w("txtPrezAcquisto")->setText(QStringLiteral("vecchio"));
        Modulo::ProdottoAttivo = idVentrox == 0;
        Modulo::IdAttivoScelto = 99;
        Modulo::IdEliminatoScelto = 99;

        s.clicca(0);
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("L'ACQUA \u20ac"));
        QCOMPARE(s.w("txtDescrizione1")->cursorPosition(), 0);   // shows its beginning
        QCOMPARE(s.testo("txtQtaReale"), QStringLiteral("2,5"));
        QCOMPARE(s.testo("txtQta"), QStringLiteral("-3"));
        QCOMPARE(s.testo("txtPrVe1"), QStringLiteral("1234,5"));
        QCOMPARE(s.testo("TxtDetCodiceLoro"), QStringLiteral("P00057"));
        QCOMPARE(s.testo("TxtBarcode"), QStringLiteral("8009999000017"));
        QCOMPARE(s.testo("TxtIdProdotto"), QString::number(idVentrox));
        QCOMPARE(s.testo("txtProdeliminto"), QString::number(idEliminato));
        QCOMPARE(s.testo("TxtIdInvReale"), QStringLiteral("3"));
        QCOMPARE(s.testo("txtPrezAcquisto"), QStringLiteral("12,5"));
        QCOMPARE(Modulo::ProdottoAttivo, idVentrox != 0);
        QCOMPARE(Modulo::IdAttivoScelto, double(idVentrox));
        QCOMPARE(Modulo::IdEliminatoScelto, double(idEliminato));
        QCOMPARE(s.testo("txtCodice"), QStringLiteral("800"));
        QCOMPARE(s.testo("TxtCopieReali"), QStringLiteral("4"));
        QVERIFY(!s.w("TxtIdInvReale")->isVisible());

        // another row replaces the choice
        s.clicca(2);
        QCOMPARE(s.testo("TxtIdInvReale"), QStringLiteral("1"));
        QCOMPARE(s.testo("txtDescrizione1"), QStringLiteral("ARTICOLO 1"));
        QVERIFY(Modulo::ProdottoAttivo);
        QCOMPARE(Modulo::IdAttivoScelto, 1.0);
        QCOMPARE(Modulo::IdEliminatoScelto, 0.0);
        QVERIFY(s.program.errors.isEmpty());
    }

    void marcature()
    {
        Schermo s;
        QPushButton *tutto = s.w<QPushButton>("cmdSelezionaTutto");
        QPushButton *niente = s.w<QPushButton>("cmdDeselezionaTutto");
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

        // an empty list: still the message from "Seleziona Tutto", none from the other
        QTest::mouseClick(tutto, Qt::LeftButton);
        QCOMPARE(s.program.messages.size(), 1);
        QCOMPARE(s.program.messages.at(0).prompt, QStringLiteral("Operazione Completata"));
        QCOMPARE(s.program.messages.at(0).style, 0);
        QCOMPARE(s.program.messages.at(0).title, MsgBox::applicationTitle());
        QVERIFY(disabilitata);
        QVERIFY(s.form.isEnabled());
        QTest::mouseClick(niente, Qt::LeftButton);
        QCOMPARE(s.program.messages.size(), 1);

        s.numerate(120);
        QTest::mouseClick(s.w<QPushButton>("btn_tutti"), Qt::LeftButton);
        s.lista()->setChecked(5, true);
        QTest::mouseClick(tutto, Qt::LeftButton);
        QCOMPARE(spuntate(), 120);
        QCOMPARE(s.program.messages.size(), 2);
        QVERIFY(s.form.isEnabled());

        QTest::mouseClick(niente, Qt::LeftButton);
        QCOMPARE(spuntate(), 0);
        QCOMPARE(s.program.messages.size(), 2);
        QVERIFY(s.form.isEnabled());

        // a reload brings every row back unchecked
        QTest::mouseClick(tutto, Qt::LeftButton);
        QTest::mouseClick(s.w<QPushButton>("btn_tutti"), Qt::LeftButton);
        QCOMPARE(s.lista()->righe(), 120);
        QCOMPARE(spuntate(), 0);
    }

    // 100,000 rows through "Vedi Tutti" (the time is printed; the bound only
    // catches a load that has turned quadratic).
    void centomilaRighe()
    {
        Schermo s;
        s.numerate(100000);
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        QElapsedTimer t;
        t.start();
        s.form.btn_tutti_Click();
        const qint64 ms = t.elapsed();
        qInfo("Vedi Tutti, 100000 rows: %lld ms", ms);
        QCOMPARE(s.lista()->righe(), 100000);
        QCOMPARE(s.lista()->text(99999, M::ColID), QStringLiteral("100000"));
        QCOMPARE(s.testo("TxtTotStatistico"), QStringLiteral("5000050000"));
        QVERIFY2(ms < 10000, qPrintable(QString::number(ms)));
        // the rows of a full list are freed while the next load runs
        s.form.CaricaDati();
        QCOMPARE(s.lista()->righe(), 50);
        QCOMPARE(s.lista()->text(0, M::ColID), QStringLiteral("100000"));
        QVERIFY(s.program.errors.isEmpty());
    }
};
INVENTARIO_TEST(TestLista)
#include "tst_lista.moc"
