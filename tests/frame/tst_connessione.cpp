// Opening the shared connection at start-up, the indicator and the guard.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "screen/frminventario.h"
#include "ui_frmInventario.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {
// A loopback port that accepts connections (the kernel completes them) and
// never answers; or, closed at once, a port where nothing listens.
struct Listener {
    QTcpServer server;
    int port = 0;
    explicit Listener(bool keepOpen)
    {
        server.listen(QHostAddress::LocalHost);
        server.pauseAccepting();   // connections stay in the kernel's queue
        port = server.serverPort();
        if (!keepOpen)
            server.close();
    }
    QString connectionString() const
    {
        return QStringLiteral("Provider=SQLOLEDB;Data Source=127.0.0.1,%1;UID=sa;PWD=x;DATABASE=Ventrox").arg(port);
    }
};

bool isRed(QLabel *label) { return label->styleSheet().contains(QStringLiteral("background-color: rgb(255, 0, 0)")); }
bool isGreen(QLabel *label) { return label->styleSheet().contains(QStringLiteral("background-color: rgb(0, 255, 0)")); }
} // namespace

class TestConnessione : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyOrMissingTermIniGivesNoAtOnce()
    {
        Fixture::Program program(Fixture::Program::Empty, false);
        QElapsedTimer t;
        t.start();
        QVERIFY(!Modulo::ApriConnessione());
        QVERIFY(QFile::exists(program.file("term.ini")));
        QVERIFY(!Modulo::ApriConnessione());
        QVERIFY(t.elapsed() < 1000);
        QVERIFY(program.messages.isEmpty());
    }

    void demoDatabaseOpensAndStartUpFillsTheScreen()
    {
        Fixture::Program program(Fixture::Program::Demo);
        frmInventario form;
        form.Form_Load();
        QCOMPARE(form.ui->lblTest1->text(), QStringLiteral("OK"));
        QVERIFY(isGreen(form.ui->lblTest1));
        QVERIFY(Modulo::ConnPrincipale().isOpen());
        QCOMPARE(form.ui->TxtCopieReali->text(), QStringLiteral("1"));
        QVERIFY(program.messages.isEmpty());
        QVERIFY(program.errors.isEmpty());
        // open already: a new test leaves the shared connection alone
        QVERIFY(Modulo::ApriConnessione());
    }

    void missingDatabaseFileGivesNo()
    {
        Fixture::Program program;
        Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), QStringLiteral("Provider=SQLite;Data Source=assente.db"));
        frmInventario form;
        form.Form_Load();
        QCOMPARE(form.ui->lblTest1->text(), QStringLiteral("NO"));
        QVERIFY(isRed(form.ui->lblTest1));
        QVERIFY(!QFile::exists(program.file("assente.db")));
        QVERIFY(program.messages.isEmpty());
    }

    void garbageAndClosedPortGiveNoAtOnce()
    {
        Fixture::Program program;
        Listener closed(false);
        for (const QString &s : {QStringLiteral("garbage;;=="), QStringLiteral("Provider=Nessuno;Data Source=x"), closed.connectionString()}) {
            Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), s);
            QElapsedTimer t;
            t.start();
            QVERIFY2(!Modulo::ApriConnessione(), qPrintable(s));
            QVERIFY2(t.elapsed() < 2500, qPrintable(s));
        }
    }

    void silentServerGivesNoWithinFiveSecondsWhileTheWindowLives()
    {
        Fixture::Program program;
        Listener silent(true);
        Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), silent.connectionString());
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(50);
        QElapsedTimer t;
        t.start();
        frmInventario form;
        form.show();
        form.aggiornaIndicatore();
        const qint64 elapsed = t.elapsed();
        QCOMPARE(form.ui->lblTest1->text(), QStringLiteral("NO"));
        QVERIFY2(elapsed >= 4500 && elapsed < 6500, qPrintable(QString::number(elapsed)));   // the whole 5 s
        QVERIFY2(ticks > 20, qPrintable(QString::number(ticks)));   // timers kept firing
        QVERIFY(!Modulo::ConnPrincipale().isOpen());
    }

    void guardShowsItsMessage()
    {
        Fixture::Program program;
        QVERIFY(!Modulo::connessioneAperta());
        QCOMPARE(program.messages.size(), 1);
        QCOMPARE(program.messages.at(0).prompt, QStringLiteral("DataBase SQL non Connesso Correttamente!!"));
        QCOMPARE(program.messages.at(0).title, QStringLiteral("Attenzione!!"));
        QCOMPARE(program.messages.at(0).style, 16);
        program.connect();
        QVERIFY(Modulo::connessioneAperta());
        QCOMPARE(program.messages.size(), 1);
    }
};
INVENTARIO_TEST(TestConnessione)
#include "tst_connessione.moc"
