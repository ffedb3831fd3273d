// Saving a count: the statements as the server receives them, the flow of
// inserts and updates on one row, and stations saving the same product at once.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "records/salvataggio.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <functional>
#include <atomic>

namespace {

// A product from Prodotti as loading it from the search shows it.
Salvataggio::Campi pasta()
{
    Salvataggio::Campi c;
    c.descrizione = QStringLiteral("CAFFE' MACINATO");
    c.barcode = QStringLiteral("8001230009045");
    c.prezzoPubblico = QStringLiteral("1.234,50 \u20ac");
    c.prezzoAcquisto = QStringLiteral("999,99 \u20ac");
    c.codInterno = QStringLiteral("P00042");
    c.giacenzaStatistica = QStringLiteral("12");
    c.idProdotto = QStringLiteral("42");
    c.idEliminato = QStringLiteral("0");
    c.quantita = QStringLiteral("3");
    c.prodottoAttivo = true;
    return c;
}

// A product from prodottiC as a click on a list row shows it.
Salvataggio::Campi vecchiaConfezione()
{
    Salvataggio::Campi c;
    c.descrizione = QStringLiteral("PASTA 1KG VECCHIA CONF.");
    c.barcode = QStringLiteral("8001230000019");
    c.prezzoPubblico = QStringLiteral("12,5");
    c.prezzoAcquisto = QStringLiteral("0,98");
    c.codInterno = QStringLiteral("C00001");
    c.giacenzaStatistica = QString();
    c.idProdotto = QStringLiteral("0");
    c.idEliminato = QStringLiteral("5001");
    c.quantita = QStringLiteral("2,5");
    c.prodottoAttivo = false;
    return c;
}

const QDate kOggi(2026, 12, 5);

Salvataggio::Esito salvaCon(Connection &c, Salvataggio::Campi campi, const QString &quantita)
{
    campi.quantita = quantita;
    return Salvataggio::salva(c, Salvataggio::prepara(campi, kOggi));
}

} // namespace

class TestSalvataggio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void insertStatementPieceByPiece()
    {
        const Salvataggio::Riga r = Salvataggio::prepara(pasta(), kOggi);
        QCOMPARE(Salvataggio::istruzioneInsert(r),
                 QStringLiteral("INSERT INTO InventarioReale "
                                "      (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,IDCategoria,Categoria,UM,"
                                "Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,IDProdottoVentrox,"
                                "IDProdottoEliminato,CodInterno) "
                                "VALUES ('CAFFE'' MACINATO', '8001230009045', 1234.50 ,999.99 ,0,1000, 'Generico', "
                                "'N\u00b0','0', '0', 3, 12, '05/12/2026', 42,0 ,'P00042') "));
        QCOMPARE(r.prezzoPubblicoNumero, 1234.5);
        QCOMPARE(r.prezzoAcquistoNumero, 999.99);

        const Salvataggio::Riga e = Salvataggio::prepara(vecchiaConfezione(), kOggi);
        QCOMPARE(Salvataggio::istruzioneInsert(e),
                 QStringLiteral("INSERT INTO InventarioReale "
                                "      (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,IDCategoria,Categoria,UM,"
                                "Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,IDProdottoVentrox,"
                                "IDProdottoEliminato,CodInterno) "
                                "VALUES ('PASTA 1KG VECCHIA CONF.', '8001230000019', 12.5,0.98,0,1000, 'Generico', "
                                "'N\u00b0','0', '0', 2.5, 0, '05/12/2026', 0,5001 ,'C00001') "));
    }
    void lookupAndUpdateStatements()
    {
        const Salvataggio::Riga r = Salvataggio::prepara(pasta(), kOggi);
        QCOMPARE(Salvataggio::istruzioneRicerca(r, false),
                 QStringLiteral("SELECT * FROM   InventarioReale where IDProdottoVentrox=42"));
        QCOMPARE(Salvataggio::istruzioneRicerca(r, true),
                 QStringLiteral("SELECT * FROM   InventarioReale WITH (UPDLOCK, HOLDLOCK) where IDProdottoVentrox=42"));
        const Salvataggio::Riga e = Salvataggio::prepara(vecchiaConfezione(), kOggi);
        QCOMPARE(Salvataggio::istruzioneRicerca(e, false),
                 QStringLiteral("SELECT * FROM   InventarioReale where IDProdottoEliminato=5001"));
        QCOMPARE(Salvataggio::istruzioneUpdate(7.5, QStringLiteral("19")),
                 QStringLiteral(" UPDATE InventarioReale  SET           GiacenzaReale = 7.5 WHERE  IDInventarioReale = 19"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Salvataggio::istruzioneUpdate(1, QStringLiteral("19; DELETE")));
    }
    void fieldValuesAreChecked()
    {
        const QList<std::function<void(Salvataggio::Campi &)>> guasti = {
            [](Salvataggio::Campi &c) { c.prezzoPubblico.clear(); },
            [](Salvataggio::Campi &c) { c.prezzoAcquisto = QStringLiteral("12,x \u20ac"); },
            [](Salvataggio::Campi &c) { c.giacenzaStatistica = QStringLiteral("dodici"); },
            [](Salvataggio::Campi &c) { c.quantita = QStringLiteral("abc"); },
            [](Salvataggio::Campi &c) { c.idProdotto.clear(); },
            [](Salvataggio::Campi &c) { c.idProdotto = QStringLiteral("4,5"); },
        };
        for (const auto &guasto : guasti) {
            Salvataggio::Campi c = pasta();
            guasto(c);
            try {
                Salvataggio::prepara(c, kOggi);
                QFAIL("the value must be refused");
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), ErrNo::TypeMismatch);
            }
        }
    }
    void awkwardTextIsStoredAsTyped()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        Salvataggio::Campi campi = pasta();
        campi.descrizione = QStringLiteral("L'ACQUA 100% \"FRIZZANTE\" \u00e0\u00e8\u00ec \u20ac 2'' x");
        campi.barcode = QStringLiteral("80'1%");
        campi.codInterno = QStringLiteral("D'%_");
        salvaCon(c, campi, QStringLiteral("1"));
        const auto rows = program.rows(QStringLiteral("SELECT DescProdotto, Barcode, CodInterno FROM InventarioReale"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), campi.descrizione);
        QCOMPARE(rows[0][1].toString(), campi.barcode);
        QCOMPARE(rows[0][2].toString(), campi.codInterno);
    }
    void lockedOrRefusedWritesNothing()
    {
        Fixture::Program program;
        Connection c;
        c.open(program.connectionString());
        salvaCon(c, pasta(), QStringLiteral("3"));
        c.execute(QStringLiteral("PRAGMA busy_timeout = 150"));
        program.exec(QStringLiteral("BEGIN IMMEDIATE"));   // another station is writing
        QElapsedTimer t;
        t.start();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salvaCon(c, pasta(), QStringLiteral("2")));
        QVERIFY(t.elapsed() >= 100);   // it waited before it gave up
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salvaCon(c, vecchiaConfezione(), QStringLiteral("2")));
        program.exec(QStringLiteral("ROLLBACK"));
        QCOMPARE(program.scalar(QStringLiteral("SELECT COUNT(*) FROM InventarioReale")).toInt(), 1);
        QCOMPARE(program.scalar(QStringLiteral("SELECT GiacenzaReale FROM InventarioReale")).toDouble(), 3.0);
        // the connection is usable again once the other station is done
        QCOMPARE(salvaCon(c, pasta(), QStringLiteral("2")).totale, 5.0);

        // a write the server refuses leaves no transaction open behind it
        program.exec(QStringLiteral("CREATE TRIGGER no_update BEFORE UPDATE ON InventarioReale "
                                    "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, salvaCon(c, pasta(), QStringLiteral("2")));
        program.exec(QStringLiteral("DROP TRIGGER no_update"));
        QCOMPARE(salvaCon(c, pasta(), QStringLiteral("-1")).totale, 4.0);
    }
    void stationsSavingTheSameProductAtOnce()
    {
        Fixture::Program program;
        const QString connectionString = program.connectionString();
        constexpr int kSalvataggi = 150;
        QSemaphore partenza;
        std::atomic<int> errori{0};
        QMutex mutex;
        QStringList messaggi;
        auto stazione = [&](const QString &quantita) {
            return QThread::create([&, quantita] {
                try {
                    Connection c;
                    c.open(connectionString);
                    partenza.acquire();
                    for (int i = 0; i < kSalvataggi; ++i) {
                        salvaCon(c, pasta(), quantita);
                        salvaCon(c, vecchiaConfezione(), quantita);
                    }
                } catch (const RuntimeError &e) {
                    ++errori;
                    QMutexLocker lock(&mutex);
                    messaggi << e.description();
                }
            });
        };
        QThread *a = stazione(QStringLiteral("1"));
        QThread *b = stazione(QStringLiteral("2,5"));
        QThread *d = stazione(QStringLiteral("-0,5"));
        QElapsedTimer t;
        t.start();
        a->start();
        b->start();
        d->start();
        partenza.release(3);
        QVERIFY(a->wait(120000) && b->wait(120000) && d->wait(120000));
        const qint64 ms = t.elapsed();
        delete a;
        delete b;
        delete d;
        QVERIFY2(errori == 0, qPrintable(messaggi.join(QLatin1Char('\n'))));
        const auto rows = program.rows(QStringLiteral(
            "SELECT IDProdottoVentrox, IDProdottoEliminato, GiacenzaReale FROM InventarioReale ORDER BY IDProdottoVentrox"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][1].toInt(), 5001);
        QCOMPARE(rows[0][2].toDouble(), kSalvataggi * 3.0);
        QCOMPARE(rows[1][0].toInt(), 42);
        QCOMPARE(rows[1][2].toDouble(), kSalvataggi * 3.0);
        qInfo("3 stations, %d saves each: %lld ms, %.2f ms per save", 2 * kSalvataggi, ms, double(ms) / (6 * kSalvataggi));
    }
};
INVENTARIO_TEST(TestSalvataggio)
#include "tst_salvataggio.moc"
