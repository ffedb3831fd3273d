#pragma once
#include "connstring.h"
#include "fileidentity.h"
#include "errors.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

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
    bool sqlServer() const { return m_target.kind == ConnectionTarget::SqlServer || (m_target.kind == ConnectionTarget::Odbc && !m_target.sqliteDialect); }

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
    void close();

private:
    QSqlQuery m_query;
    QString m_sql;
    bool m_eof = true;
    QSqlRecord m_record;   // the columns
    QList<int> m_reals;    // ODBC columns of SQL type real, read apart
    QVariantList m_row;    // the current row, when there are such columns
    mutable QHash<QString, int> m_index;
};

// Commits at commit(), rolls back when it leaves scope uncommitted. On SQLite
// it takes the write lock at once (BEGIN IMMEDIATE).
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    void commit();

private:
    Connection &m_connection;
    bool m_done = false;
};

namespace Db {
// Builds the RuntimeError of a failed statement or connection.
// Its description is the driver's message alone; the statement goes to the
// debug output only.
[[noreturn]] void fail(const QSqlError &error, const QString &sql, double number);
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
using GetData = short(INVENTARIO_ODBC_CALL *)(void *statement, unsigned short column, short cType, void *value,
                                              qintptr bufferLength, qintptr *indicator);
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
}
