// The connection settings dialog: the server names it offers, loading from
// term.ini, the composed string, testing and storing, and leaving it.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/connstring.h"
#include "platform/db.h"
#include "platform/odbcsetup.h"
#include "records/schema.h"
#include "screen/frminventario.h"
#include "settings/formconfigurazione.h"
#include "settings/serverlist.h"
#include "ui_FormConfigurazione.h"
#include "ui_frmInventario.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString kFallito = "Impossibile Connettere il Database Principale!! ";

// The connection string and its four parts as term.ini holds them.
QStringList chiavi()
{
    QStringList values;
    for (const char *k : {"", "Server", "Utente", "Password", "Database"})
        values << Modulo::LeggiParametro("StrConnPrincipale" + QString::fromLatin1(k));
    return values;
}
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
    OdbcSetup::Machine m_machine;

private Q_SLOTS:
    void init()
    {
        m_machine = {{"SQLite3", "ODBC Driver 18 for SQL Server"}, {"MAGAZZINO", "CASSA"}, {}, {}};
        OdbcSetup::setFake(&m_machine);
    }
    void cleanup()
    {
        OdbcSetup::setFake(nullptr);
        FormConfigurazione::setConnectionTest(nullptr);
    }

    // FreeTDS's sections, then the aliases (Windows), then the servers of
    // the data sources with a SQL Server driver (by name or library), each
    // name once; on Linux read from freetds.conf and odbc.ini.
    void serverNamesFromTheConfiguration()
    {
        const QString conf = write("a.conf",
                                   "; a comment\n[global]\n\ttds version = auto\n[MAGAZZINO]\n\thost = 10.0.0.5\n"
                                   "#[commented]\n  [ negozio2 ]  \n\thost = negozio2.local\n[Magazzino]\n");
        QCOMPARE(OdbcSetup::sectionsOf(conf, {"global"}), (QStringList{"MAGAZZINO", "negozio2", "Magazzino"}));
        const QString ini = write("a.ini",
                                  "[ODBC Data Sources]\nGestionale = ODBC Driver 18 for SQL Server\n"
                                  "[Gestionale]\nDriver = ODBC Driver 18 for SQL Server\nServer = srv01\\SQLEXPRESS\n"
                                  "[ViaTds]\nDriver=freetds\nServername=magazzino\n"
                                  "[ConPorta]\nDriver=/usr/lib/odbc/libtdsodbc.so\nServer=10.0.0.9\nPort=1500\n"
                                  "[Nativo]\nDriver={SQL Server Native Client 11.0}\nServer=nativo\n"
                                  "[Ms]\nDriver=/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.3.so\nServer=ms\n"
                                  "[Locale]\nDriver=SQLite3\nServer=sqlite\n[Pg]\nDriver=PostgreSQL Unicode\n"
                                  "Server=pg\n[SenzaDriver]\nServer=nessuno\n[SenzaServer]\nDriver={SQL Server}\n");
        m_machine = {{}, OdbcSetup::sectionsOf(conf, {"global"}), {"SRV01\\SQLEXPRESS", "vecchio"},
                     OdbcSetup::dataSourcesOf(ini) + OdbcSetup::dataSourcesOf(m_dir.filePath("missing.ini"))};
        QCOMPARE(ServerList::available(), (QStringList{"MAGAZZINO", "negozio2", "SRV01\\SQLEXPRESS", "vecchio",
                                                       "10.0.0.9,1500", "nativo", "ms"}));
    }

    // The names offered and what is stored; any change of the four parts
    // composes the string anew.
    void loadsAndRebuildsTheString()
    {
        Fixture::Program p;   // term.ini holds only the SQLite string
        FormConfigurazione d;
        QCOMPARE(d.ui->ComboServer->count(), 2);
        QCOMPARE(d.ui->ComboServer->currentText(), "");
        QCOMPARE(d.ui->txtStringa->toPlainText(), p.connectionString());
        QVERIFY(d.ui->ImageSi->isHidden() && d.ui->imageNo->isHidden());
        QVERIFY(p.messages.isEmpty() && p.errors.isEmpty());

        QTest::keyClicks(d.ui->txtUtente, " sa ");
        QCOMPARE(d.ui->txtStringa->toPlainText(), "Provider=SQLOLEDB;Data Source=;UID=sa;PWD=;DATABASE=");
        QTest::keyClicks(d.ui->txtStringa, "x");   // typing in the string changes nothing else
        QCOMPARE(d.ui->txtUtente->text(), " sa ");
        d.ui->ComboServer->setCurrentIndex(1);
        QCOMPARE(d.ui->txtStringa->toPlainText(), "Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=;DATABASE=");
        d.ui->txtStringa->setPlainText("a mano");
        Q_EMIT d.ui->ComboServer->activated(1);   // the name already shown, chosen again
        QCOMPARE(d.ui->txtStringa->toPlainText(), "Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=;DATABASE=");
        QTest::keyClicks(d.ui->txtDatabase, "Ventrox ");
        QTest::keyClicks(d.ui->txtPassword, " p w ");
        QCOMPARE(d.ui->txtStringa->toPlainText(),
                 "Provider=SQLOLEDB;Data Source=CASSA;UID=sa;PWD=p w;DATABASE=Ventrox");

        // no SQL Server driver: told, no names offered, what is stored loaded all the same
        m_machine.drivers = QStringList{"SQLite3", "PostgreSQL Unicode"};
        Modulo::ScriviParametro("StrConnPrincipaleServer", "SRV");
        FormConfigurazione senza;
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, "Librerie MS SQL Mancanti!");
        QCOMPARE(p.messages[0].style, 64);
        QCOMPARE(senza.ui->ComboServer->count(), 0);
        QCOMPARE(senza.ui->ComboServer->currentText(), "SRV");
        QCOMPARE(senza.ui->txtStringa->toPlainText(), p.connectionString());
    }

    // No SQL Server answers here: a stand-in accepts every string. A composed
    // string is stored with its parts, which the next opening shows; a
    // hand-made one with the parts emptied.
    // The server box takes what is typed (SRV1 stays SRV1 beside SRV10); a
    // name chosen from the list rebuilds the string too.
    void serverTypedOrChosen()
    {
        Fixture::Program p;
        FormConfigurazione d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QComboBox *combo = d.ui->ComboServer;
        combo->addItem("SRV10");
        combo->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "SRV1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(combo->currentText(), "SRV1");
        QVERIFY(d.ui->txtStringa->toPlainText().startsWith("Provider=SQLOLEDB;Data Source=SRV1;UID="));
        QCOMPARE(combo->count(), 3);
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(2, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QVERIFY(d.ui->txtStringa->toPlainText().startsWith("Provider=SQLOLEDB;Data Source=SRV10;UID="));
        d.ui->CmdEsci->click();
    }

    void storesTheStringWithOrWithoutItsParts()
    {
        Fixture::Program p;
        QStringList tested;
        FormConfigurazione::setConnectionTest([&](const QString &s) {
            tested << s;
            return QString();
        });
        const QString password = "p;w=\"x y";
        const QString composta =
            "Provider=SQLOLEDB;Data Source=SRV01\\SQLEXPRESS;UID=sa;PWD=" + password + ";DATABASE=Ventrox";
        {
            FormConfigurazione d;
            d.ui->ComboServer->setEditText(" SRV01\\SQLEXPRESS ");
            d.ui->txtUtente->setText(" sa");
            d.ui->txtPassword->setText("  " + password + " ");
            d.ui->txtDatabase->setText("Ventrox  ");
            QCOMPARE(d.ui->txtStringa->toPlainText(), composta);
            d.ui->cmdDBSalva->click();
        }
        QCOMPARE(tested, QStringList{composta});
        QCOMPARE(chiavi(), (QStringList{composta, "SRV01\\SQLEXPRESS", "sa", password, "Ventrox"}));

        FormConfigurazione d;
        QCOMPARE(d.ui->ComboServer->currentText(), "SRV01\\SQLEXPRESS");
        QCOMPARE(d.ui->txtPassword->text(), password);
        QCOMPARE(d.ui->txtStringa->toPlainText(), composta);
        d.ui->txtStringa->setPlainText("  Provider=SQLite;Data Source=x.db \n");
        d.ui->cmdDBSalva->click();
        QCOMPARE(chiavi(), (QStringList{"Provider=SQLite;Data Source=x.db", "", "", "", ""}));
        QCOMPARE(p.messages.size(), 2);
        QCOMPARE(p.messages[1].prompt, "Database Principale Collegato Correttamente!!");
        QCOMPARE(p.messages[1].title, "Database OK");
        QCOMPARE(p.messages[1].style, 64);
        QVERIFY(!d.ui->ImageSi->isHidden() && d.ui->imageNo->isHidden());
        QVERIFY(d.isEnabled() && !QApplication::overrideCursor());
    }

    // A refused string stores nothing. An accepted one, however long, is
    // what the next start opens: here another database, named relative to
    // the program's folder.
    void onlyAnAcceptedStringIsStored()
    {
        Fixture::Program p;
        Schema::creaDatabaseSQLite(p.file("altro.db"), true);
        FormConfigurazione d;
        const QByteArray before = p.readFile("term.ini");
        for (const QString &refused : {"Provider=SQLite;Data Source=" + p.file("nessuno.db"),
                                       FormConfigurazione::stringaComposta("", "", "", ""), QString(5000, ';')}) {
            d.ui->txtStringa->setPlainText(refused);
            d.ui->cmdDBSalva->click();
            const MsgBox::Call m = p.messages.value(p.messages.size() - 1);
            QVERIFY2(m.title == kFallito && m.style == 16 && !m.prompt.isEmpty(), qPrintable(refused.left(60)));
            QVERIFY(d.ui->ImageSi->isHidden() && !d.ui->imageNo->isHidden() && d.isEnabled());
            QCOMPARE(p.readFile("term.ini"), before);
        }
        QVERIFY2(p.messages[0].prompt.contains("nessuno.db"), qPrintable(p.messages[0].prompt));

        QString lunga = "Provider=SQLite;Data Source=altro.db;Commento=";
        lunga += QString(5000 - lunga.size(), 'x');
        d.ui->txtStringa->setPlainText(lunga);
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 4);
        QCOMPARE(p.messages.last().title, "Database OK");
        QVERIFY(!d.ui->ImageSi->isHidden() && d.ui->imageNo->isHidden());
        QCOMPARE(chiavi()[0], lunga);
        Modulo::ConnPrincipale().close();
        QVERIFY(Modulo::ApriConnessione());
        Recordset rs(Modulo::ConnPrincipale(), "Select Count(IdProdotto) as Conta FROM Prodotti ");
        QVERIFY(rs.field("Conta").toInt() > 0);   // the demo's products, not the empty test.db
    }

    // A port that takes the connection and never says a word: the test gives
    // up after about 5 seconds, and the window keeps painting meanwhile.
    void serverThatNeverAnswers()
    {
        OdbcSetup::setFake(nullptr);
        if (!QSqlDatabase::isDriverAvailable("QODBC") || ConnString::sqlServerDriver().isEmpty())
            QSKIP("no SQL Server ODBC driver on this machine");
        QTcpServer silent;   // takes connections into the kernel's queue, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        silent.pauseAccepting();

        Fixture::Program p;
        FormConfigurazione d;
        d.ui->ComboServer->setEditText(QString("127.0.0.1,%1").arg(silent.serverPort()));
        int ticks = 0;
        bool disabledMeanwhile = false;
        QTimer painter;
        connect(&painter, &QTimer::timeout, [&] { ++ticks; disabledMeanwhile |= !d.isEnabled(); });
        painter.start(50);
        QElapsedTimer clock;
        clock.start();
        d.ui->cmdDBSalva->click();
        const qint64 elapsed = clock.elapsed();
        painter.stop();
        silent.close();   // lets the abandoned attempt end
        QTest::qWait(300);

        QVERIFY2(elapsed > 4000 && elapsed < 7000, qPrintable(QString::number(elapsed)));
        QVERIFY(ticks > 10 && disabledMeanwhile);
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, kFallito);
        QVERIFY(!d.ui->imageNo->isHidden());
        QCOMPARE(chiavi()[0], p.connectionString());
    }

    // Opened from the menu; only ESCI leaves it.
    void menuOpensTheDialogOnlyEsciLeaves()
    {
        Fixture::Program p;
        frmInventario w;
        bool stayed = false;
        Fixture::whenModal([&](QWidget *modal) {
            auto *d = qobject_cast<FormConfigurazione *>(modal);
            if (!d)
                return modal->hide();
            QTest::keyClick(d, Qt::Key_Escape);
            d->close();
            stayed = d->isVisible();
            d->ui->CmdEsci->click();
        });
        w.ui->ConfFTP->trigger();
        QVERIFY(stayed);
        QVERIFY(w.isEnabled());
        QVERIFY(p.errors.isEmpty());
    }
};

INVENTARIO_TEST(FormConfigurazioneTest)
#include "formconfigurazione_test.moc"
