// Saving a count: inserts and updates on one row, stations saving the same product at once; and against a stand-in SQL
// Server recording what FreeTDS sends: batches or prepared executions, the session, real columns, deadlocks.
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "records/registro.h"
#include "records/salvataggio.h"

#include <QSemaphore>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A product as the search loads it from Prodotti, and one from prodottiC as a list row's click shows it.
const Salvataggio::Campi kPasta{u"CAFFE' MACINATO"_s, u"8001230009045"_s, u"1.234,50 \u20ac"_s, u"999,99 \u20ac"_s,
    u"P00042"_s, u"12"_s, u"42"_s, u"0"_s, u"3"_s, true};
const Salvataggio::Campi kVecchia{u"PASTA 1KG VECCHIA CONF."_s, u"8001230000019"_s, u"12,5"_s, u"0,98"_s, u"C00001"_s,
    QString(), u"0"_s, u"5001"_s, u"2,5"_s, false};
const QDate kOggi(2026, 12, 13);

// Saves `campi`, counting `quantita` when given.
Salvataggio::Esito salva(Connection &c, Salvataggio::Campi campi, const QString &quantita = {})
{
    if (!quantita.isNull())
        campi.quantita = quantita;
    return Salvataggio::salva(c, Salvataggio::prepara(campi, kOggi));
}

// The login as stored, byte for byte, then the session (Qt's ODBC driver asks for the timestamp type first under
// unixODBC; its Windows build does not).
const QStringList kSessione = {u"login: sa|"_s + Fixture::kPassword + u"|Ventrox"_s,
#ifndef Q_OS_WIN
    u"batch: sp_datatype_info_100 11"_s,
#endif
    u"rpc sp_cursoropen: SET QUOTED_IDENTIFIER ON"_s,
    u"batch: SET DATEFORMAT dmy; SET LOCK_TIMEOUT 30000; SET QUOTED_IDENTIFIER ON"_s};
// What the lookup of a batch found, as the batch gives it back once committed: nothing, then key 19 with 2 counted. The
// lookup of product 43 is refused three times as a deadlock's victim, 42's as out of time once, 44's names a table the
// server cannot resolve; the list's statement refused once after the commit.
const QByteArray kRighe = R"j([
  {"match": "=43\\) AS Trovata", "error": 1205, "times": 3},
  {"match": "=42\\) AS Trovata", "error": 1222, "times": 1},
  {"match": "=44\\) AS Trovata", "error": [208, "Invalid object name 'InventarioReale'."]},
  {"match": "^SELECT TOP 50", "error": 1205, "times": 1},
  {"match": "AS Trovata,", "times": 1, "columns": [["Trovata", "int"], ["IDInventarioReale", "int"],
   ["GiacenzaReale", "float"]], "rows": [[0, null, null]]},
  {"match": "AS Trovata,", "columns": [["Trovata", "int"], ["IDInventarioReale", "int"], ["GiacenzaReale", "float"]],
   "rows": [[1, 19, 2]]}])j";
const QByteArray kProdotti = R"j([{"match": "Prodotti", "columns": [["IDProdotto", "int"], ["PrezzoPubblico", "real"],
  ["Giacenza", "real"], ["Descrizione", "varchar(20)"]],
  "rows": [[1, 12.3, 0.1, "CAFFE"], [2, 123456.7, 1234.5, "PASTA"], [3, null, null, "SALE"]]}])j";
const QString kInserisci43 =
    u"INSERT INTO InventarioReale       (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,"
    "IDCategoria,Categoria,UM,Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,"
    "IDProdottoVentrox,IDProdottoEliminato,CodInterno) VALUES (N'T\u00c8 VERDE \u03a9''', N'800', 3.90 ,2.00 ,"
    "0,1000, N'Generico', N'N\u00b0','0', '0', 2, 5, '13/12/2026', 43,0 ,N'P43') "_s;
const QString kCerca = u"SELECT * FROM   InventarioReale WITH (UPDLOCK, HOLDLOCK) where IDProdottoVentrox="_s;
const QString kElenco = u"SELECT TOP 50 * FROM   InventarioReale ORDER BY IDInventarioReale DESC"_s;
const Salvataggio::Campi kNuovo{u"T\u00c8 VERDE \u03a9'"_s, u"800"_s, u"3,90 \u20ac"_s, u"2,00 \u20ac"_s, u"P43"_s,
    u"5"_s, u"43"_s, u"0"_s, u"2"_s, true};
const Salvataggio::Campi kContato{u"T\u00c8 VERDE \u03a9'"_s, u"800"_s, u"3,90 \u20ac"_s, u"2,00 \u20ac"_s, u"P43"_s,
    u"5"_s, u"42"_s, u"0"_s, u"3"_s, true};   // the same, counted already under 42

}   // namespace

class TestSalvataggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stationsSavingTheSameProductAtOnce()
    {
        Fixture::Program program;
        const QStringList quantita = {u"1"_s, u"2,5"_s, u"-0,5"_s};   // 150 saves each: 450 on either row
        QStringList errori(quantita.size());
        QSemaphore partenza;
        std::vector<std::unique_ptr<QThread>> stazioni;
        for (int n = 0; n < quantita.size(); ++n) {
            stazioni.emplace_back(QThread::create([&, n] {
                try {
                    Connection c;
                    c.open(program.connectionString());
                    partenza.acquire();   // all start together
                    for (int i = 0; i < 150; ++i)
                        salva(c, kPasta, quantita[n]), salva(c, kVecchia, quantita[n]);
                } catch (const RuntimeError &e) {
                    errori[n] = e.description();
                }
            }));
            stazioni.back()->start();
        }
        partenza.release(3);
        for (const auto &s : stazioni)
            s->wait();
        QCOMPARE(errori, QStringList(quantita.size()));
        QCOMPARE(program.rows(
                     u"SELECT IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale FROM InventarioReale ORDER BY 1"_s),
            (QList<QVariantList>{{0, 5001, 450.0}, {42, 0, 450.0}}));
    }
    // The session set up by batches; real columns read as values.
    void sessioneEColonneReal()
    {
        START_RECORDER(rec, kProdotti);
        Connection c;
        c.open(rec.connectionString());
        QCOMPARE(rec.log(), kSessione);
        Recordset rs(c, u"Select *  FROM Prodotti WHERE IDProdotto = 1"_s);
        const struct {
            double prezzo, giacenza;
            QString descrizione;
        } righe[] = {{12.3, 0.1, u"CAFFE"_s}, {123456.7, 1234.5, u"PASTA"_s}, {0, 0, u"SALE"_s}};
        for (const auto &r : righe) {
            QCOMPARE(rs.field(u"descrizione"_s).toString(), r.descrizione);   // a later column first
            QCOMPARE(rs.field(u"Giacenza"_s).toDouble(), r.giacenza);
            QCOMPARE(rs.value(rs.fieldIndex(u"PrezzoPubblico"_s)).toDouble(), r.prezzo);
            QCOMPARE(rs.field(u"PrezzoPubblico"_s).isNull(), r.prezzo == 0);
            rs.moveNext();
        }
        QVERIFY(rs.eof());
        // a read the driver refuses is its error, as any other read's, never an empty value
        static const Db::GetData driver = Db::getData();
        Db::setGetData(
            [](void *statement, unsigned short column, short type, void *value, qintptr size, qintptr *indicator) {
                return driver(statement, column + 100, type, value, size, indicator);
            });
        const auto restore = qScopeGuard([] { Db::setGetData(nullptr); });
        try {
            Recordset(c, u"Select *  FROM Prodotti WHERE IDProdotto = 1"_s);
            QFAIL("the read must fail");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), ErrNo::DbStatementFailure);
            QCOMPARE(e.description(), u"[FreeTDS][SQL Server]Column out of range"_s);
        }
    }
    // A save is one batch: the transaction begun with XACT_ABORT, the lookup holding the row, the insert with the
    // values to store or the update adding on the server, the commit, then the list. The delete and the editor's update
    // go alone.
    void statementsAreBatchesOrPrepared()
    {
        START_RECORDER(rec, kRighe.mid(kRighe.indexOf("{\"match\": \"AS Trovata,")).prepend('['));
        Connection c;
        c.open(rec.connectionString());
        rec.log();
        QVERIFY(salva(c, kNuovo).inserita);
        QList<QVariantList> lista;
        const Salvataggio::Esito esito = Salvataggio::salva(c, Salvataggio::prepara(kContato, kOggi), kElenco,
            [&](const Salvataggio::Esito &, const std::function<Recordset &()> &righe) {
                for (Recordset &rs = righe(); !rs.eof(); rs.moveNext())
                    lista << QVariantList{rs.field(u"n"_s)};
            });
        QVERIFY(!esito.inserita && esito.totale == 5.0 && esito.chiave == u"19"_s);
        QCOMPARE(lista, QList<QVariantList>{{1}});   // the list's rows, the batch's last result
        Registro::eliminaRiga(c, u"19"_s);
        c.execute(u"UPDATE Prodotti SET Barcode = ? WHERE IdProdotto = ?"_s, {u"8"_s, 42});
        const QStringList log = rec.log();
        QCOMPARE(log.mid(2), (QStringList{u"batch: DELETE FROM InventarioReale where idinventarioReale=19"_s,
                                 u"rpc sp_prepexec: UPDATE Prodotti SET Barcode = @P1 WHERE IdProdotto = @P2"_s}));
        const QStringList nuovo = log.value(0).split(u'\n'), contato = log.value(1).split(u'\n');
        QCOMPARE(nuovo.mid(0, 2), (QStringList{u"batch: SET XACT_ABORT ON"_s, u"BEGIN TRANSACTION"_s}));
        QVERIFY(nuovo.value(3).contains(kCerca + u"43) AS Trovata"_s));
        QVERIFY(nuovo.value(4).startsWith(u"IF @Trovata = 0 "_s + kInserisci43 + u" ELSE  UPDATE"_s));
        QVERIFY(contato.value(4).endsWith(u"GiacenzaReale = ISNULL(@GiacenzaReale, 0) + 3 WHERE  IDInventarioReale = "
                                          "@IDInventarioReale"_s));
        QCOMPARE(contato.mid(5, 1) + contato.mid(7), (QStringList{u"COMMIT TRANSACTION"_s, kElenco}));
    }
    // A deadlock's victim is saved once more, the whole batch again. A second deadlock, a lock out of time or a name
    // the server cannot resolve (which leaves the transaction open, XACT_ABORT or not) reach the operator at once, the
    // server's message alone under the usual number, and no transaction stays open. A failure after the commit never
    // saves again.
    void deadlockVictimSavedOnceMore()
    {
        START_RECORDER(rec, kRighe);
        Connection c;
        c.open(rec.connectionString());
        Salvataggio::Campi nonRisolto = kNuovo;
        nonRisolto.idProdotto = u"44"_s;
        const struct {
            Salvataggio::Campi campi;
            QString messaggio;
            int volte;
        } casi[] = {
            {kNuovo,
                u"Transaction (Process ID 52) was deadlocked on lock resources with another process and has been "
                "chosen as the deadlock victim. Rerun the transaction."_s,
                2},
            {kContato, u"Lock request time out period exceeded."_s, 1},
            {nonRisolto, u"Invalid object name 'InventarioReale'."_s, 1}};
        for (const auto &caso : casi) {
            rec.log();
            try {
                salva(c, caso.campi);
                QFAIL("the save must fail");
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), ErrNo::DbStatementFailure);
                QCOMPARE(e.description(), u"[FreeTDS][SQL Server]"_s + caso.messaggio);
            }
            const QStringList log = rec.log();
            QCOMPARE(log.filter(u"SET XACT_ABORT ON"_s).size(), caso.volte);
            QCOMPARE(log.filter(u"batch: IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"_s).size(), caso.volte);
            QVERIFY_THROWS_EXCEPTION(RuntimeError, c.execute(u"COMMIT"_s));   // 3902: none open
        }
        rec.log();
        QVERIFY(salva(c, kNuovo).inserita);   // the third refusal, then the row
        const QStringList log = rec.log();
        QCOMPARE(log.size(), 3);
        QVERIFY(log[0] == log[2] && log[1] == u"batch: IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"_s);
        try {   // committed: the list's failure is the operator's, and the count is not made again
            Salvataggio::salva(c, Salvataggio::prepara(kContato, kOggi), kElenco,
                [](const Salvataggio::Esito &, const std::function<Recordset &()> &righe) { righe(); });
            QFAIL("the list must fail");
        } catch (const RuntimeError &e) {
            QVERIFY(Db::deadlock(e));
        }
        QCOMPARE(rec.log().size(), 1);
    }
};
INVENTARIO_TEST(TestSalvataggio)
#include "tst_salvataggio.moc"
