// How values are written into SQL text.
#include "fixture/testmain.h"
#include "platform/errors.h"
#include "records/valori.h"

#include <QTest>

class TestValori : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void prices_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("acquisto");
        QTest::addColumn<QString>("sql");
        QTest::newRow("screen price") << QStringLiteral("999,99 \u20ac") << false << QStringLiteral("999.99 ");
        QTest::newRow("thousands, public") << QStringLiteral("12.345,67 \u20ac") << false << QStringLiteral("12345.67 ");
        QTest::newRow("thousands, purchase") << QStringLiteral("1.234,50 \u20ac") << true << QStringLiteral("1234.50 ");
        QTest::newRow("list text") << QStringLiteral("12,5") << false << QStringLiteral("12.5");
        QTest::newRow("twelve") << QStringLiteral("12,00 \u20ac") << true << QStringLiteral("12.00 ");
        QTest::newRow("millions") << QStringLiteral("1.234.567,89 \u20ac") << false << QStringLiteral("1234567.89 ");
    }
    void prices()
    {
        QFETCH(QString, field);
        QFETCH(bool, acquisto);
        QFETCH(QString, sql);
        QCOMPARE(Valori::prezzo(field, acquisto), sql);
    }
    void badPricesAreRefused()
    {
        for (const QString &bad : {QString(), QStringLiteral(" \u20ac"), QStringLiteral("1,2,3"), QStringLiteral("abc"),
                                   QStringLiteral("1); DROP TABLE Prodotti; --")})
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::prezzo(bad, false));
    }
    void textsNumbersIdsDates()
    {
        QCOMPARE(Valori::testo(QStringLiteral("CAFFE' MACINATO")), QStringLiteral("CAFFE'' MACINATO"));
        QCOMPARE(Valori::testo(QStringLiteral("''")), QStringLiteral("''''"));
        QCOMPARE(Valori::like(QStringLiteral("A[1]'"), false), QStringLiteral("A[1]''"));   // SQLite: no sets in LIKE
        QCOMPARE(Valori::numero(2.5), QStringLiteral("2.5"));
        QCOMPARE(Valori::numero(12), QStringLiteral("12"));
        QCOMPARE(Valori::numero(-1), QStringLiteral("-1"));
        QCOMPARE(Valori::id(57), QStringLiteral("57"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::id(1.5));
        QCOMPARE(Valori::chiave(QStringLiteral("123")), QStringLiteral("123"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::chiave(QStringLiteral("1 OR 1=1")));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Valori::chiave(QString()));
        QCOMPARE(Valori::data(QDate(2026, 12, 5)), QStringLiteral("05/12/2026"));
    }
};
INVENTARIO_TEST(TestValori)
#include "tst_valori.moc"
