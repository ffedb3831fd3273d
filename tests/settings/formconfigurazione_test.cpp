// The connection settings dialog: the server names it offers, loading from term.ini, the composed string, testing and
// storing, and leaving it.
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "records/schema.h"
#include "screen/frminventario.h"
#include "settings/formconfigurazione.h"
#include "settings/serverlist.h"
#include "ui_FormConfigurazione.h"
#include "ui_frmInventario.h"

#include <QJsonArray>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kFallito = u"Impossibile Connettere il Database Principale!! "_s;

// The connection string and its four parts as term.ini holds them.
QStringList chiavi()
{
    QStringList values;
    for (const char *k : {"", "Server", "Utente", "Password", "Database"})
        values << Modulo::LeggiParametro(u"StrConnPrincipale"_s + QLatin1String(k));
    return values;
}
QString stringa(const FormConfigurazione &d) { return d.ui->txtStringa->toPlainText(); }
QString scrivi(const QString &path, const QByteArray &text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
    return path;
}
}   // namespace

class FormConfigurazioneTest : public QObject {
    Q_OBJECT
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
    // The names offered and what is stored; any change of the four parts composes the string anew; the box takes what
    // is typed (SRV1 stays SRV1 beside SRV10).
    void dialogoEServer()
    {
        Fixture::Program p;   // term.ini holds only the SQLite string
        FormConfigurazione d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.windowTitle(), u"Configurazione della Connessione SQL"_s);
        QCOMPARE(d.ui->ComboServer->count() + d.ui->ComboServer->currentText().size(), 2);
        QCOMPARE(stringa(d), p.connectionString());
        QVERIFY(d.ui->ImageSi->isHidden() && d.ui->imageNo->isHidden() && p.messages.isEmpty());
        d.ui->txtUtente->setFocus();   // the tab order
        for (QWidget *w : std::initializer_list<QWidget *>{d.ui->txtPassword, d.ui->txtDatabase, d.ui->ComboServer}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), w);
        }
        QTest::keyClicks(d.ui->txtUtente, u" sa "_s);
        QCOMPARE(stringa(d), u"Provider=SQLOLEDB;Data Source=;UID=sa;PWD=;DATABASE="_s);
        d.ui->ComboServer->addItem(u"SRV10"_s);
        d.ui->ComboServer->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), u"SRV1"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(d.ui->ComboServer->currentText() + QString::number(d.ui->ComboServer->count()), u"SRV13"_s);
        QCOMPARE(QApplication::focusWidget(), d.ui->txtStringa);
        QCOMPARE(stringa(d), u"Provider=SQLOLEDB;Data Source=SRV1;UID=sa;PWD=;DATABASE="_s);
        QTest::keyClicks(d.ui->txtDatabase, u"Ventrox "_s);
        QTest::keyClicks(d.ui->txtPassword, u" p w "_s);
        QCOMPARE(stringa(d), u"Provider=SQLOLEDB;Data Source=SRV1;UID=sa;PWD=p w;DATABASE=Ventrox"_s);
        // no SQL Server driver: told, no names offered, what is stored loaded all the same
        m_machine.drivers = QStringList{"SQLite3", "PostgreSQL Unicode"};
        Modulo::ScriviParametro(u"StrConnPrincipaleServer"_s, u"SRV"_s);
        FormConfigurazione senza;
        QCOMPARE(
            p.messages.value(0).title + QString::number(p.messages.value(0).style), u"Librerie MS SQL Mancanti!64"_s);
        QCOMPARE(p.messages.value(0).prompt, u"Su questo PC non sono Installate le librerie Client di MS SQL!\r\n\r\n"
                                             "Il Programma funziona ugualmente per\u00f2 non riesce a trovare i Server "
                                             "Disponibili in Automatico!"_s);
        QCOMPARE(senza.ui->ComboServer->count(), 0);
        QCOMPARE(senza.ui->ComboServer->currentText() + stringa(senza), u"SRV"_s + p.connectionString());
        // opened from the menu, only ESCI leaves it
        frmInventario w;
        bool rimasta = false;
        Fixture::whenModal([&](QWidget *modal) {
            auto *d = qobject_cast<FormConfigurazione *>(modal);
            if (!d)
                return modal->hide();
            QTest::keyClick(d, Qt::Key_Escape);
            d->close();
            rimasta = d->isVisible();
            d->ui->CmdEsci->setFocus();
            QTest::keyClick(d->ui->CmdEsci, Qt::Key_Return);   // Enter presses a focused button
        });
        w.ui->ConfFTP->trigger();
        QVERIFY(rimasta && w.isEnabled() && p.errors.isEmpty());
        const QString conf = scrivi(p.file(u"a.conf"_s),
            "; a comment\n[global]\n\ttds version = auto\n[MAGAZZINO]\n"
            "\thost = 10.0.0.5\n#[commented]\n  [ negozio2 ]  \n\thost = negozio2.local\n[Magazzino]\n");
        const QString ini = scrivi(p.file(u"a.ini"_s),
            "[ODBC Data Sources]\nGestionale = ODBC Driver 18 for SQL Server\n"
            "[Gestionale]\nDriver = ODBC Driver 18 for SQL Server\nServer = srv01\\SQLEXPRESS\n"
            "[ViaTds]\nDriver=freetds\nServername=magazzino\n[ConPorta]\nDriver=/usr/lib/odbc/"
            "libtdsodbc.so\nServer=10.0.0.9\n"
            "Port=1500\n[Nativo]\nDriver={SQL Server Native Client 11.0}\nServer=nativo,1433\nPort=1433\n"
            "[Ms]\nDriver=/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.3.so\nServer=ms\n[Locale]\nDriver=SQLite3\n"
            "Server=sqlite\n[Pg]\nDriver=PostgreSQL "
            "Unicode\nServer=pg\n[SenzaDriver]\nServer=nessuno\n[SenzaServer]\nDriver={SQL Server}\n");
        m_machine = {{}, OdbcSetup::sectionsOf(conf, {u"global"_s}), {"SRV01\\SQLEXPRESS", "vecchio"},
            OdbcSetup::dataSourcesOf(ini) + OdbcSetup::dataSourcesOf(p.file(u"missing.ini"_s))};
        QCOMPARE(ServerList::available(), (QStringList{"MAGAZZINO", "negozio2", "SRV01\\SQLEXPRESS", "vecchio",
                                              "10.0.0.9,1500", "nativo,1433", "ms"}));
    }
    // No SQL Server answers here: a stand-in accepts every string but the refused ones. A composed string is stored
    // with its parts, which the next opening shows; a hand-made one, however long, with the parts emptied. A refused
    // string stores nothing.
    void salvaSoloUnaStringaAccettata()
    {
        Fixture::Program p;
        Schema::creaDatabaseSQLite(p.file(u"altro.db"_s), true);
        QStringList provate;
        const QString password = u"p;w=\"x y"_s;   // in quotes the provider reads it whole
        const QString composta =
            u"Provider=SQLOLEDB;Data Source=SRV01\\SQLEXPRESS;UID=sa;PWD='p;w=\"x y';DATABASE=Ventrox"_s;
        FormConfigurazione::setConnectionTest([&](const QString &s) {
            provate << s;
            return s == composta ? QString() : Db::testConnection(s, 5, 5000);
        });
        {
            FormConfigurazione d;
            d.ui->ComboServer->setEditText(u" SRV01\\SQLEXPRESS "_s);
            d.ui->txtUtente->setText(u" sa"_s);
            d.ui->txtPassword->setText(u"  "_s + password + u" "_s);
            d.ui->txtDatabase->setText(u"Ventrox  "_s);
            QCOMPARE(stringa(d), composta);
            d.ui->cmdDBSalva->click();
        }
        QCOMPARE(provate, QStringList{composta});
        QCOMPARE(chiavi(), (QStringList{composta, "SRV01\\SQLEXPRESS", "sa", password, "Ventrox"}));
        QCOMPARE(p.messages.value(0).prompt + p.messages.value(0).title,
            u"Database Principale Collegato Correttamente!!Database OK"_s);
        QCOMPARE(p.messages.value(0).style, 64);
        FormConfigurazione d;
        QCOMPARE(d.ui->ComboServer->currentText() + d.ui->txtPassword->text() + stringa(d),
            u"SRV01\\SQLEXPRESS"_s + password + composta);
        const QByteArray prima = p.readFile(u"term.ini"_s);
        for (const QString &rifiutata : {u"Provider=SQLite;Data Source="_s + p.file(u"nessuno.db"_s),
                 FormConfigurazione::stringaComposta({}, {}, {}, {}), QString(5000, u';')}) {
            d.ui->txtStringa->setPlainText(rifiutata);
            d.ui->cmdDBSalva->click();
            const MsgBox::Call m = p.messages.last();
            QVERIFY2(m.title == kFallito && m.style == 16 && !m.prompt.isEmpty(), qPrintable(rifiutata.left(60)));
            QVERIFY(d.ui->ImageSi->isHidden() && !d.ui->imageNo->isHidden() && d.isEnabled());
            QCOMPARE(p.readFile(u"term.ini"_s), prima);
        }
        QVERIFY2(p.messages[1].prompt.contains("nessuno.db"_L1), qPrintable(p.messages[1].prompt));
        QString lunga = u"  Provider=SQLite;Data Source=altro.db;Commento=\n"_s;
        lunga += QString(5000 - lunga.size(), u'x') + u" "_s;
        d.ui->txtStringa->setPlainText(lunga);
        d.ui->cmdDBSalva->click();
        QCOMPARE(p.messages.size(), 5);
        QCOMPARE(p.messages.last().title, u"Database OK"_s);
        QVERIFY(!d.ui->ImageSi->isHidden() && d.ui->imageNo->isHidden() && d.isEnabled()
                && !QApplication::overrideCursor());
        QCOMPARE(chiavi(), (QStringList{lunga.trimmed().remove(u'\n'), "", "", "", ""}));
        d.ui->txtStringa->setPlainText(u"Provider=SQLite;Data Source=nessuno.db"_s);   // refused after an OK: NO only
        d.ui->cmdDBSalva->click();
        QVERIFY(d.ui->ImageSi->isHidden() && !d.ui->imageNo->isHidden());
    }
    // Logins through FreeTDS to the stand-in server, tested as the dialog tests them: composed from the fields (quoted
    // where needed) or typed, each password reaches the server as typed, byte for byte, and the string is stored; a
    // refused one shows the server's words, or why it cannot go, and stores nothing.
    void accessiAlServer()
    {
        Fixture::Program p;
        OdbcSetup::setFake(nullptr);   // this machine's FreeTDS
        const QStringList passwords = {"a;}b=c it's \"x\" caff\u00e8\u20ac", "{x", " x "};
        QJsonArray logins;
        for (const QString &password : passwords)
            logins.append(
                QJsonObject{{"user", u"u%1"_s.arg(logins.size())}, {"password", password}, {"database", "V"}});
        START_RECORDER(server, QJsonDocument(QJsonObject{{"logins", logins}}).toJson());
        // the login the server decodes, or the reason shown after '!'
        const struct {
            QString user, password, database, typed, seen;
        } casi[] = {{"u0", passwords[0], "V", {}, "u0|" + passwords[0] + "|V"},   // composed from the fields
            {"u1", passwords[1], "V", {}, "u1|{x|V"},
            {"u2", "x", "V", ";PWD=\" x \"", "u2| x |V"},   // typed: the last PWD counts
            {"u0", "a};b", "V", {}, "!FreeTDS non riceve un valore di PWD che contiene \"};\""},
            {"u0", "p;w!", "V", {}, "!Login failed for user 'u0'."},
            {"u0", passwords[0], "Negozio", {}, "!Cannot open database \"Negozio\" requested by the login."},
            {"u0", passwords[0], "V", ";Integrated Security=SSPI", "!FreeTDS entra con l'utente di Windows solo con"},
            {"u0", passwords[0], "V", ";Encrypt=yes;TrustServerCertificate=yes", "!Il server non ha stabilito"}};
        FormConfigurazione d;
        d.ui->ComboServer->setEditText(u"127.0.0.1,%1"_s.arg(server.port()));
        for (const auto &c : casi) {
            const QByteArray prima = p.readFile(u"term.ini"_s);
            d.ui->txtUtente->setText(c.user);
            d.ui->txtPassword->setText(c.password);
            d.ui->txtDatabase->setText(c.database);
            d.ui->txtStringa->setPlainText(d.stringaComposta() + c.typed);
            d.ui->cmdDBSalva->click();
            const MsgBox::Call m = p.messages.last();
            const QStringList arrivato = server.log().filter(u"login: "_s);
            const QString riga = c.seen + u" <- "_s + stringa(d) + u": "_s + m.prompt;
            if (c.seen.startsWith(u'!')) {
                QVERIFY2(m.title == kFallito && m.prompt.contains(c.seen.mid(1)), qPrintable(riga));
                QCOMPARE(p.readFile(u"term.ini"_s), prima);
            } else {
                QVERIFY2(m.title == u"Database OK"_s && arrivato.value(0) == u"login: "_s + c.seen,
                    qPrintable(riga + u" / "_s + arrivato.join(u", "_s)));
                QCOMPARE(chiavi().value(0) + chiavi().value(3),
                    stringa(d) + (c.typed.isEmpty() ? c.password : QString()));   // stored as tested
            }
        }
    }
};

INVENTARIO_TEST(FormConfigurazioneTest)
#include "formconfigurazione_test.moc"
