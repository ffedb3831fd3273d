// The Italian regional rules must hold whatever locale the machine runs in
// (the suite runs under LANG=C and LANG=en_US.UTF-8).
#include "fixture/testmain.h"
#include "platform/errors.h"
#include "platform/formatta.h"
#include "platform/regional.h"

#include <QTest>

class TestRegional : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 3.0 << "3";
        QTest::newRow("half") << 12.5 << "12,5";
        QTest::newRow("negative") << -1234.75 << "-1234,75";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("no grouping") << 1234567.0 << "1234567";
        QTest::newRow("15 digits") << 0.1 + 0.2 << "0,3";
        QTest::newRow("tiny") << 0.001 << "0,001";
        QTest::newRow("large") << 1e20 << "1E+20";
    }
    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(Regional::numberText(value), text);
        QCOMPARE(Regional::sqlNumber(value), QString(text).replace(',', '.'));
    }

    void readNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << "2,5" << true << 2.5;
        QTest::newRow("thousands") << "1.000" << true << 1000.0;
        QTest::newRow("both") << "1.234,50" << true << 1234.5;
        QTest::newRow("blanks") << " 12,5 " << true << 12.5;
        QTest::newRow("negative") << "-1" << true << -1.0;
        QTest::newRow("plus") << "+7" << true << 7.0;
        QTest::newRow("13 digits") << "8001234567890" << true << 8001234567890.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("comma alone") << "," << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("code") << "P00012" << false << 0.0;
        QTest::newRow("two commas") << "1,2,3" << false << 0.0;
        QTest::newRow("trailing point") << "12." << false << 0.0;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("euro") << "12,00 \u20ac" << false << 0.0;
    }
    void readNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto n = Regional::readNumber(text);
        QCOMPARE(n.has_value(), ok);
        if (ok)
            QCOMPARE(*n, value);
    }

    void formattaNumero_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << QVariant(0.0) << "0,00";
        QTest::newRow("\"0\"") << QVariant(QStringLiteral("0")) << "0,00";
        QTest::newRow("empty") << QVariant(QString()) << "0,00";
        QTest::newRow("comma") << QVariant(QStringLiteral(",")) << "0,00";
        QTest::newRow("text with blanks") << QVariant(QStringLiteral(" 12,5 ")) << "12,50";
        QTest::newRow("1000") << QVariant(1000.0) << "1.000,00";
        QTest::newRow("0.125 to even") << QVariant(0.125) << "0,12";
        QTest::newRow("0.375 to even") << QVariant(0.375) << "0,38";
        QTest::newRow("negative") << QVariant(-1234.5) << "-1.234,50";
        QTest::newRow("millions") << QVariant(1234567.891) << "1.234.567,89";
        QTest::newRow("half") << QVariant(0.5) << "0,50";
        QTest::newRow("rounds to zero") << QVariant(0.001) << "0,00";
        QTest::newRow("negative to zero") << QVariant(-0.001) << "0,00";
        QTest::newRow("largest price") << QVariant(99999999.99) << "99.999.999,99";
        QTest::newRow("thousands text") << QVariant(QStringLiteral("1.234,5")) << "1.234,50";
    }
    void formattaNumero()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(Modulo::FormattaNumero(value, 2), text);
    }
    void formattaNumeroRefusesText()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Modulo::FormattaNumero(QStringLiteral("abc"), 2));
    }

    void dates()
    {
        const QDateTime midnight(QDate(2026, 12, 5), QTime(0, 0));
        QCOMPARE(Regional::dateText(midnight.date()), QStringLiteral("05/12/2026"));
        QCOMPARE(Regional::timeText(QTime(14, 30, 22)), QStringLiteral("14:30:22"));
        QCOMPARE(Regional::generalDateText(midnight), QStringLiteral("05/12/2026"));
        QCOMPARE(Regional::generalDateText(QDateTime(QDate(2026, 12, 5), QTime(9, 5, 1))), QStringLiteral("05/12/2026 09:05:01"));
        // stored as text on SQLite, as a date on SQL Server
        QCOMPARE(Regional::toDateTime(QStringLiteral("05/12/2026")), midnight);
        QCOMPARE(Regional::toDateTime(QStringLiteral("2026-12-05 00:00:00")), midnight);
        QCOMPARE(Regional::toDateTime(QVariant(midnight)), midnight);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Regional::toDateTime(QStringLiteral("domani")));
    }

    void fieldValues()
    {
        QCOMPARE(Regional::valueText(QVariant(2.5)), QStringLiteral("2,5"));
        QCOMPARE(Regional::valueText(QVariant(qlonglong(42))), QStringLiteral("42"));
        QCOMPARE(Regional::valueText(QVariant()), QString());
        QCOMPARE(Regional::toNumber(QVariant()), 0.0);
        QCOMPARE(Regional::toNumber(QStringLiteral("12.50")), 12.5);   // a server's decimal text
        QCOMPARE(Regional::toNumber(QStringLiteral("12,5")), 12.5);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Regional::toNumber(QStringLiteral("x")));
    }
};
INVENTARIO_TEST(TestRegional)
#include "tst_regional.moc"
