// The Italian regional rules, whatever locale the machine runs in (the suite runs under LANG=C and LANG=en_US.UTF-8),
// and Windows-1252 text with CR LF lines and fixed-width fields.
#include "fixture/testmain.h"
#include "platform/errors.h"
#include "platform/formatta.h"
#include "platform/regional.h"
#include "platform/wintext.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRegionale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Numbers, money, dates and blanks by the regional rules; one byte per character in Windows-1252, fields padded or
    // cut, control characters blanked.
    void regoleEdTesto()
    {
        const std::pair<double, const char *> testi[] = {{3, "3"}, {12.5, "12,5"}, {-1234.75, "-1234,75"}, {0, "0"},
            {1234567, "1234567"}, {0.1 + 0.2, "0,3"}, {0.001, "0,001"}, {1e20, "1E+20"}, {1.5e-7, "1,5E-07"},
            {123456789012345678.0, "1,23456789012346E+17"}, {-0.5, "-0,5"}};
        for (const auto &[valore, testo] : testi) {
            QCOMPARE(Regional::numberText(valore), QString::fromLatin1(testo));
            QCOMPARE(Regional::sqlNumber(valore), QString::fromLatin1(testo).replace(u',', u'.'));
        }
        const std::pair<const char *, double> letti[] = {{"2,5", 2.5}, {"1.000", 1000}, {"1.234,50", 1234.5},
            {" 12,5 ", 12.5}, {"-1", -1}, {"+7", 7}, {"8001234567890", 8001234567890.0}, {",5", 0.5},
            {"1.234.567", 1234567}};
        for (const auto &[testo, valore] : letti)
            QCOMPARE(Regional::readNumber(QString::fromLatin1(testo)).value_or(-99), valore);
        for (const char *no :
            {"", ",", "abc", "P00012", "1,2,3", "12.", ".5", "1..2", "-", "12,00 \u20ac", "1e", "2,5x"})
            QVERIFY2(!Regional::readNumber(QString::fromUtf8(no)), no);
        const std::pair<QVariant, const char *> casi[] = {{0.0, "0,00"}, {u"0"_s, "0,00"}, {QString(), "0,00"},
            {u","_s, "0,00"}, {u" 12,5 "_s, "12,50"}, {1000.0, "1.000,00"}, {0.125, "0,12"}, {0.375, "0,38"},
            {2.5, "2,50"}, {-1234.5, "-1.234,50"}, {1234567.891, "1.234.567,89"}, {0.5, "0,50"}, {0.001, "0,00"},
            {-0.001, "0,00"}, {99999999.99, "99.999.999,99"}, {u"1.234,5"_s, "1.234,50"}, {100.0, "100,00"},
            {123456.0, "123.456,00"}};
        for (const auto &[valore, testo] : casi)
            QCOMPARE(Modulo::FormattaNumero(valore, 2), QString::fromLatin1(testo));
        QCOMPARE(Modulo::FormattaNumero(2.5, 0) + u'|' + Modulo::FormattaNumero(3.5, 0), u"2|4"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Modulo::FormattaNumero(u"abc"_s, 2));
        const QDateTime mezzanotte(QDate(2026, 12, 5), QTime(0, 0));
        QCOMPARE(Regional::dateText(QDate(2027, 1, 2)), u"02/01/2027"_s);
        QCOMPARE(Regional::timeText(QTime(4, 3, 2)), u"04:03:02"_s);
        QCOMPARE(Regional::generalDateText(mezzanotte), u"05/12/2026"_s);
        QCOMPARE(Regional::generalDateText(QDateTime(QDate(2026, 12, 5), QTime(0, 5, 1))), u"05/12/2026 00:05:01"_s);
        // stored as text on SQLite, as a date on SQL Server
        for (const QVariant &v : {QVariant(u"05/12/2026"_s), QVariant(u"2026-12-05 00:00:00"_s), QVariant(mezzanotte)})
            QCOMPARE(Regional::toDateTime(v), mezzanotte);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Regional::toDateTime(u"domani"_s));
        QCOMPARE(Regional::valueText(2.5) + Regional::valueText(qlonglong(42)) + Regional::valueText(QVariant()),
            u"2,542"_s);
        QCOMPARE(Regional::valueText(true), u"Vero"_s);
        QCOMPARE(
            Regional::toNumber(QVariant()) + Regional::toNumber(u"12.50"_s) + Regional::toNumber(u"1.234,5"_s), 1247.0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Regional::toNumber(u"x"_s));
        QCOMPARE(Regional::trimBlanks(u"  a\tb \r\n  "_s), u"a\tb \r\n"_s);
        QCOMPARE(Regional::trimBlanks(u"\t x "_s), u"\t x"_s);
        QCOMPARE(
            WinText::encode(u"Qt\u00e0Reale \u20ac\u2019\u00a0\u00ff"_s), QByteArray("Qt\xe0Reale \x80\x92\xa0\xff"));
        QCOMPARE(WinText::encode(u"\u4e2d\U0001F600x\u0100\u0081"_s), QByteArray("??x??"));
        QCOMPARE(WinText::decode(QByteArray("\x80\xe0\x9f\x81")), u"\u20ac\u00e0\u0178\u0081"_s);
        const QByteArray alti("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93\x94\x95\x96\x97\x98\x99"
                              "\x9a\x9b\x9c\x9e\x9f");
        // Windows-1252's own table
        QCOMPARE(WinText::encode(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"_s), alti);
        QCOMPARE(WinText::decode(alti), u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"_s);
        QCOMPARE(WinText::field(u"ab"_s, 5), QByteArray("ab   "));
        QCOMPARE(WinText::field(u"abcdef"_s, 4), QByteArray("abcd"));
        QCOMPARE(WinText::field(u"\u00e8\u20ac"_s, 3), QByteArray("\xe8\x80 "));
        QCOMPARE(WinText::field(u"a\r\nb\tc\x1f\x7f~"_s, 9), QByteArray("a  b c  ~"));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        WinText::writeLine(buffer, "x|");
        QCOMPARE(buffer.data(), QByteArray("x|\r\n"));
        QBuffer chiuso;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, WinText::writeLine(chiuso, "x"));
    }
};
INVENTARIO_TEST(TestRegionale)
#include "tst_regionale.moc"
