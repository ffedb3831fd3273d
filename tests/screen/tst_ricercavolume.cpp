// The searches over a product master of a real shop's size. The bounds are
// loose (sanitizer builds run here too): they catch a list filled row by
// row, or a name search that reads past its 50 items.
#include "tst_ricerca.h"

#include <QElapsedTimer>

using namespace Ricerca;

class TestRicercaVolume : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void duecentomilaProdotti()
    {
        Schermo s;
        s.program.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                       "INSERT INTO Prodotti (IDProdotto, CodInterno, Descrizione, Barcode) "
                       "SELECT i, printf('P%07d', i), printf('ARTICOLO NUMERO %d', i), printf('80%011d', i) FROM n"_s);
        QElapsedTimer timer;
        timer.start();
        s.cerca(QString());   // the whole master, shown
        QCoreApplication::processEvents();
        const qint64 tutti = timer.restart();
        QCOMPARE(s.lista()->model()->rowCount(), 200000);

        s.cerca(u"8000000123456"_s);
        const qint64 scansione = timer.restart();
        QCOMPARE(s.testo("TxtIdProdotto"), u"123456"_s);

        QTest::keyClicks(s.nome(), u"ARTICOLO NUMERO 1"_s);   // 17 searches, each stopping at 50
        const qint64 nome = timer.restart();
        QCOMPARE(s.voci().size(), 50);
        qInfo("whole master %lld ms, scan %lld ms, 17 name keys %lld ms", tutti, scansione, nome);
        QVERIFY(tutti < 5000 && scansione < 2000 && nome < 5000);
    }
};

INVENTARIO_TEST(TestRicercaVolume)
#include "tst_ricercavolume.moc"
