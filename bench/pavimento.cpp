// The floor of each path: its statements run bare through QtSql, with no
// screen, reading the same rows and columns as the program does.
#include "bench.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/roundtrips.h"

#include <QAtomicInt>
#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Bench {
namespace {

QAtomicInt g_connections;

QSqlDatabase openLikeTheProgram(const QString &name, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    db.setDatabaseName(path);
    if (!db.open())
        Db::fail(db.lastError(), path, ErrNo::DbProviderFailure);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        Db::fail(q.lastError(), q.lastQuery(), ErrNo::DbStatementFailure);
    return db;
}

void run(QSqlQuery &q, const QString &sql)
{
    q.setForwardOnly(true);
    RoundTrips::statement();   // the program's latency and count, statement for statement
    if (!q.exec(sql))
        Db::fail(q.lastError(), sql, ErrNo::DbStatementFailure);
}

// The products a statement of the searches returns: id, code, description.
int readProducts(QSqlDatabase db, const QString &sql, int limit = 0)
{
    QSqlQuery q(db);
    run(q, sql);
    const QSqlRecord r = q.record();
    const int id = r.indexOf(QStringLiteral("IdProdotto"));
    const int codice = r.indexOf(QStringLiteral("CodInterno"));
    const int descrizione = r.indexOf(QStringLiteral("descrizione"));
    int rows = 0;
    while (q.next()) {
        (void)q.value(codice).toString();
        (void)q.value(descrizione).toString();
        (void)q.value(id).toString();
        if (++rows == limit)
            break;
    }
    q.finish();
    return rows;
}

const QString kColonneLista[] = {
    QStringLiteral("Descprodotto"),      QStringLiteral("Barcode"),           QStringLiteral("idCategoria"),
    QStringLiteral("Categoria"),         QStringLiteral("UM"),                QStringLiteral("CodInterno"),
    QStringLiteral("Modifica"),          QStringLiteral("Modificato"),        QStringLiteral("PrezzoPubblico"),
    QStringLiteral("PrezzoAcquisto"),    QStringLiteral("GiacenzaReale"),     QStringLiteral("GiacenzaStatistica"),
    QStringLiteral("DataModifica"),      QStringLiteral("IDinventarioreale"), QStringLiteral("IDProdottoVentrox"),
    QStringLiteral("IDProdottoEliminato"),
};

// The rows of the inventory list with the two running totals.
int readList(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    run(q, sql);
    const QSqlRecord r = q.record();
    int index[16];
    for (int i = 0; i < 16; ++i)
        index[i] = r.indexOf(kColonneLista[i]);
    double libro = 0, contato = 0;
    int rows = 0;
    while (q.next()) {
        for (int i = 0; i < 16; ++i)
            (void)q.value(index[i]);
        const double acquisto = q.value(index[9]).toDouble();
        libro += acquisto * q.value(index[11]).toDouble();
        contato += acquisto * q.value(index[10]).toDouble();
        ++rows;
    }
    q.finish();
    (void)libro;
    (void)contato;
    return rows;
}

// The list's 50 rows as the program asks SQLite for them: the newest first.
const QString kCinquanta = QStringLiteral("SELECT * FROM   InventarioReale ORDER BY IDInventarioReale DESC LIMIT 50");

// The code search as SQLite gets it from the program: four searches in one
// statement, each row with its product and its count so far.
QString codeSearch(const QString &t)
{
    const QString select = QStringLiteral("Select  IDprodotto, CodInterno,Descrizione, %1 AS Ricerca, Barcode, "
                                          "PrezzoPubblico, PrezzoAcquisto, Giacenza, (SELECT GiacenzaReale FROM "
                                          "InventarioReale WHERE %2 = %3.IDProdotto LIMIT 1) AS GiacenzaContata FROM %3");
    const QString v = QStringLiteral("IDProdottoVentrox"), e = QStringLiteral("IDProdottoEliminato");
    const QString p = QStringLiteral("Prodotti"), c = QStringLiteral("prodottiC");
    return select.arg(1).arg(v, p) + QStringLiteral(" where CodInterno Like '") + t + QStringLiteral("%' UNION ALL ")
           + select.arg(2).arg(v, p) + QStringLiteral(" where Barcode Like '") + t + QStringLiteral("' UNION ALL ")
           + select.arg(3).arg(e, c) + QStringLiteral(" where Barcode Like '") + t + QStringLiteral("' UNION ALL ")
           + select.arg(4).arg(e, c) + QStringLiteral("  where CodInterno Like '") + t + QStringLiteral("'");
}

} // namespace

Floor::Floor(const QString &dbPath) : m_path(dbPath), m_name(QStringLiteral("bench-floor"))
{
    openLikeTheProgram(m_name, m_path);
}

Floor::~Floor()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

qint64 Floor::scalar(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    run(q, sql);
    return q.next() ? q.value(0).toLongLong() : 0;
}

void Floor::startup()
{
    // the program tests the server with a connection of its own first
    const QString test = QStringLiteral("bench-floor-test-%1").arg(g_connections.fetchAndAddRelaxed(1));
    openLikeTheProgram(test, m_path).close();
    QSqlDatabase::removeDatabase(test);
    const QString name = QStringLiteral("bench-floor-start-%1").arg(g_connections.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = openLikeTheProgram(name, m_path);
        readList(db, kCinquanta);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void Floor::scan(const Product &p)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    const QString t = p.barcode.isEmpty() ? p.codice : p.barcode;
    // the search's cascade (code, barcode, then the same in prodottiC) as
    // one statement, the first search that found rows taken, with the
    // chosen product and its count so far
    const QString id = QString::number(p.id);
    QString descrizione, barcode, codice;
    double pubblico = 0, acquisto = 0, giacenza = 0;
    const bool attivo = !p.eliminato;
    const QString chiaveProdotto = attivo ? QStringLiteral("IDProdottoVentrox") : QStringLiteral("IDProdottoEliminato");
    {
        QSqlQuery q(db);
        run(q, codeSearch(t));
        if (!q.next())
            throw RuntimeError(5, QStringLiteral("floor: product not found: ") + id);
        codice = q.value(QStringLiteral("CodInterno")).toString();
        descrizione = q.value(QStringLiteral("descrizione")).toString();
        barcode = q.value(QStringLiteral("Barcode")).toString();
        pubblico = q.value(QStringLiteral("PrezzoPubblico")).toDouble();
        acquisto = q.value(QStringLiteral("PrezzoAcquisto")).toDouble();
        giacenza = q.value(QStringLiteral("Giacenza")).toDouble();
        (void)q.value(QStringLiteral("IdProdotto"));
        (void)q.value(QStringLiteral("GiacenzaContata"));
        while (q.next()) {
        }
        q.finish();
    }

    // the save and the list again: one batch, one trip over a link
    RoundTrips::OneTrip batch;
    // the save: lookup and insert or update in one transaction
    {
        QSqlQuery q(db);
        run(q, QStringLiteral("BEGIN IMMEDIATE"));
    }
    QString chiave;
    double totale = 0;
    {
        QSqlQuery q(db);
        run(q, QStringLiteral("SELECT * FROM   InventarioReale where ") + chiaveProdotto + QStringLiteral("=") + id);
        if (q.next()) {
            chiave = q.value(QStringLiteral("IDInventarioReale")).toString();
            totale = q.value(QStringLiteral("GiacenzaReale")).toDouble();
        }
        q.finish();
    }
    {
        QSqlQuery q(db);
        if (chiave.isEmpty()) {
            QString d = descrizione;
            d.replace(QLatin1Char('\''), QLatin1String("''"));
            const QString oggi = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
            run(q, QStringLiteral("INSERT INTO InventarioReale       (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,"
                                  "IDCategoria,Categoria,UM,Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,"
                                  "DataModifica,IDProdottoVentrox,IDProdottoEliminato,CodInterno) VALUES ('")
                       + d + QStringLiteral("', '") + barcode + QStringLiteral("', ") + QString::number(pubblico, 'f', 2)
                       + QStringLiteral(" ,") + QString::number(acquisto, 'f', 2)
                       + QStringLiteral(" ,0,1000, 'Generico', 'N°','0', '0', 1, ") + QString::number(giacenza)
                       + QStringLiteral(", '") + oggi + QStringLiteral("', ") + (attivo ? id : QStringLiteral("0"))
                       + QStringLiteral(",") + (attivo ? QStringLiteral("0") : id) + QStringLiteral(" ,'") + codice
                       + QStringLiteral("') "));
        } else {
            run(q, QStringLiteral(" UPDATE InventarioReale  SET           GiacenzaReale = ") + QString::number(totale + 1)
                       + QStringLiteral(" WHERE  IDInventarioReale = ") + chiave);
        }
    }
    {
        QSqlQuery q(db);
        run(q, QStringLiteral("COMMIT"));
    }

    readList(db, kCinquanta);
}

void Floor::nameSearch(const QString &text, bool contains)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    QString x = text.trimmed();
    x.replace(QLatin1Char('\''), QLatin1String("''"));
    if (x.isEmpty())
        return;
    const QString like = contains ? QStringLiteral("Like '%") + x + QStringLiteral("%'")
                                  : QStringLiteral("Like '") + x + QStringLiteral("%'");
    // both tables in one statement, 50 rows of each at most
    const QString parte = QStringLiteral("SELECT * FROM (Select IDProdotto,Descrizione,CodInterno, %1 AS Tabella "
                                         "FROM %2 where Descrizione %3 LIMIT 50) AS T%1");
    readProducts(db, parte.arg(1).arg(QStringLiteral("Prodotti"), like) + QStringLiteral(" UNION ALL ")
                         + parte.arg(2).arg(QStringLiteral("prodottiC"), like));
}

int Floor::emptyEnter()
{
    // an empty text: the code search alone (it lists the whole master)
    return readProducts(QSqlDatabase::database(m_name, false),
                        QStringLiteral("Select  IDprodotto, CodInterno,Descrizione, 1 AS Ricerca FROM Prodotti where CodInterno Like '%'"));
}

int Floor::vediTutti()
{
    return readList(QSqlDatabase::database(m_name, false), QStringLiteral("SELECT * FROM   InventarioReale ORDER BY IDInventarioReale DESC"));
}

void Floor::inventoryFile(const QString &path, const QString &source, int headBytes)
{
    constexpr int kRiga = 757;   // 755 characters and CR LF
    // the bytes come from the program's own file, read as they are written
    QFile in(source);
    QFile file(path);
    if (!in.open(QIODevice::ReadOnly) || !file.open(QIODevice::Append))
        throw RuntimeError(75, QStringLiteral("floor: cannot write ") + path);
    char line[kRiga];
    file.write(in.read(headBytes));
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    run(q, QStringLiteral(
               "SELECT IDInventarioReale, DescProdotto, Barcode, PrezzoPubblico, PrezzoAcquisto, IVA, IDCategoria, "
               "Categoria, UM, Modifica, Modificato, GiacenzaReale,GiacenzaStatistica , DataModifica, "
               "IDProdottoVentrox, IDProdottoEliminato, CodInterno FROM   InventarioReale"));
    while (q.next()) {
        for (int i = 0; i < 17; ++i)
            (void)q.value(i);
        const qint64 n = in.read(line, kRiga);
        if (n > 0)
            file.write(line, n);
    }
    q.finish();
    file.write(in.readAll());
    file.close();
}

void Floor::spreadsheetFile(const QString &sql, const QString &path, const QString &source, int headLines)
{
    QFile in(source);
    QFile file(path);
    if (!in.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        throw RuntimeError(75, QStringLiteral("floor: cannot write ") + path);
    for (int i = 0; i < headLines; ++i)
        file.write(in.readLine());
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    run(q, sql);
    const int columns = q.record().count();
    while (q.next()) {
        for (int i = 0; i < columns; ++i)
            (void)q.value(i);
        file.write(in.readLine());
    }
    q.finish();
    file.write(in.readAll());
    file.close();
}

} // namespace Bench
