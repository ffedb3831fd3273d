#pragma once
#include "connstring.h"
#include "fileidentity.h"
#include "errors.h"
#include "roundtrips.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

// The database layer: a connection opened from a stored connection string,
// forward-read recordsets with fields by name, and a transaction guard. The
// program's SQL is SQL Server's; for SQLite only what it cannot read is
// rewritten (SELECT TOP n).
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the connection; throws RuntimeError when it cannot be opened.
    // loginTimeout (seconds) bounds the wait for a server's answer; -1
    // takes the string's Connect Timeout, or 15 seconds.
    void open(const QString &connectionString, int loginTimeout = -1);
    void close();
    bool isOpen() const;
    bool sqlite() const { return m_target.sqliteDialect; }
    bool sqlServer() const
    {
        return m_target.kind == ConnectionTarget::SqlServer
               || (m_target.kind == ConnectionTarget::Odbc && !m_target.sqliteDialect);
    }

    // Runs a statement that returns no rows; throws RuntimeError on failure.
    void execute(const QString &sql);
    // The same with its ? placeholders bound to `values`, in order.
    void execute(const QString &sql, const QVariantList &values);
    // The statement as this connection's server reads it.
    QString adapt(const QString &sql) const;

    QSqlDatabase database() const;
    QString name() const { return m_name; }

private:
    QString m_name;
    ConnectionTarget m_target;
    // The SQLite file as it was opened: a file deleted or replaced under an
    // open connection would take every later write with it, so the
    // connection counts as closed from then on.
    std::optional<FileIdentity> m_file;
};

class Recordset {
public:
    // Runs the query; throws RuntimeError when the server rejects it.
    Recordset(Connection &connection, const QString &sql);
    // Sends the statements to SQL Server as one batch, one a line, and stands
    // on the first of its results that has columns (row counts are passed
    // over). Throws RuntimeError with the server's error for any statement
    // before it.
    Recordset(Connection &connection, const QStringList &batch);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool eof() const { return m_eof; }
    void moveNext();
    // The value of a field, the name matched without regard to case; throws
    // RuntimeError 3265 when the recordset has no such field.
    QVariant field(const QString &name) const;
    // The position of a field, for reading it by value(); the same error.
    int fieldIndex(const QString &name) const;
    QVariant value(int index) const { return m_reals.isEmpty() ? m_query.value(index) : m_row.value(index); }
    // A batch's next result that has columns: false when none is left.
    // Throws RuntimeError with the server's error for a statement on the way.
    bool nextResult();
    void close();

private:
    // From the present result on, the first that has columns; reads its first row.
    bool standOnRows();
    // Throws the error of moving to a result, with the statements for the debug output.
    [[noreturn]] void failResult() const;

    QSqlQuery m_query;
    QString m_sql;
    QStringList m_batch;   // the statements of a batch, for the debug output
    bool m_odbc = false;
    bool m_eof = true;
    QSqlRecord m_record;   // the columns
    QList<int> m_reals;   // ODBC columns of SQL type real, read apart
    QVariantList m_row;   // the current row, when there are such columns
    mutable QHash<QString, int> m_index;
};

// One unit of work in one round trip: a transaction in which a row is looked
// up under lock and one of two statements runs, by whether it was found; the
// commit; then a query whose rows are read. SQL Server gets it all as one
// batch: the row found is kept in the batch's variables, the server makes
// the choice, and SET XACT_ABORT ON rolls the whole back at any error.
// SQLite, in this process with no link to cross, runs each step as it is
// added (the transaction with its write lock at once, BEGIN IMMEDIATE) and
// the program makes the choice. The steps and their order are the same.
class Batch {
public:
    explicit Batch(Connection &connection);
    // A transaction begun and not committed is rolled back.
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    void begin();
    // The first row of `select`: its `fields`, each "Name type" (the type of
    // the batch's variable on SQL Server), are kept for what follows.
    void lookup(const QString &select, const QStringList &fields);
    // A kept field in the SQL of choose(), as a number; and that number, a
    // null as 0, plus `addend`.
    QString field(const QString &name) const;
    QString sum(const QString &name, double addend) const;
    void choose(const QString &ifNone, const QString &ifFound);
    void commit();
    // A query after the commit; rows() reads it.
    void query(const QString &select);
    // Sends the batch (SQL Server) and reads it up to the commit's outcome.
    // Throws RuntimeError when a statement before it fails; no transaction is
    // left open then.
    void send();

    bool committed() const { return m_committed; }
    bool found() const { return m_found; }
    QVariant value(const QString &name) const;
    // The query's rows; the error of the query is thrown here.
    Recordset &rows();

private:
    void rollback();

    Connection &m_connection;
    const bool m_deferred;   // SQL Server: statements wait for send()
    std::optional<RoundTrips::OneTrip> m_trip;   // SQLite: the steps as one trip
    QStringList m_statements;
    QStringList m_fields;
    QString m_query;
    bool m_begun = false, m_committed = false, m_found = false;
    QHash<QString, QVariant> m_values;   // the row found, by lower-case name
    std::unique_ptr<Recordset> m_results;
    bool m_rowsRead = false;
};

namespace Db {
// Builds the RuntimeError of a failed statement or connection.
// Its description is the driver's message alone; the statement goes to the
// debug output only.
[[noreturn]] void fail(const QSqlError &error, const QString &sql, double number);
// The same for a batch: each of its statements on a line of its own.
[[noreturn]] void fail(const QSqlError &error, const QStringList &batch, double number);
// The server chose the statement's transaction as a deadlock's victim and
// rolled it back (error 1205).
bool deadlock(const RuntimeError &error);

// The driver manager's SQLGetData, through which columns of SQL type real
// are read (see Recordset). Tests put a failing one in its place; nullptr
// gives back the driver manager's own.
#ifdef _WIN32
#define INVENTARIO_ODBC_CALL __stdcall
#else
#define INVENTARIO_ODBC_CALL
#endif
using GetData = short(INVENTARIO_ODBC_CALL *)(
    void *statement, unsigned short column, short cType, void *value, qintptr bufferLength, qintptr *indicator);
GetData getData();
void setGetData(GetData function);

// Opens a new, separate connection with the string and closes it again,
// waiting at most `waitMs` (on a monotonic clock) while the window keeps
// painting. Returns "" when the connection opened, else the reason.
QString testConnection(const QString &connectionString, int loginTimeout, int waitMs, bool *timedOut = nullptr);
// Waits at most `waitMs` for the workers of connection tests that gave up
// waiting and are still opening (each within its login timeout); true when
// none is left. The program calls it before it ends.
bool waitForTests(int waitMs);
}   // namespace Db
