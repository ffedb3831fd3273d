#include "fixture/testmain.h"
#include "platform/errors.h"
#include "platform/wintext.h"

#include <QBuffer>
#include <QTest>

class TestWinText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesOneBytePerCharacter()
    {
        QCOMPARE(WinText::encode(QStringLiteral("Qt\u00e0Reale")), QByteArray("Qt\xe0Reale"));
        QCOMPARE(WinText::encode(QStringLiteral("\u20ac \u2019")), QByteArray("\x80 \x92"));
        // outside Windows-1252: one '?' per character, also for surrogate pairs
        QCOMPARE(WinText::encode(QStringLiteral("\u4e2d\U0001F600x")), QByteArray("??x"));
        QCOMPARE(WinText::decode(QByteArray("\x80\xe0")), QStringLiteral("\u20ac\u00e0"));
    }
    void fieldsPadAndCut()
    {
        QCOMPARE(WinText::field(QStringLiteral("ab"), 5), QByteArray("ab   "));
        QCOMPARE(WinText::field(QStringLiteral("abcdef"), 4), QByteArray("abcd"));
        QCOMPARE(WinText::field(QStringLiteral("\u00e8\u20ac"), 3), QByteArray("\xe8\x80 "));
        // a line end inside a value must not break the line
        QCOMPARE(WinText::field(QStringLiteral("a\r\nb\tc"), 6), QByteArray("a  b c"));
    }
    void linesEndWithCrLf()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        WinText::writeLine(buffer, "x|");
        QCOMPARE(buffer.data(), QByteArray("x|\r\n"));
        QBuffer closed;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, WinText::writeLine(closed, "x"));
    }
};
INVENTARIO_TEST(TestWinText)
#include "tst_wintext.moc"
