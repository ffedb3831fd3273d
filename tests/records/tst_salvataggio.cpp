// Saving a count: the statements as the server receives them, the flow of
// inserts and updates on one row, and stations saving the same product at once.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "records/salvataggio.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A product from Prodotti as loading it from the search shows it, and one
// from prodottiC as a click on a list row shows it.
const Salvataggio::Campi kPasta{u"CAFFE' MACINATO"_s, u"8001230009045"_s, u"1.234,50 \u20ac"_s, u"999,99 \u20ac"_s,
                                u"P00042"_s, u"12"_s, u"42"_s, u"0"_s, u"3"_s, true};
const Salvataggio::Campi kVecchia{u"PASTA 1KG VECCHIA CONF."_s, u"8001230000019"_s, u"12,5"_s, u"0,98"_s,
                                  u"C00001"_s, QString(), u"0"_s, u"5001"_s, u"2,5"_s, false};

const QDate kOggi(2026, 12, 5);

Salvataggio::Esito salvaCon(Connection &c, Salvataggio::Campi campi, const QString &quantita)
{
    campi.quantita = quantita;
    return Salvataggio::salva(c, Salvataggio::prepara(campi, kOggi), [] { return true; });
}

} // namespace

class TestSalvataggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A price, the book quantity, the quantity or the id that is no number.
    void fieldValuesAreChecked()
    {
        using C = Salvataggio::Campi;
        const QList<std::pair<QString C::*, QString>> guasti = {{&C::prezzoAcquisto, u"12,x \u20ac"_s},
            {&C::giacenzaStatistica, u"dodici"_s}, {&C::quantita, u"abc"_s}, {&C::idProdotto, QString()},
            {&C::idProdotto, u"4,5"_s}};
        for (const auto &[campo, valore] : guasti) {
            C c = kPasta;
            c.*campo = valore;
            try {
                Salvataggio::prepara(c, kOggi);
                QFAIL(qPrintable(valore));
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), ErrNo::TypeMismatch);
            }
        }
    }
    void insertThenAddAndWritesThatFail()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        QVERIFY(salvaCon(c, kPasta, u"3"_s).inserita);
        c.execute(u"PRAGMA busy_timeout = 150"_s);
        program.exec(u"BEGIN IMMEDIATE"_s);   // another station is writing
        QElapsedTimer t;
        t.start();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salvaCon(c, kPasta, u"2"_s));
        QVERIFY(t.elapsed() >= 100);   // it waited before it gave up
        program.exec(u"ROLLBACK"_s);
        // the connection is usable again once the other station is done
        const Salvataggio::Esito esito = salvaCon(c, kPasta, u"2"_s);
        QVERIFY(!esito.inserita);
        QCOMPARE(esito.totale, 5.0);

        // a write the server refuses leaves no transaction open behind it
        program.exec(u"CREATE TRIGGER no_update BEFORE UPDATE ON InventarioReale "
                     "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salvaCon(c, kPasta, u"2"_s));
        program.exec(u"DROP TRIGGER no_update"_s);
        QCOMPARE(salvaCon(c, kPasta, u"-1"_s).totale, 4.0);
        QCOMPARE(program.rows(u"SELECT GiacenzaReale FROM InventarioReale"_s), QList<QVariantList>{{4.0}});
    }
    void stationsSavingTheSameProductAtOnce()
    {
        Fixture::Program program;
        constexpr int kSalvataggi = 150;
        const QStringList quantita = {u"1"_s, u"2,5"_s, u"-0,5"_s};
        QStringList errori(quantita.size());
        QSemaphore partenza;
        QList<QThread *> stazioni;
        for (int n = 0; n < quantita.size(); ++n) {
            stazioni << QThread::create([&, n] {
                try {
                    Connection c;
                    c.open(program.connectionString());
                    partenza.acquire();   // all start together
                    for (int i = 0; i < kSalvataggi; ++i) {
                        salvaCon(c, kPasta, quantita[n]);
                        salvaCon(c, kVecchia, quantita[n]);
                    }
                } catch (const RuntimeError &e) {
                    errori[n] = e.description();
                }
            });
            stazioni.last()->start();
        }
        partenza.release(3);
        for (QThread *s : stazioni) {
            QVERIFY(s->wait(120000));
            delete s;
        }
        QCOMPARE(errori, QStringList(quantita.size()));
        QCOMPARE(program.rows(u"SELECT IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale FROM InventarioReale "
                              "ORDER BY IDProdottoVentrox"_s),
                 (QList<QVariantList>{{0, 5001, kSalvataggi * 3.0}, {42, 0, kSalvataggi * 3.0}}));
    }
};
INVENTARIO_TEST(TestSalvataggio)
#include "tst_salvataggio.moc"
