// Saving a count: inserts and updates on one row, stations saving the same
// product at once; and against a stand-in SQL Server recording what FreeTDS
// sends: batches or prepared executions, the session, real columns, deadlocks.
#include "fixture/fixture.h"
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "records/registro.h"
#include "records/salvataggio.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A product as the search loads it from Prodotti, and one from prodottiC as a list row's click shows it.
const Salvataggio::Campi kPasta{u"CAFFE' MACINATO"_s, u"8001230009045"_s, u"1.234,50 \u20ac"_s, u"999,99 \u20ac"_s,
                                u"P00042"_s, u"12"_s, u"42"_s, u"0"_s, u"3"_s, true};
const Salvataggio::Campi kVecchia{u"PASTA 1KG VECCHIA CONF."_s, u"8001230000019"_s, u"12,5"_s, u"0,98"_s,
                                  u"C00001"_s, QString(), u"0"_s, u"5001"_s, u"2,5"_s, false};
const QDate kOggi(2026, 12, 13);

// Saves `campi`, counting `quantita` when given; `connessa` answers the connection's second guard.
Salvataggio::Esito salva(Connection &c, Salvataggio::Campi campi, const QString &quantita = {}, bool connessa = true)
{
    if (!quantita.isNull())
        campi.quantita = quantita;
    return Salvataggio::salva(c, Salvataggio::prepara(campi, kOggi), [=] { return connessa; });
}

// (Qt's ODBC driver asks for the timestamp type first under unixODBC; its Windows build does not.)
const QStringList kSessione = {
#ifndef Q_OS_WIN
                               u"batch: sp_datatype_info_100 11"_s,
#endif
                               u"rpc sp_cursoropen: SET QUOTED_IDENTIFIER ON"_s,
                               u"batch: SET DATEFORMAT dmy; SET LOCK_TIMEOUT 30000; SET QUOTED_IDENTIFIER ON"_s};
// Product 42 has its row (key 19, 2 counted), product 43 none yet; the first three INSERTs
// are refused as deadlock victims, every UPDATE as out of time, and so is every statement on Vittima.
const QByteArray kRighe = R"j([
  {"match": "INSERT", "error": 1205, "times": 3}, {"match": "Vittima", "error": 1205},
  {"match": "UPDATE InventarioReale", "error": 1222},
  {"match": "=42", "columns": [["IDInventarioReale", "int"], ["GiacenzaReale", "float"]], "rows": [[19, 2]]},
  {"match": "=43", "columns": [["IDInventarioReale", "int"], ["GiacenzaReale", "float"]], "rows": []}])j";
const QByteArray kProdotti = R"j([{"match": "Prodotti", "columns": [["IDProdotto", "int"], ["PrezzoPubblico", "real"],
  ["Giacenza", "real"], ["Descrizione", "varchar(20)"]],
  "rows": [[1, 12.3, 0.1, "CAFFE"], [2, 123456.7, 1234.5, "PASTA"], [3, null, null, "SALE"]]}])j";
const QString kInserisci43 =
    u"batch: INSERT INTO InventarioReale       (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,"
    "IDCategoria,Categoria,UM,Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,"
    "IDProdottoVentrox,IDProdottoEliminato,CodInterno) VALUES (N'T\u00c8 VERDE \u03a9''', N'800', 3.90 ,2.00 ,"
    "0,1000, N'Generico', N'N\u00b0','0', '0', 2, 5, '13/12/2026', 43,0 ,N'P43') "_s;
const QString kCerca = u"batch: SELECT * FROM   InventarioReale WITH (UPDLOCK, HOLDLOCK) where IDProdottoVentrox="_s;
const Salvataggio::Campi kNuovo{u"T\u00c8 VERDE \u03a9'"_s, u"800"_s, u"3,90 \u20ac"_s, u"2,00 \u20ac"_s, u"P43"_s,
                                u"5"_s, u"43"_s, u"0"_s, u"2"_s, true};
Salvataggio::Campi contato() { Salvataggio::Campi c = kNuovo; c.idProdotto = u"42"_s; c.quantita = u"3"_s; return c; }

} // namespace

class TestSalvataggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void insertThenAddAndWritesThatFail()
    {
        using C = Salvataggio::Campi;
        for (auto [campo, valore] : {std::pair(&C::prezzoAcquisto, u"12,x \u20ac"_s), {&C::giacenzaStatistica, u"dodici"_s},
                                     {&C::quantita, u"abc"_s}, {&C::idProdotto, QString()}, {&C::idProdotto, u"4,5"_s}}) {
            C c = kPasta;
            c.*campo = valore;
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Salvataggio::prepara(c, kOggi));
        }
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        QVERIFY(salva(c, kPasta, u"3"_s).inserita);
        c.execute(u"PRAGMA busy_timeout = 150"_s);
        program.exec(u"BEGIN IMMEDIATE"_s);   // another station is writing
        QElapsedTimer t;
        t.start();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salva(c, kPasta, u"2"_s));
        QVERIFY(t.elapsed() >= 100);   // it waited before it gave up
        program.exec(u"ROLLBACK"_s);
        // the connection is usable again once the other station is done
        const Salvataggio::Esito esito = salva(c, kPasta, u"2"_s);
        QVERIFY(!esito.inserita);
        QCOMPARE(esito.totale, 5.0);
        // a write the server refuses leaves no transaction open behind it
        program.exec(u"CREATE TRIGGER no_update BEFORE UPDATE ON InventarioReale "
                     "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salva(c, kPasta, u"2"_s));
        program.exec(u"DROP TRIGGER no_update"_s);
        QCOMPARE(salva(c, kPasta, u"-1"_s).totale, 4.0);
        QCOMPARE(program.rows(u"SELECT GiacenzaReale FROM InventarioReale"_s), QList<QVariantList>{{4.0}});
    }
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
        QCOMPARE(program.rows(u"SELECT IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale FROM InventarioReale ORDER BY 1"_s),
                 (QList<QVariantList>{{0, 5001, 450.0}, {42, 0, 450.0}}));
    }
    // The session set up by batches, also through a freetds.conf name (SERVERNAME=); real columns read as values.
    void sessioneEColonneReal()
    {
        START_RECORDER(rec, kProdotti);
        for (const QString &alias : {u"MAGAZZINO"_s, QString()}) {
            Connection s;
            s.open(rec.connectionString(alias));
            QCOMPARE(rec.log(), kSessione);
        }
        Connection c;
        c.open(rec.connectionString());
        Recordset rs(c, u"Select *  FROM Prodotti WHERE IDProdotto = 1"_s);
        const struct { double prezzo, giacenza; QString descrizione; } righe[] = {
            {12.3, 0.1, u"CAFFE"_s}, {123456.7, 1234.5, u"PASTA"_s}, {0, 0, u"SALE"_s}};
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
        Db::setGetData([](void *statement, unsigned short column, short type, void *value, qintptr size, qintptr *indicator) {
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
    // The saves' statements, the delete and the editor's update; an update whose second guard finds no
    // connection writes nothing.
    void statementsAreBatchesOrPrepared()
    {
        START_RECORDER(rec, kRighe.mid(kRighe.indexOf("{\"match\": \"=42")).prepend('['));
        Connection c;
        c.open(rec.connectionString());
        rec.log();
        QVERIFY(salva(c, kNuovo).inserita);
        QCOMPARE(salva(c, contato()).totale, 5.0);
        QVERIFY(salva(c, contato(), {}, false).fermato);
        Registro::eliminaRiga(c, u"19"_s);
        c.execute(u"UPDATE Prodotti SET Barcode = ?, PrezzoPubblico = ? WHERE IdProdotto = ?"_s, {u"8"_s, 1.5, 42});
        QCOMPARE(rec.log(), (QStringList{
            u"tm: BEGIN"_s, kCerca + u"43"_s, kInserisci43, u"tm: COMMIT"_s,
            u"tm: ROLLBACK"_s,   // FreeTDS's own, as autocommit comes back
            u"tm: BEGIN"_s, kCerca + u"42"_s,
            u"batch:  UPDATE InventarioReale  SET           GiacenzaReale = 5 WHERE  IDInventarioReale = 19"_s,
            u"tm: COMMIT"_s, u"tm: ROLLBACK"_s, u"tm: BEGIN"_s, kCerca + u"42"_s, u"tm: ROLLBACK"_s, u"tm: ROLLBACK"_s,
            u"batch: DELETE FROM InventarioReale where idinventarioReale=19"_s,
            u"rpc sp_prepexec: UPDATE Prodotti SET Barcode = @P1, PrezzoPubblico = @P2 WHERE IdProdotto = @P3"_s}));
    }
    // A deadlock's victim is saved once more: a second try that passes commits the one row; a second
    // deadlock, or any other failure, reaches the operator at once, the server's message alone under the usual number.
    void deadlockVictimSavedOnceMore()
    {
        START_RECORDER(rec, kRighe);
        Connection c;
        c.open(rec.connectionString());
        const struct { Salvataggio::Campi campi; QString messaggio; int volte; } casi[] = {
            {kNuovo, u"Transaction (Process ID 52) was deadlocked on lock resources with another process and has been "
                     "chosen as the deadlock victim. Rerun the transaction."_s, 2},
            {contato(), u"Lock request time out period exceeded."_s, 1}};
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
            QCOMPARE(log.filter(QRegularExpression(u"^batch: (INSERT| UPDATE)"_s)).size(), caso.volte);
            QCOMPARE(log.filter(u"tm: ROLLBACK"_s).size(), 2 * caso.volte);   // ours, then FreeTDS's
        }
        const Salvataggio::Esito esito = salva(c, kNuovo);   // the third refusal, then the row
        QVERIFY(esito.inserita && esito.totale == 2);
        QCOMPARE(rec.log(), (QStringList{u"tm: BEGIN"_s, kCerca + u"43"_s, kInserisci43, u"tm: ROLLBACK"_s, u"tm: ROLLBACK"_s,
                                         u"tm: BEGIN"_s, kCerca + u"43"_s, kInserisci43, u"tm: COMMIT"_s, u"tm: ROLLBACK"_s}));
        // the server rolled the victim back: committing its transaction is refused, never taken for done
        Transaction vittima(c);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.execute(u"DELETE FROM Vittima"_s));
        try {
            vittima.commit();
            QFAIL("the commit must fail");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.description(), u"[FreeTDS][SQL Server]The COMMIT TRANSACTION request has no corresponding BEGIN "
                                      "TRANSACTION."_s);
        }
    }
};
INVENTARIO_TEST(TestSalvataggio)
#include "tst_salvataggio.moc"
