// The program's frame: term.ini byte for byte, the error form and its log, opening the shared connection with its
// indicator and guard.
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "frame/frmerrore.h"
#include "frame/modulo.h"
#include "platform/clock.h"
#include "records/schema.h"
#include "screen/frminventario.h"
#include "screen/inventariomodel.h"
#include "ui_FrmErrore.h"
#include "ui_frmInventario.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
void scriviFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}
QByteArray riga(const QString &logica) { return Modulo::CodificaRiga(logica) + "\r\n"; }
QByteArray pad(const QByteArray &s, int w) { return s.leftJustified(w, ' ', true) + '|'; }
QString leggi(const char *chiave) { return Modulo::LeggiParametro(QString::fromLatin1(chiave)); }
bool scrivi(const char *chiave, const QString &valore)
{
    return Modulo::ScriviParametro(QString::fromLatin1(chiave), valore);
}
}   // namespace

class TestFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileTermIni()
    {
        QCOMPARE(Modulo::CodificaRiga(u"A=b"_s), QByteArray("\x4b\x47\x6c"));
        // every code in its place, the ten top codes folded onto 9..0
        const std::pair<int, int> codici[] = {
            {0, 10}, {1, 11}, {10, 20}, {33, 43}, {245, 255}, {246, 9}, {250, 5}, {255, 0}};
        for (auto [c, b] : codici)
            QCOMPARE(Modulo::CodificaRiga(QString(QChar(c))), QByteArray(1, char(b)));
        for (int c = 1; c < 256; ++c)
            if ((c < 0x80 || c >= 0xA0) && c != '"')
                QCOMPARE(Modulo::DecodificaRiga(Modulo::CodificaRiga(QString(QChar(c)))), QString(QChar(c)));
        QCOMPARE(Modulo::DecodificaRiga(QByteArray("\x00\x0a\x0b", 3)), QString(QChar(255)) + QChar(245) + QChar(1));
        // quotes are doubled on writing and halved on reading
        QCOMPARE(Modulo::CodificaRiga(u"\""_s), QByteArray("\x2c\x2c"));
        QCOMPARE(Modulo::DecodificaRiga(Modulo::CodificaRiga(u"PWD=\"a\"\"b\""_s)), u"PWD=\"a\"\"b\""_s);
        Fixture::Program program(Fixture::Program::Empty, false);
        QCOMPARE(leggi("StrConnPrincipale"), QString());   // a missing file is created empty
        QVERIFY(QFile::exists(program.file(u"term.ini"_s)) && program.readFile(u"term.ini"_s).isEmpty());
        QVERIFY(scrivi("StrConnPrincipale", u"x=y"_s));
        QCOMPARE(program.readFile(u"term.ini"_s), riga(u"STRCONNPRINCIPALE=x=y"_s));
        scriviFile(program.file(u"term.ini"_s), riga(u"strconnprincipaleserver=srv"_s)
                                                    + riga(u"strconnprincipale=abc"_s) + riga(u"k=1"_s) + riga(u"X=2"_s)
                                                    + riga(u"K=3"_s));
        QCOMPARE(leggi(" StrConnPrincipale "), u"abc"_s);
        QCOMPARE(leggi("StrConnPrincipaleServer") + leggi("k") + leggi("Y"), u"srv1"_s);
        QVERIFY(scrivi("StrConnPrincipale", u"  nuovo  "_s) && scrivi(" K", u"9"_s) && scrivi("Vuota", QString()));
        QCOMPARE(program.readFile(u"term.ini"_s), riga(u"strconnprincipaleserver=srv"_s)
                                                      + riga(u"STRCONNPRINCIPALE=nuovo"_s) + riga(u"K=9"_s)
                                                      + riga(u"X=2"_s) + riga(u"K=9"_s) + riga(u"VUOTA="_s));
        QVERIFY(!QFile::exists(program.file(u"termTemp.ini"_s)));
        // damaged files keep their other lines
        QByteArray garbage;
        for (int i = 0; i < 256; ++i)
            if (i != '\n' && i != '\r')
                garbage.append(char(i));
        const QByteArray lunga(100 * 1024, 'z');   // then no final line end, a lone CR inside a line
        scriviFile(program.file(u"term.ini"_s), garbage + "\r\n" + lunga + "\n" + riga(u"A=1"_s) + "x\ry");
        QVERIFY(scrivi("B", u"3"_s));   // appended after the last line, which has no line end
        QCOMPARE(leggi("B") + leggi("A"), u"31"_s);
        QVERIFY(scrivi("A", u"2"_s));
        QCOMPARE(program.readFile(u"term.ini"_s),
            garbage + "\r\n" + lunga + "\r\n" + riga(u"A=2"_s) + "x\ry\r\n" + riga(u"B=3"_s));
        // a folder in the file's place fails every open, even for root
        QVERIFY(QFile::remove(program.file(u"term.ini"_s)) && QDir(program.folder()).mkdir(u"term.ini"_s));
        QCOMPARE(leggi("X"), QString());
        QVERIFY(!scrivi("X", u"1"_s));
        QCOMPARE(program.errors.size(), 2);
        QVERIFY(program.errors.at(0).description.endsWith(" (LeggiParametro) "_L1));
        QVERIFY(program.errors.at(1).description.endsWith(" (ScriviParametro) "_L1));
    }
    // The form shows the error and blinks; its button writes LogErrori.TXT (a header when new) and ends the program.
    void moduloErroreELog()
    {
        Fixture::Program program;
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 5), QTime(9, 8, 7)); });
        FrmErrore form;
        const QString lunga = u"Tipo non corrispondente "_s + QString(190, u'd') + u" (LeggiParametro) "_s;
        form.riempi({13, 4, lunga, u" frmInventario "_s, u"txtCodice"_s});
        QCOMPARE(form.windowTitle(), u"Errore!!"_s);
        QCOMPARE(
            form.ui->lblNumero->text() + form.ui->lblLinea->text() + form.ui->lblVersione->text(), u"1341.5.542"_s);
        QCOMPARE(form.ui->txtDescrizione->toPlainText(), lunga);   // shown whole
        QCOMPARE(form.Timer1.interval(), 500);   // the label blinks every half second
        form.ui->cmdEsci->click();
        QCOMPARE(program.programEnds, 1);
        const QByteArray testa = pad("Data", 10) + pad("Ora", 8) + pad("Form Attivo", 20) + pad("Oggetto Attivo", 20)
                                 + pad("Linea", 6) + pad("Versione", 10) + pad("Descrizione Errore", 200)
                                 + pad("Numero", 10);
        const QByteArray prima = pad("05/12/2026", 10) + pad("09:08:07", 8) + pad("frmInventario", 20)
                                 + pad("txtCodice", 20) + pad("4", 6) + pad("1.5.542", 10) + pad(lunga.toLatin1(), 200)
                                 + pad("13", 10);
        QCOMPARE(program.logAtEnd, testa + "\r\n" + prima + "\r\n");   // written before the end
        // the second error adds a record only; the number cut to 10
        form.riempi({-2147217900, 0, u"x"_s, QString(), QString()});
        form.ui->cmdEsci->click();
        QVERIFY(program.readFile(u"LogErrori.TXT"_s)
                    .endsWith(prima + "\r\n" + pad("05/12/2026", 10) + pad("09:08:07", 8) + pad("", 20) + pad("", 20)
                              + pad("0", 6) + pad("1.5.542", 10) + pad("x", 200) + "-214721790|\r\n"));
        // a trap with no control focused names none (the screen's own are named by the screen tests)
        Modulo::guarded(QString(), [] { throw RuntimeError(5, u"x"_s); });
        QCOMPARE(program.errors.at(0).control, QString());
    }
    // Empty or missing term.ini, a string that cannot be right, a closed port or a missing file: "NO" at once, no box;
    // the demo: "OK" and the screen ready; a silent server: "NO" after the whole 5 s, the window alive.
    void avvioEIndicatore()
    {
        START_RECORDER(muta, QByteArray(), true);   // a server that accepts and never answers
        QTcpServer chiusa;
        QVERIFY(chiusa.listen(QHostAddress::LocalHost));
        const QString server = u"Provider=SQLOLEDB;Data Source=127.0.0.1,%1;UID=sa;PWD=x;DATABASE=V"_s;
        const QString porta = server.arg(chiusa.serverPort());
        chiusa.close();
        const struct {
            QString stringa;
            qint64 minimo, massimo;
            bool ok;
        } casi[] = {{QString(), 0, 1000, false}, {u"Provider=Nessuno;Data Source=x"_s, 0, 1000, false},
            {porta, 0, 2500, false}, {u"Provider=SQLite;Data Source=assente.db"_s, 0, 1000, false},
            {server.arg(muta.port()), 4500, 6500, false}, {u"Provider=SQLite;Data Source=test.db"_s, 0, 1000, true}};
        for (const auto &c : casi) {
            Fixture::Program program(Fixture::Program::Demo, false);
            if (!c.stringa.isEmpty())
                scrivi("StrConnPrincipale", c.stringa);
            int tick = 0;
            frmInventario form;
            QTimer timer;
            timer.callOnTimeout([&] {   // the operator's click while the screen waits is dropped
                if (++tick == 5)   // through the window, as the system delivers it
                    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                        form.ui->btn_tutti->mapTo(&form, form.ui->btn_tutti->rect().center()));
            });
            timer.start(50);
            form.show();
            QElapsedTimer t;
            t.start();
            form.Form_Load();
            QVERIFY2(t.elapsed() >= c.minimo && t.elapsed() < c.massimo,
                qPrintable(c.stringa + u" %1 ms"_s.arg(t.elapsed())));
            QVERIFY(c.minimo == 0 || tick > 20);   // the window lived meanwhile
            QCOMPARE(form.ui->lblTest1->text(), c.ok ? u"OK"_s : u"NO"_s);
            QVERIFY(form.ui->lblTest1->styleSheet().contains(
                c.ok ? "background-color: rgb(0, 255, 0)"_L1 : "background-color: rgb(255, 0, 0)"_L1));
            QCOMPARE(Modulo::ConnPrincipale().isOpen(), c.ok);
            QCOMPARE(form.modelloLista()->columnCount(), c.ok ? 16 : 0);
            QCOMPARE(form.modelloLista()->righe() > 0, c.ok);
            QVERIFY2(program.messages.isEmpty() && program.errors.isEmpty(),
                qPrintable(c.stringa + program.messages.value(0).prompt + QString::number(tick)));
            QVERIFY(QFile::exists(program.file(u"term.ini"_s)) && !QFile::exists(program.file(u"assente.db"_s)));
            if (c.ok) {   // open already: left alone, whatever term.ini says now
                Schema::creaDatabaseSQLite(program.file(u"altro.db"_s), false);
#ifdef Q_OS_LINUX
                {   // a database that could not be written whole is not left to be taken for one
                    Fixture::DiscoPieno pieno;
                    QVERIFY_THROWS_EXCEPTION(RuntimeError, Schema::creaDatabaseSQLite(program.file(u"pieno.db"_s), 1));
                }
                QVERIFY(!QFile::exists(program.file(u"pieno.db"_s)));
                Connection altro;   // its file taken away while open: the connection is lost
                altro.open(u"Provider=SQLite;Data Source=altro.db"_s);
                QVERIFY(QFile::rename(program.file(u"altro.db"_s), program.file(u"via.db"_s)) && !altro.isOpen()
                        && QFile::rename(program.file(u"via.db"_s), program.file(u"altro.db"_s)));
#endif
                scrivi("StrConnPrincipale", u"Provider=SQLite;Data Source=altro.db"_s);
                QVERIFY(Modulo::ApriConnessione());
                QVERIFY(
                    Recordset(Modulo::ConnPrincipale(), u"SELECT count(*) AS n FROM Prodotti"_s).field(u"n"_s).toInt()
                    > 0);
            }
        }
    }
};
INVENTARIO_TEST(TestFrame)
#include "tst_frame.moc"
