// The floor of each path: its statements run bare through QtSql, with no
// screen, reading the same rows and columns as the program does.
#include "bench.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/roundtrips.h"
#include "records/fileexcel.h"

#include <QAtomicInt>
#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <xlsxwriter.h>

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
// With a limit, as the name search reads them: reading stops once Prodotti's
// rows (Tabella 1) reach it and prodottiC's first has come.
int readProducts(QSqlDatabase db, const QString &sql, int limit = 0)
{
    QSqlQuery q(db);
    run(q, sql);
    const QSqlRecord r = q.record();
    const int id = r.indexOf(QStringLiteral("IdProdotto"));
    const int codice = r.indexOf(QStringLiteral("CodInterno"));
    const int descrizione = r.indexOf(QStringLiteral("descrizione"));
    const int tabella = r.indexOf(QStringLiteral("Tabella"));
    int rows = 0, prodotti = 0, eliminati = 0;
    while ((limit == 0 || prodotti < limit || eliminati == 0) && q.next()) {
        (void)q.value(codice).toString();
        (void)q.value(descrizione).toString();
        (void)q.value(id).toString();
        ++rows;
        ++(tabella >= 0 && q.value(tabella).toInt() == 2 ? eliminati : prodotti);
    }
    q.finish();
    return rows;
}

const QString kColonneLista[] = {
    QStringLiteral("Descprodotto"),
    QStringLiteral("Barcode"),
    QStringLiteral("idCategoria"),
    QStringLiteral("Categoria"),
    QStringLiteral("UM"),
    QStringLiteral("CodInterno"),
    QStringLiteral("Modifica"),
    QStringLiteral("Modificato"),
    QStringLiteral("PrezzoPubblico"),
    QStringLiteral("PrezzoAcquisto"),
    QStringLiteral("GiacenzaReale"),
    QStringLiteral("GiacenzaStatistica"),
    QStringLiteral("DataModifica"),
    QStringLiteral("IDinventarioreale"),
    QStringLiteral("IDProdottoVentrox"),
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
                                          "InventarioReale WHERE %2 = %3.IDProdotto LIMIT 1) AS GiacenzaContata "
                                          "FROM %3");
    const QString v = QStringLiteral("IDProdottoVentrox"), e = QStringLiteral("IDProdottoEliminato");
    const QString p = QStringLiteral("Prodotti"), c = QStringLiteral("prodottiC");
    return select.arg(1).arg(v, p) + QStringLiteral(" where CodInterno Like '") + t + QStringLiteral("%' UNION ALL ")
           + select.arg(2).arg(v, p) + QStringLiteral(" where Barcode Like '") + t + QStringLiteral("' UNION ALL ")
           + select.arg(3).arg(e, c) + QStringLiteral(" where Barcode Like '") + t + QStringLiteral("' UNION ALL ")
           + select.arg(4).arg(e, c) + QStringLiteral("  where CodInterno Like '") + t + QStringLiteral("'");
}

}   // namespace

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
            run(q, QStringLiteral(
                       "INSERT INTO InventarioReale       (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,"
                       "IDCategoria,Categoria,UM,Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,"
                       "DataModifica,IDProdottoVentrox,IDProdottoEliminato,CodInterno) VALUES ('")
                       + d + QStringLiteral("', '") + barcode + QStringLiteral("', ")
                       + QString::number(pubblico, 'f', 2) + QStringLiteral(" ,") + QString::number(acquisto, 'f', 2)
                       + QStringLiteral(" ,0,1000, 'Generico', 'N°','0', '0', 1, ") + QString::number(giacenza)
                       + QStringLiteral(", '") + oggi + QStringLiteral("', ") + (attivo ? id : QStringLiteral("0"))
                       + QStringLiteral(",") + (attivo ? QStringLiteral("0") : id) + QStringLiteral(" ,'") + codice
                       + QStringLiteral("') "));
        } else {
            run(q, QStringLiteral(" UPDATE InventarioReale  SET           GiacenzaReale = ")
                       + QString::number(totale + 1) + QStringLiteral(" WHERE  IDInventarioReale = ") + chiave);
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
    readProducts(db,
        parte.arg(1).arg(QStringLiteral("Prodotti"), like) + QStringLiteral(" UNION ALL ")
            + parte.arg(2).arg(QStringLiteral("prodottiC"), like),
        50);
}

int Floor::emptyEnter()
{
    // an empty text: the code search alone (it lists the whole master)
    return readProducts(QSqlDatabase::database(m_name, false),
        QStringLiteral(
            "Select  IDprodotto, CodInterno,Descrizione, 1 AS Ricerca FROM Prodotti where CodInterno Like '%'"));
}

int Floor::vediTutti()
{
    return readList(QSqlDatabase::database(m_name, false),
        QStringLiteral("SELECT * FROM   InventarioReale ORDER BY IDInventarioReale DESC"));
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

namespace {

// The floor's workbook: constant memory, as the program's; the same formats.
struct Workbook {
    lxw_workbook *book;
    lxw_format *bold, *money, *whole, *decimal, *date;
    explicit Workbook(const QString &path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        bold = workbook_add_format(book);
        format_set_bold(bold);
        money = format("#,##0.00");
        whole = format("#,##0");
        decimal = format("#,##0.0##");
        date = format("dd/mm/yyyy");
    }
    lxw_format *format(const char *number)
    {
        lxw_format *f = workbook_add_format(book);
        format_set_num_format(f, number);
        return f;
    }
    lxw_format *quantity(double v) const { return v == std::trunc(v) ? whole : decimal; }
    lxw_worksheet *sheet(const char *name, std::initializer_list<const char *> titles)
    {
        lxw_worksheet *sheet = workbook_add_worksheet(book, name);
        lxw_col_t c = 0;
        for (const char *title : titles)
            worksheet_write_string(sheet, 0, c++, title, bold);
        worksheet_freeze_panes(sheet, 1, 0);
        return sheet;
    }
    // The totals row: a count and the SUMs of `columns`.
    static void totals(lxw_worksheet *sheet, lxw_row_t next, lxw_col_t last, std::initializer_list<lxw_col_t> columns,
        lxw_format *format)
    {
        worksheet_autofilter(sheet, 0, 0, next - 1, last);
        const QByteArray end = QByteArray::number(next);
        worksheet_write_formula_str(sheet, next + 1, 0, "=\"Totale: \"&ROWS(A2:A" + end + ")&\" righe\"", format, "");
        for (const lxw_col_t c : columns) {
            const QByteArray column(1, char('A' + c));
            worksheet_write_formula_num(sheet, next + 1, c, "=SUM(" + column + "2:" + column + end + ")", format, 0);
        }
    }
    void text(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const QVariant &value)
    {
        worksheet_write_string(sheet, row, column, value.toString().toUtf8().constData(), nullptr);
    }
    double number(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const QVariant &value, lxw_format *f = nullptr)
    {
        const double v = value.toDouble();
        worksheet_write_number(sheet, row, column, v, f ? f : quantity(v));
        return v;
    }
    void close(const QString &path)
    {
        if (workbook_close(book) != LXW_NO_ERROR)
            throw RuntimeError(75, QStringLiteral("floor: cannot write ") + path);
    }
};

double cents(double v) { return std::round(v * 100) / 100; }

}   // namespace

void Floor::uncountedWorkbook(const QString &path)
{
    Workbook w(path);
    lxw_worksheet *sheets[2];
    const char *names[] = {"Non contati", "Eliminati"};
    for (int i = 0; i < 2; ++i)
        sheets[i] = w.sheet(
            names[i], {"CodInterno", "Barcode", "Descrizione", "Qta Ventrox", "Prezzo Acquisto", "Valore Acquisto"});
    lxw_row_t rows[2] = {1, 1};
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    run(q, FileExcel::kSelectNonContati);
    while (q.next()) {
        const int s = q.value(0).toInt();
        lxw_worksheet *sheet = sheets[s];
        const lxw_row_t row = rows[s]++;
        for (int c = 0; c < 3; ++c)
            w.text(sheet, row, lxw_col_t(c), q.value(c + 1));
        const double stock = w.number(sheet, row, 3, q.value(4));
        const double price = w.number(sheet, row, 4, q.value(5), w.money);
        worksheet_write_number(sheet, row, 5, cents(stock * price), w.money);
    }
    q.finish();
    for (int i = 0; i < 2; ++i)
        Workbook::totals(sheets[i], rows[i], 5, {3, 5}, w.bold);
    w.close(path);
}

void Floor::countWorkbook(const QString &path)
{
    Workbook w(path);
    lxw_worksheet *sheet = w.sheet("Conteggio", {"CodInterno", "Barcode", "Descrizione", "Qta Reale", "Qta Ventrox",
                                                    "Differenza", "Prezzo Acquisto", "Valore Differenza", "Data Inv."});
    lxw_row_t row = 1;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    run(q, FileExcel::kSelectConteggio);
    for (; q.next(); ++row) {
        for (int c = 0; c < 3; ++c)
            w.text(sheet, row, lxw_col_t(c), q.value(c));
        const double difference = w.number(sheet, row, 3, q.value(3)) - w.number(sheet, row, 4, q.value(4));
        worksheet_write_number(sheet, row, 5, difference, w.quantity(difference));
        const double price = w.number(sheet, row, 6, q.value(5), w.money);
        worksheet_write_number(sheet, row, 7, cents(difference * price), w.money);
        // dd/mm/yyyy as stored
        const QString d = q.value(6).toString();
        lxw_datetime date{d.mid(6, 4).toInt(), d.mid(3, 2).toInt(), d.mid(0, 2).toInt(), 0, 0, 0};
        worksheet_write_datetime(sheet, row, 8, &date, w.date);
    }
    q.finish();
    Workbook::totals(sheet, row, 8, {3, 4, 5, 7}, w.bold);
    w.close(path);
}

}   // namespace Bench
