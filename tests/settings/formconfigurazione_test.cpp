// The connection settings dialog: loading from term.ini, the composed
// string, testing and storing, and leaving it.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/connstring.h"
#include "platform/db.h"
#include "records/schema.h"
#include "screen/frminventario.h"
#include "settings/formconfigurazione.h"
#include "settings/serverlist.h"
#include "ui_FormConfigurazione.h"
#include "ui_frmInventario.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
QString key(const char *name) { return Modulo::LeggiParametro(QString::fromLatin1(name)); }

void store(const QString &server, const QString &user, const QString &password, const QString &database)
{
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"),
                            FormConfigurazione::stringaComposta(server, user, password, database));
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipaleServer"), server);
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipaleUtente"), user);
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipalePassword"), password);
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipaleDatabase"), database);
}

const QString kFallito = QStringLiteral("Impossibile Connettere il Database Principale!! ");
} // namespace

class FormConfigurazioneTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return f.fileName();
    }
    void driverInstalled(bool yes)
    {
        ConnString::setOdbcInstPath(write(QStringLiteral("odbcinst.ini"),
                                          yes ? "[ODBC Driver 18 for SQL Server]\nDriver=/opt/x.so\n"
                                              : "[SQLite3]\nDriver=libsqlite3odbc.so\n"));
    }

private Q_SLOTS:
    void init()
    {
        driverInstalled(true);
        ServerList::setSources({write(QStringLiteral("freetds.conf"), "[global]\n[MAGAZZINO]\n[CASSA]\n")},
                               {write(QStringLiteral("odbc.ini"), "")});
    }
    void cleanup()
    {
        ConnString::setOdbcInstPath(QStringLiteral("/etc/odbcinst.ini"));
        ServerList::setSources({}, {});
        FormConfigurazione::setConnectionTest(nullptr);
    }

    void loadsAComposedString()
    {
        Fixture::Program p;
        store(QStringLiteral("CASSA"), QStringLiteral("sa"), QStringLiteral("segreta"), QStringLiteral("Ventrox"));
        FormConfigurazione d;
        QCOMPARE(d.ui->ComboServer->count(), 2);
        QCOMPARE(d.ui->ComboServer->itemText(0), QStringLiteral("MAGAZZINO"));
        QCOMPARE(d.ui->ComboServer->currentText(), QStringLiteral("CASSA"));
        QCOMPARE(d.ui->txtUtente->text(), QStringLiteral("sa"));
        QCOMPARE(d.ui->txtPassword->text(), QStringLiteral("segreta"));
        QCOMPARE(d.ui->txtDatabase->text(), QStringLiteral("Ventrox"));
        QCOMPARE(d.ui->txtStringa->toPlainText(),
                 QStringLiteral("Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=segreta;DATABASE=Ventrox"));
        QVERIFY(d.ui->ImageSi->isHidden());
        QVERIFY(d.ui->imageNo->isHidden());
        QVERIFY(p.messages.isEmpty());
        QVERIFY(p.errors.isEmpty());
    }

    void loadsAHandMadeStringAsStored()
    {
        Fixture::Program p;   // term.ini holds only the SQLite string
        FormConfigurazione d;
        QCOMPARE(d.ui->ComboServer->currentText(), QString());
        QCOMPARE(d.ui->txtUtente->text(), QString());
        QCOMPARE(d.ui->txtStringa->toPlainText(), p.connectionString());
    }

    void missingDriverIsToldAndLoadingGoesOn()
    {
        driverInstalled(false);
        Fixture::Program p;
        Modulo::ScriviParametro(QStringLiteral("StrConnPrincipaleServer"), QStringLiteral("SRV"));
        FormConfigurazione d;
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, QStringLiteral("Librerie MS SQL Mancanti!"));
        QCOMPARE(p.messages[0].style, 64);
        QCOMPARE(p.messages[0].prompt,
                 QStringLiteral("Su questo PC non sono Installate le librerie Client di MS SQL!\r\n\r\n"
                                "Il Programma funziona ugualmente però non riesce a trovare i Server "
                                "Disponibili in Automatico!"));
        QCOMPARE(d.ui->ComboServer->count(), 0);
        QCOMPARE(d.ui->ComboServer->currentText(), QStringLiteral("SRV"));
        QCOMPARE(d.ui->txtStringa->toPlainText(), p.connectionString());
    }

    void typingOrChoosingRebuildsTheString()
    {
        Fixture::Program p;
        FormConfigurazione d;
        QTest::keyClicks(d.ui->txtUtente, QStringLiteral(" sa "));
        QCOMPARE(d.ui->txtStringa->toPlainText(), QStringLiteral("Provider=SQLOLEDB;Data Source=;UID=sa;PWD=;DATABASE="));
        QTest::keyClicks(d.ui->txtStringa, QStringLiteral("x"));   // typing in the string changes nothing else
        QCOMPARE(d.ui->txtUtente->text(), QStringLiteral(" sa "));

        d.ui->ComboServer->setCurrentIndex(1);
        QCOMPARE(d.ui->txtStringa->toPlainText(), QStringLiteral("Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=;DATABASE="));
        d.ui->txtStringa->setPlainText(QStringLiteral("a mano"));
        Q_EMIT d.ui->ComboServer->activated(1);   // the name already shown, chosen again
        QCOMPARE(d.ui->txtStringa->toPlainText(), QStringLiteral("Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=;DATABASE="));
        QTest::keyClicks(d.ui->txtDatabase, QStringLiteral("Ventrox "));
        QTest::keyClicks(d.ui->txtPassword, QStringLiteral(" p w "));
        QCOMPARE(d.ui->txtStringa->toPlainText(),
                 QStringLiteral("Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=p w;DATABASE=Ventrox"));
    }

    void savesAHandMadeStringWithEmptyParts()
    {
        Fixture::Program p;
        store(QStringLiteral("OLD"), QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("d"));
        FormConfigurazione d;
        d.ui->txtStringa->setPlainText(QStringLiteral("  ") + p.connectionString() + QStringLiteral(" \n"));
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].prompt, QStringLiteral("Database Principale Collegato Correttamente!!"));
        QCOMPARE(p.messages[0].title, QStringLiteral("Database OK"));
        QCOMPARE(p.messages[0].style, 64);
        QCOMPARE(key("StrConnPrincipale"), p.connectionString());
        for (const char *k : {"StrConnPrincipaleServer", "StrConnPrincipaleUtente", "StrConnPrincipalePassword",
                              "StrConnPrincipaleDatabase"})
            QCOMPARE(key(k), QString());
        QVERIFY(!d.ui->ImageSi->isHidden());
        QVERIFY(d.ui->imageNo->isHidden());
        QVERIFY(d.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    // No SQL Server answers here: a stand-in accepts the composed string.
    void savesAComposedStringWithItsParts()
    {
        Fixture::Program p;
        QStringList tested;
        FormConfigurazione::setConnectionTest([&](const QString &s) {
            tested << s;
            return QString();
        });
        const QString password = QStringLiteral("p;w=\"x y");
        FormConfigurazione d;
        d.ui->ComboServer->setEditText(QStringLiteral(" SRV01\\SQLEXPRESS "));
        d.ui->txtUtente->setText(QStringLiteral(" sa"));
        d.ui->txtPassword->setText(QStringLiteral("  ") + password + QStringLiteral(" "));
        d.ui->txtDatabase->setText(QStringLiteral("Ventrox  "));
        const QString composta = QStringLiteral("Provider=SQLOLEDB;Data Source=SRV01\\SQLEXPRESS;UID=sa;PWD=")
                                 + password + QStringLiteral(";DATABASE=Ventrox");
        QCOMPARE(d.ui->txtStringa->toPlainText(), composta);
        d.ui->cmdDBSalva->click();
        QCOMPARE(tested, QStringList{composta});
        QCOMPARE(key("StrConnPrincipale"), composta);
        QCOMPARE(key("StrConnPrincipaleServer"), QStringLiteral("SRV01\\SQLEXPRESS"));
        QCOMPARE(key("StrConnPrincipaleUtente"), QStringLiteral("sa"));
        QCOMPARE(key("StrConnPrincipalePassword"), password);
        QCOMPARE(key("StrConnPrincipaleDatabase"), QStringLiteral("Ventrox"));

        FormConfigurazione again;
        QCOMPARE(again.ui->txtPassword->text(), password);
        QCOMPARE(again.ui->ComboServer->currentText(), QStringLiteral("SRV01\\SQLEXPRESS"));
        QCOMPARE(again.ui->txtStringa->toPlainText(), composta);
    }

    void refusedConnectionStoresNothingThenSuccessSwapsImages()
    {
        Fixture::Program p;
        FormConfigurazione d;
        const QByteArray before = p.readFile(QStringLiteral("term.ini"));
        d.ui->txtStringa->setPlainText(QStringLiteral("Provider=SQLite;Data Source=") + p.file(QStringLiteral("nessuno.db")));
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].style, 16);
        QCOMPARE(p.messages[0].title, kFallito);
        QVERIFY2(p.messages[0].prompt.contains(QLatin1String("nessuno.db")), qPrintable(p.messages[0].prompt));
        QVERIFY(d.ui->ImageSi->isHidden());
        QVERIFY(!d.ui->imageNo->isHidden());
        QVERIFY(d.isEnabled());
        QCOMPARE(p.readFile(QStringLiteral("term.ini")), before);

        d.ui->txtStringa->setPlainText(p.connectionString());
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 2);
        QCOMPARE(p.messages[1].title, QStringLiteral("Database OK"));
        QVERIFY(!d.ui->ImageSi->isHidden());
        QVERIFY(d.ui->imageNo->isHidden());
    }

    // What the dialog stored is what the next start opens: here another
    // database, named relative to the program's folder.
    void storedStringIsWhatTheNextStartOpens()
    {
        Fixture::Program p;
        Schema::creaDatabaseSQLite(p.file(QStringLiteral("altro.db")), true);
        FormConfigurazione d;
        d.ui->txtStringa->setPlainText(QStringLiteral("Provider=SQLite;Data Source=altro.db"));
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.last().title, QStringLiteral("Database OK"));
        Modulo::ConnPrincipale().close();
        QVERIFY(Modulo::ApriConnessione());
        Recordset rs(Modulo::ConnPrincipale(), QStringLiteral("Select Count(IdProdotto) as Conta FROM Prodotti "));
        QVERIFY(rs.field(QStringLiteral("Conta")).toInt() > 0);   // the demo's products, not the empty test.db
    }

    void emptyFieldsComposeAStringThatIsRefused()
    {
        Fixture::Program p;
        FormConfigurazione d;
        const QByteArray before = p.readFile(QStringLiteral("term.ini"));
        d.ricomponiStringa();
        QCOMPARE(d.ui->txtStringa->toPlainText(), QStringLiteral("Provider=SQLOLEDB;Data Source=;UID=;PWD=;DATABASE="));
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, kFallito);
        QVERIFY(!p.messages[0].prompt.isEmpty());
        QCOMPARE(p.readFile(QStringLiteral("term.ini")), before);
    }

    void longStrings()
    {
        Fixture::Program p;
        FormConfigurazione d;
        QString lunga = p.connectionString() + QStringLiteral(";Commento=");
        lunga += QString(5000 - lunga.size(), QLatin1Char('x'));
        d.ui->txtStringa->setPlainText(lunga);
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.last().title, QStringLiteral("Database OK"));
        QCOMPARE(key("StrConnPrincipale"), lunga);

        const QByteArray before = p.readFile(QStringLiteral("term.ini"));
        d.ui->txtStringa->setPlainText(QString(5000, QLatin1Char(';')));
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.last().title, kFallito);
        QCOMPARE(p.readFile(QStringLiteral("term.ini")), before);
    }

    // A port that takes the connection and never says a word: the test gives
    // up after about 5 seconds, and the window keeps painting meanwhile.
    void serverThatNeverAnswers()
    {
        ConnString::setOdbcInstPath(QStringLiteral("/etc/odbcinst.ini"));
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")) || ConnString::sqlServerDriver().isEmpty())
            QSKIP("no SQL Server ODBC driver on this machine");
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0);
        QVERIFY(::listen(fd, 4) == 0);
        QVERIFY(::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0);

        Fixture::Program p;
        FormConfigurazione d;
        d.ui->ComboServer->setEditText(QStringLiteral("127.0.0.1,%1").arg(ntohs(addr.sin_port)));
        d.ui->txtUtente->setText(QStringLiteral("sa"));
        int ticks = 0;
        bool disabledMeanwhile = false;
        QTimer painter;
        connect(&painter, &QTimer::timeout, [&] {
            ++ticks;
            disabledMeanwhile = disabledMeanwhile || !d.isEnabled();
        });
        painter.start(50);
        QElapsedTimer clock;
        clock.start();
        d.ui->cmdDBSalva->click();
        const qint64 elapsed = clock.elapsed();
        painter.stop();
        ::close(fd);   // lets the abandoned attempt end
        QTest::qWait(300);

        QVERIFY2(elapsed > 4000 && elapsed < 7000, qPrintable(QString::number(elapsed)));
        QVERIFY(ticks > 10);
        QVERIFY(disabledMeanwhile);
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, kFallito);
        QVERIFY(!d.ui->imageNo->isHidden());
        QCOMPARE(key("StrConnPrincipale"), p.connectionString());
    }

    void onlyEsciLeavesTheDialog()
    {
        Fixture::Program p;
        QWidget owner;
        owner.setEnabled(false);
        FormConfigurazione d(&owner);
        bool stayed = false;
        Fixture::whenModal([&](QWidget *modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
            modal->close();
            stayed = modal->isVisible();
            d.ui->CmdEsci->click();
        });
        d.exec();
        QVERIFY(stayed);
        QVERIFY(owner.isEnabled());
        QVERIFY(!d.isVisible());
    }

    void menuOpensTheDialog()
    {
        Fixture::Program p;
        frmInventario w;
        QVERIFY(w.ui->ConfFTP->isEnabled());
        QVERIFY(w.ui->MnuFileInvTab->isEnabled());
        QCOMPARE(w.ui->ConfFTP->text(), QStringLiteral("Configura Connessione SQL"));
        QString opened;
        Fixture::whenModal([&](QWidget *modal) {
            auto *d = qobject_cast<FormConfigurazione *>(modal);
            opened = d ? d->ui->txtStringa->toPlainText() : QStringLiteral("?");
            if (d)
                d->ui->CmdEsci->click();
        });
        w.ui->ConfFTP->trigger();
        QCOMPARE(opened, p.connectionString());
        QVERIFY(w.isEnabled());
        QVERIFY(p.errors.isEmpty());
    }
};

INVENTARIO_TEST(FormConfigurazioneTest)
#include "formconfigurazione_test.moc"
