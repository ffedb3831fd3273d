// The searches over a product master of a real shop's size: the whole
// master listed by an Enter on the empty code field, a barcode scan, and a
// name search key by key. The bounds are loose (sanitizer builds run here
// too); they catch a list filled row by row or a search that reads all.
#include "tst_ricerca.h"

#include <QElapsedTimer>

using namespace Ricerca;

class TestRicercaVolume : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void duecentomilaProdotti()
    {
        Schermo s;
        s.program.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
            "INSERT INTO Prodotti (IDProdotto, CodInterno, Descrizione, Barcode, PrezzoPubblico, PrezzoAcquisto, Giacenza) "
            "SELECT i, printf('P%07d', i), printf('ARTICOLO %c%c NUMERO %d', 65 + i % 26, 65 + (i / 26) % 26, i), "
            "printf('80%011d', i), 1.5, 1, i % 40 FROM n"));
        QElapsedTimer timer;

        timer.start();
        s.cerca(QString());
        const qint64 tutti = timer.elapsed();
        QCoreApplication::processEvents();   // the view lays the list out
        const qint64 mostrati = timer.elapsed();
        QCOMPARE(s.lista()->model()->rowCount(), 200000);

        timer.start();
        s.cerca(QStringLiteral("8000000123456"));
        const qint64 scansione = timer.elapsed();
        QCOMPARE(s.testo("TxtIdProdotto"), QStringLiteral("123456"));

        s.nome()->setFocus();
        qint64 peggiore = 0;
        for (const QString &tasto : {QStringLiteral("A"), QStringLiteral("R"), QStringLiteral("T"), QStringLiteral("I")}) {
            timer.start();
            Schermo::scrivi(s.nome(), tasto);
            peggiore = std::max(peggiore, timer.elapsed());
        }
        QCOMPARE(s.voci().size(), 50);
        // anywhere in the name, found only at the end of the table: every
        // row is read
        s.tipo()->setChecked(true);
        s.nome()->clear();
        Schermo::scrivi(s.nome(), QStringLiteral("NUMERO 19999"));
        timer.start();
        Schermo::scrivi(s.nome(), QStringLiteral("8"));
        const qint64 ovunque = timer.elapsed();
        QCOMPARE(s.voci().size(), 1);

        qInfo("whole master: %lld ms (shown %lld ms), scan: %lld ms, name key: %lld ms, name key anywhere: %lld ms",
              tutti, mostrati, scansione, peggiore, ovunque);
        QVERIFY2(mostrati < 5000, "listing the whole master is far too slow");
        QVERIFY2(scansione < 2000, "a scan is far too slow");
        QVERIFY2(peggiore < 2000 && ovunque < 2000, "a name key stroke is far too slow");
    }
};

INVENTARIO_TEST(TestRicercaVolume)
#include "tst_ricercavolume.moc"
