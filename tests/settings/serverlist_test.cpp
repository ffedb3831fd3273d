// The server names the connection dialog offers, read from FreeTDS's and
// unixODBC's configuration files.
#include "fixture/testmain.h"
#include "settings/serverlist.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class ServerListTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return f.fileName();
    }

private Q_SLOTS:
    void cleanup() { ServerList::setSources({}, {}); }

    void freeTdsSectionsAreServers()
    {
        const QString conf = write(QStringLiteral("freetds.conf"),
                                   "; a comment\n"
                                   "[global]\n\ttds version = auto\n"
                                   "[MAGAZZINO]\n\thost = 10.0.0.5\n\tport = 1433\n"
                                   "#[commented]\n"
                                   "  [ negozio2 ]  \n\thost = negozio2.local\n"
                                   "[Magazzino]\n");
        QCOMPARE(ServerList::fromFreeTds(conf), (QStringList{QStringLiteral("MAGAZZINO"), QStringLiteral("negozio2")}));
        QVERIFY(ServerList::fromFreeTds(m_dir.filePath(QStringLiteral("missing.conf"))).isEmpty());
    }

    void odbcSourcesOfSqlServerDriversOnly()
    {
        const QString ini = write(QStringLiteral("odbc.ini"),
                                  "[ODBC Data Sources]\nGestionale = ODBC Driver 18 for SQL Server\n"
                                  "[Gestionale]\nDriver = ODBC Driver 18 for SQL Server\nServer = srv01\\SQLEXPRESS\n"
                                  "[ViaTds]\nDriver=FreeTDS\nServername=MAGAZZINO\n"
                                  "[ConPorta]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\nServer=10.0.0.9\nPort=1500\n"
                                  "[Locale]\nDriver=SQLite3\nDatabase=/tmp/x.db\n"
                                  "[SenzaServer]\nDriver={SQL Server}\n");
        QCOMPARE(ServerList::fromOdbcIni(ini), (QStringList{QStringLiteral("srv01\\SQLEXPRESS"), QStringLiteral("MAGAZZINO"),
                                                            QStringLiteral("10.0.0.9,1500")}));
    }

    void driverNames_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<bool>("sqlServer");
        QTest::newRow("microsoft") << "ODBC Driver 17 for SQL Server" << true;
        QTest::newRow("braced") << "{SQL Server Native Client 11.0}" << true;
        QTest::newRow("freetds") << "freetds" << true;
        QTest::newRow("freetds path") << "/usr/lib/odbc/libtdsodbc.so" << true;
        QTest::newRow("microsoft path") << "/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.3.so" << true;
        QTest::newRow("sqlite") << "SQLite3" << false;
        QTest::newRow("postgres") << "PostgreSQL Unicode" << false;
        QTest::newRow("empty") << "" << false;
    }
    void driverNames()
    {
        QFETCH(QString, driver);
        QFETCH(bool, sqlServer);
        QCOMPARE(ServerList::isSqlServerDriver(driver), sqlServer);
    }

    void availableJoinsTheFilesOnce()
    {
        const QString conf = write(QStringLiteral("a.conf"), "[global]\n[MAGAZZINO]\n[CASSA]\n");
        const QString ini = write(QStringLiteral("a.ini"), "[X]\nDriver=FreeTDS\nServername=magazzino\n"
                                                           "[Y]\nDriver=FreeTDS\nServer=ufficio\n");
        ServerList::setSources({conf, m_dir.filePath(QStringLiteral("none.conf"))}, {ini});
        QCOMPARE(ServerList::available(),
                 (QStringList{QStringLiteral("MAGAZZINO"), QStringLiteral("CASSA"), QStringLiteral("ufficio")}));
    }
};

INVENTARIO_TEST(ServerListTest)
#include "serverlist_test.moc"
