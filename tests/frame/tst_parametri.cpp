// term.ini, byte for byte: the scrambling, keys without regard to case,
// blanks, duplicates, quotes, and damaged files.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/parametri.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
QByteArray lineOf(const QString &logical) { return Modulo::CodificaRiga(logical) + "\r\n"; }
} // namespace

class TestParametri : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scrambling()
    {
        QCOMPARE(Modulo::CodificaRiga(QStringLiteral("A=b")), QByteArray("\x4b\x47\x6c"));
        // the ten top codes fold onto 9..0 and come back
        QCOMPARE(Modulo::CodificaRiga(QString(QChar(0xFF))), QByteArray(1, '\0'));
        QCOMPARE(Modulo::CodificaRiga(QString(QChar(0xF6))), QByteArray(1, '\x09'));
        for (int c = 1; c < 256; ++c) {
            const QString s = c >= 0x80 && c < 0xA0 ? QString() : QString(QChar(c));
            if (s.isEmpty() || c == '"')
                continue;
            QCOMPARE(Modulo::DecodificaRiga(Modulo::CodificaRiga(s)), s);
        }
        // quotes are doubled on writing and halved on reading
        QCOMPARE(Modulo::CodificaRiga(QStringLiteral("\"")), QByteArray("\x2c\x2c"));
        QCOMPARE(Modulo::DecodificaRiga(Modulo::CodificaRiga(QStringLiteral("PWD=\"a\"\"b\""))), QStringLiteral("PWD=\"a\"\"b\""));
    }

    void missingFileIsCreatedEmpty()
    {
        Fixture::Program program(Fixture::Program::Empty, false);
        QVERIFY(!QFile::exists(program.file("term.ini")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("StrConnPrincipale")), QString());
        QVERIFY(QFile::exists(program.file("term.ini")));
        QCOMPARE(program.readFile("term.ini"), QByteArray());
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), QStringLiteral("x=y")));
        QCOMPARE(program.readFile("term.ini"), lineOf(QStringLiteral("STRCONNPRINCIPALE=x=y")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("StrConnPrincipale")), QStringLiteral("x=y"));
        QVERIFY(!QFile::exists(program.file("termTemp.ini")));
    }

    void keysCaseBlanksAndPrefixes()
    {
        Fixture::Program program(Fixture::Program::Empty, false);
        writeRaw(program.file("term.ini"), lineOf(QStringLiteral("strconnprincipaleserver=srv"))
                                              + lineOf(QStringLiteral("strconnprincipale=abc"))
                                              + lineOf(QStringLiteral("ALTRO=1")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral(" StrConnPrincipale ")), QStringLiteral("abc"));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("StrConnPrincipaleServer")), QStringLiteral("srv"));
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), QStringLiteral("  nuovo  ")));
        QCOMPARE(program.readFile("term.ini"), lineOf(QStringLiteral("strconnprincipaleserver=srv"))
                                                   + lineOf(QStringLiteral("STRCONNPRINCIPALE=nuovo"))
                                                   + lineOf(QStringLiteral("ALTRO=1")));
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("StrConnPrincipaleUtente"), QString()));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("StrConnPrincipaleUtente")), QString());
        QVERIFY(program.readFile("term.ini").endsWith(lineOf(QStringLiteral("STRCONNPRINCIPALEUTENTE="))));
    }

    void duplicatesAreAllReplaced()
    {
        Fixture::Program program(Fixture::Program::Empty, false);
        writeRaw(program.file("term.ini"), lineOf("K=1") + lineOf("X=2") + lineOf("k=3"));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("K")), QStringLiteral("1"));
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("K"), QStringLiteral("9")));
        QCOMPARE(program.readFile("term.ini"), lineOf("K=9") + lineOf("X=2") + lineOf("K=9"));
    }

    void damagedFilesKeepTheirOtherLines()
    {
        Fixture::Program program(Fixture::Program::Empty, false);
        QByteArray garbage;
        for (int i = 0; i < 256; ++i)
            if (i != '\n' && i != '\r')
                garbage.append(char(i));
        const QByteArray longLine(100 * 1024, 'z');
        // no final line end, a lone CR inside a line
        writeRaw(program.file("term.ini"), garbage + "\r\n" + longLine + "\n" + lineOf("A=1") + "x\ry");
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("A")), QStringLiteral("1"));
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("A"), QStringLiteral("2")));
        QCOMPARE(program.readFile("term.ini"), garbage + "\r\n" + longLine + "\r\n" + lineOf("A=2") + "x\ry\r\n");
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("B"), QStringLiteral("3")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("B")), QStringLiteral("3"));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("A")), QStringLiteral("2"));

        writeRaw(program.file("term.ini"), lineOf("A=1").chopped(2));   // no line end at all
        QVERIFY(Modulo::ScriviParametro(QStringLiteral("C"), QStringLiteral("4")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("A")), QStringLiteral("1"));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("C")), QStringLiteral("4"));
    }

    void fileErrorsGoToTheErrorForm()
    {
        // a folder in the file's place fails every open, even for root
        Fixture::Program program(Fixture::Program::Empty, false);
        QVERIFY(QDir(program.folder()).mkdir(QStringLiteral("term.ini")));
        QCOMPARE(Modulo::LeggiParametro(QStringLiteral("X")), QString());
        QVERIFY(!Modulo::ScriviParametro(QStringLiteral("X"), QStringLiteral("1")));
        QCOMPARE(program.errors.size(), 2);
        QVERIFY(program.errors.at(0).description.endsWith(QStringLiteral(" (LeggiParametro) ")));
        QVERIFY(program.errors.at(1).description.endsWith(QStringLiteral(" (ScriviParametro) ")));
    }
};
INVENTARIO_TEST(TestParametri)
#include "tst_parametri.moc"
