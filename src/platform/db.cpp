#include "db.h"
#include "errors.h"
#include "events.h"
#include "fileidentity.h"
#include "regional.h"
#include "roundtrips.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

namespace Db {

namespace {
QString errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text.isEmpty() ? QStringLiteral("Errore del database") : text;
}
}   // namespace

void fail(const QSqlError &error, const QString &sql, double number)
{
    const QString text = errorText(error);
    qWarning().noquote() << "statement failed:" << text << "--" << sql.simplified();
    throw RuntimeError(number, text, error.nativeErrorCode());
}

void fail(const QSqlError &error, const QStringList &batch, double number)
{
    const QString text = errorText(error);
    qWarning().noquote() << "batch failed:" << text;
    for (const QString &statement : batch)
        qWarning().noquote() << "--" << statement.simplified();
    throw RuntimeError(number, text, error.nativeErrorCode());
}

bool deadlock(const RuntimeError &error)
{
    return error.serverCodes().split(QLatin1Char(';')).contains(QLatin1String("1205"));
}

}   // namespace Db

namespace {

QAtomicInt g_counter;

// Every statement runs forward-only: any other cursor makes the ODBC driver
// wrap the text in a server cursor call (sp_cursoropen), inside which a SET
// lasts only for that call.
QSqlQuery forwardQuery(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    return q;
}

// Qt's ODBC driver reads a column of SQL type real as text into a buffer
// sized by the column's 7 digits, which most values overflow (they come
// back null). Such a column is read here from the driver as a float, in
// column order like the rest, and given as the shortest decimal that is
// that float: 12.3 stays 12.3. A read that fails is an error like any other.
using SqlGetDiagRec = short(INVENTARIO_ODBC_CALL *)(short handleType, void *handle, short record, char16_t *state,
    qint32 *nativeError, char16_t *message, short bufferLength, short *textLength);

QFunctionPointer driverManager(const char *function)
{
#ifdef Q_OS_WIN
    QLibrary odbc(QStringLiteral("odbc32"));
#else
    QLibrary odbc(QStringLiteral("odbc"), 2);   // the driver manager Qt's ODBC driver has loaded
#endif
    return odbc.resolve(function);
}

Db::GetData &getDataSeam()
{
    static Db::GetData function = nullptr;
    return function;
}

// The driver's messages about a statement, as Qt gives those of other reads.
[[noreturn]] void failRead(void *statement, const QString &column, const QString &sql)
{
    static const auto diag = reinterpret_cast<SqlGetDiagRec>(driverManager("SQLGetDiagRecW"));
    QStringList messages, codes;
    for (short record = 1; diag && statement && record <= 8; ++record) {
        char16_t state[6] = {}, text[1024] = {};
        qint32 native = 0;
        short length = 0;
        if ((diag(3 /* SQL_HANDLE_STMT */, statement, record, state, &native, text, 1024, &length) & ~1) != 0)
            break;
        messages << QString::fromUtf16(text, std::clamp<qsizetype>(length, 0, 1023)).trimmed();
        codes << QString::number(native);
    }
    if (messages.isEmpty())
        messages << QStringLiteral("Impossibile leggere il campo %1").arg(column);
    qWarning().noquote() << "read failed:" << messages.join(QLatin1Char(' ')) << "--" << sql.simplified();
    throw RuntimeError(ErrNo::DbStatementFailure, messages.join(QLatin1Char(' ')), codes.join(QLatin1Char(';')));
}

QVariant readReal(const QSqlQuery &query, int column, const QString &name, const QString &sql)
{
    constexpr short kFloat = 7;   // SQL_C_FLOAT
    const QVariant handle = query.result()->handle();
    void *statement =
        handle.metaType() == QMetaType::fromType<void *>() ? *static_cast<void *const *>(handle.constData()) : nullptr;
    const Db::GetData getData = Db::getData();
    float value = 0;
    qintptr indicator = 0;
    if (!getData || !statement
        || (getData(statement, static_cast<unsigned short>(column + 1), kFloat, &value, sizeof value, &indicator) & ~1)
               != 0)
        failRead(statement, name, sql);
    if (indicator == -1)   // SQL_NULL_DATA
        return QVariant(QMetaType::fromType<double>());
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return QByteArray(digits, static_cast<int>(end - digits)).toDouble();
}

}   // namespace

namespace Db {
GetData getData()
{
    static const auto loaded = reinterpret_cast<GetData>(driverManager("SQLGetData"));
    return getDataSeam() ? getDataSeam() : loaded;
}
void setGetData(GetData function) { getDataSeam() = function; }
}   // namespace Db

namespace {

QString newName() { return QStringLiteral("inventario-%1").arg(g_counter.fetchAndAddRelaxed(1)); }

// Why a login failed, the server's own words first: FreeTDS's record that
// only says it could not connect goes (its reasons are the other records),
// and a failure it gives no reason for gets the string's likely one.
QString loginFailure(const QSqlError &error, const ConnectionTarget &target)
{
    static const QRegularExpression generic(
        QStringLiteral("\\[FreeTDS\\]\\[SQL Server\\]Unable to connect to data source\\s*"));
    QString text = error.databaseText().remove(generic).trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (!target.failureHint.isEmpty() && text.contains(QLatin1String("Adaptive Server connection failed")))
        text = target.failureHint + QLatin1Char(' ') + text;
    return text.isEmpty() ? QStringLiteral("Impossibile aprire il database") : text;
}

// Opens `db` for `target`; "" on success, else the reason.
QString openDatabase(QSqlDatabase &db, const ConnectionTarget &target, int loginTimeout)
{
    if (target.kind == ConnectionTarget::Invalid)
        return target.error;
    if (target.kind == ConnectionTarget::SQLite) {
        // a missing file is an error: it is never created empty
        const QFileInfo info(target.databaseName);
        if (!info.exists() || !info.isFile())
            return QStringLiteral("File di database non trovato: ") + target.databaseName;
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        // the caller's timeout, else the string's, else the provider's 15 seconds
        const int timeout = loginTimeout >= 0 ? loginTimeout : target.loginTimeout >= 0 ? target.loginTimeout : 15;
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(timeout)
                             + (target.options.isEmpty() ? QString() : QLatin1Char(';') + target.options));
    }
    db.setDatabaseName(target.databaseName);
    if (!db.open())
        return loginFailure(db.lastError(), target);
    QSqlQuery q = forwardQuery(db);
    if (target.kind == ConnectionTarget::SQLite) {
        // a file that is no database opens, but cannot be read
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const QString text = q.lastError().text();
            db.close();
            return text;
        }
    } else if (!target.sqliteDialect) {
        // The session reads the statements' dd/mm/yyyy dates, gives up on
        // another session's locks after 30 seconds (an error, not a frozen
        // window), and quotes identifiers as the ODBC driver meant to (its
        // own SET ran inside a cursor call).
        if (!q.exec(QStringLiteral("SET DATEFORMAT dmy; SET LOCK_TIMEOUT 30000; SET QUOTED_IDENTIFIER ON"))) {
            const QString text = q.lastError().text();
            db.close();
            return text;
        }
    }
    return QString();
}

}   // namespace

Connection::Connection() : m_name(newName()) {}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

void Connection::open(const QString &connectionString, int loginTimeout)
{
    close();
    m_target = ConnString::resolve(connectionString);
    if (m_target.kind == ConnectionTarget::Invalid)
        throw RuntimeError(ErrNo::DbProviderFailure, m_target.error);
    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                     : QSqlDatabase::addDatabase(m_target.driver, m_name);
    if (db.driverName() != m_target.driver) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        db = QSqlDatabase::addDatabase(m_target.driver, m_name);
    }
    const QString error = openDatabase(db, m_target, loginTimeout);
    if (!error.isEmpty())
        throw RuntimeError(ErrNo::DbProviderFailure, error);
    m_file = m_target.kind == ConnectionTarget::SQLite ? fileIdentity(m_target.databaseName) : std::nullopt;
}

void Connection::close()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
}

bool Connection::isOpen() const
{
    if (!QSqlDatabase::contains(m_name))
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.isOpen())
        return false;
    if (m_file && fileIdentity(m_target.databaseName) != m_file) {
        db.close();
        return false;
    }
    return true;
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(m_name, false); }

namespace {
// Where the SELECT that starts at `from` ends: at the ')' that closes the
// parenthesis it stands in, or at the end of the text; quoted text skipped.
qsizetype selectEnd(const QString &sql, qsizetype from)
{
    int depth = 0;
    bool quoted = false;
    for (qsizetype i = from; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && depth-- == 0)
            return i;
    }
    return sql.size();
}

bool inQuotes(const QString &sql, qsizetype at) { return QStringView(sql).left(at).count(QLatin1Char('\'')) % 2 != 0; }
}   // namespace

QString Connection::adapt(const QString &sql) const
{
    if (!m_target.sqliteDialect || !sql.contains(QLatin1String("TOP"), Qt::CaseInsensitive))
        return sql;
    // SQLite reads SELECT TOP n as a LIMIT n at the end of that SELECT: the
    // end of the text, or of the parentheses it stands in. The last one first,
    // so that the places of those before it stay where they were.
    static const QRegularExpression top(
        QStringLiteral("\\bSELECT\\s+TOP\\s+(\\d+)\\s+"), QRegularExpression::CaseInsensitiveOption);
    QList<QRegularExpressionMatch> matches;
    for (auto it = top.globalMatch(sql); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!inQuotes(sql, m.capturedStart()))
            matches.prepend(m);
    }
    QString out = sql;
    for (const QRegularExpressionMatch &m : std::as_const(matches)) {
        const qsizetype end = selectEnd(out, m.capturedEnd());
        QString body = out.mid(m.capturedEnd(), end - m.capturedEnd());
        while (!body.isEmpty() && body.back().isSpace())
            body.chop(1);
        const QString select = out.mid(m.capturedStart(), 6);   // "SELECT" as written
        out = out.left(m.capturedStart()) + select + QLatin1Char(' ') + body + QStringLiteral(" LIMIT ") + m.captured(1)
              + out.mid(end);
    }
    return matches.isEmpty() ? sql : out.trimmed();
}

void Connection::execute(const QString &sql)
{
    if (!isOpen())
        throw RuntimeError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    QSqlQuery q = forwardQuery(database());
    RoundTrips::statement();
    if (!q.exec(adapt(sql)))
        Db::fail(q.lastError(), sql, ErrNo::DbStatementFailure);
}

void Connection::execute(const QString &sql, const QVariantList &values)
{
    if (!isOpen())
        throw RuntimeError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    QSqlQuery q = forwardQuery(database());
    if (!q.prepare(adapt(sql)))
        Db::fail(q.lastError(), sql, ErrNo::DbStatementFailure);
    for (const QVariant &v : values)
        q.addBindValue(v);
    RoundTrips::statement();
    if (!q.exec())
        Db::fail(q.lastError(), sql, ErrNo::DbStatementFailure);
}

Recordset::Recordset(Connection &connection, const QString &sql) : m_query(connection.database()), m_sql(sql)
{
    if (!connection.isOpen())
        throw RuntimeError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    m_odbc = connection.database().driverName() == QLatin1String("QODBC");
    m_query.setForwardOnly(true);
    RoundTrips::statement();
    if (!m_query.exec(connection.adapt(sql)))
        Db::fail(m_query.lastError(), sql, ErrNo::DbStatementFailure);
    standOnRows();
}

Recordset::Recordset(Connection &connection, const QStringList &batch)
    : m_query(connection.database()), m_sql(batch.join(QLatin1Char('\n'))), m_batch(batch)
{
    if (!connection.isOpen())
        throw RuntimeError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    m_odbc = connection.database().driverName() == QLatin1String("QODBC");
    m_query.setForwardOnly(true);
    RoundTrips::statement();
    if (!m_query.exec(m_sql))
        Db::fail(m_query.lastError(), m_batch, ErrNo::DbStatementFailure);
    standOnRows();
}

bool Recordset::standOnRows()
{
    m_eof = true;
    while (!m_query.isSelect()) {
        if (!m_query.nextResult()) {
            if (m_query.lastError().isValid())
                failResult();
            return false;
        }
    }
    m_record = m_query.record();   // taken before the first row: no values read
    m_reals.clear();
    m_index.clear();
    if (m_odbc)
        for (int i = 0; i < m_record.count(); ++i)
            if (m_record.field(i).metaType().id() == QMetaType::Float)
                m_reals << i;
    moveNext();
    return true;
}

bool Recordset::nextResult()
{
    if (!m_query.nextResult()) {
        m_eof = true;
        if (m_query.lastError().isValid())
            failResult();
        return false;
    }
    return standOnRows();
}

void Recordset::failResult() const
{
    if (m_batch.isEmpty())
        Db::fail(m_query.lastError(), m_sql, ErrNo::DbStatementFailure);
    Db::fail(m_query.lastError(), m_batch, ErrNo::DbStatementFailure);
}

Recordset::~Recordset() { close(); }

void Recordset::close()
{
    m_query.finish();
    m_eof = true;
}

void Recordset::moveNext()
{
    m_eof = !m_query.next();
    if (m_eof && m_query.lastError().isValid())
        Db::fail(m_query.lastError(), m_sql, ErrNo::DbStatementFailure);
    if (m_eof || m_reals.isEmpty())
        return;
    m_row.clear();
    for (int i = 0; i < m_record.count(); ++i)
        m_row << (m_reals.contains(i) ? readReal(m_query, i, m_record.fieldName(i), m_sql) : m_query.value(i));
}

int Recordset::fieldIndex(const QString &name) const
{
    const QString key = name.toLower();
    const auto it = m_index.constFind(key);
    const int i = it != m_index.constEnd() ? *it : *m_index.insert(key, m_record.indexOf(name));
    if (i < 0)
        throw RuntimeError(3265,
            QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente al nome richiesto: ") + name);
    return i;
}

QVariant Recordset::field(const QString &name) const
{
    const int i = fieldIndex(name);
    if (m_eof)
        throw RuntimeError(3021, QStringLiteral("BOF o EOF è True oppure il record corrente è stato eliminato."));
    return value(i);
}

Batch::Batch(Connection &connection) : m_connection(connection), m_deferred(connection.sqlServer())
{
    if (!m_deferred)
        m_trip.emplace();
}

Batch::~Batch()
{
    if (m_begun && !m_committed && !m_deferred)
        rollback();
}

void Batch::rollback()
{
    // Nothing may stay locked behind a failure; a rollback that fails in its
    // turn (the link gone) leaves nothing to add to the error already raised.
    try {
        m_connection.execute(
            m_deferred ? QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION") : QStringLiteral("ROLLBACK"));
    } catch (const RuntimeError &) {
    }
}

void Batch::begin()
{
    if (m_deferred) {
        m_statements << QStringLiteral("SET XACT_ABORT ON") << QStringLiteral("BEGIN TRANSACTION");
    } else {
        m_connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
    }
    m_begun = true;
}

void Batch::lookup(const QString &select, const QStringList &fields)
{
    m_fields.clear();
    QStringList declare{QStringLiteral("@Trovata int = 0")}, assign{QStringLiteral("@Trovata = 1")};
    for (const QString &field : fields) {
        const QString name = field.section(QLatin1Char(' '), 0, 0);
        m_fields << name;
        declare << QLatin1Char('@') + field;
        assign << QStringLiteral("@%1 = %1").arg(name);
    }
    if (m_deferred) {
        m_statements << QStringLiteral("DECLARE ") + declare.join(QStringLiteral(", "))
                     << QStringLiteral("SELECT TOP 1 ") + assign.join(QStringLiteral(", ")) + QStringLiteral(" FROM (")
                            + select + QStringLiteral(") AS Trovata");
        return;
    }
    Recordset rs(m_connection, select);
    m_found = !rs.eof();
    for (const QString &name : std::as_const(m_fields))
        m_values.insert(name.toLower(), m_found ? rs.field(name) : QVariant());
    rs.close();   // one statement at a time on the connection
}

QString Batch::field(const QString &name) const
{
    return m_deferred ? QLatin1Char('@') + name : Regional::sqlNumber(Regional::toNumber(value(name)));
}

QString Batch::sum(const QString &name, double addend) const
{
    if (m_deferred)
        return QStringLiteral("ISNULL(@%1, 0) + ").arg(name) + Regional::sqlNumber(addend);
    const double total = Regional::toNumber(value(name)) + addend;
    if (!std::isfinite(total))
        throw RuntimeError(6, QStringLiteral("Overflow"));
    return Regional::sqlNumber(total);
}

void Batch::choose(const QString &ifNone, const QString &ifFound)
{
    if (m_deferred)
        m_statements << QStringLiteral("IF @Trovata = 0 ") + ifNone + QStringLiteral(" ELSE ") + ifFound;
    else
        m_connection.execute(m_found ? ifFound : ifNone);
}

void Batch::commit()
{
    if (m_deferred) {
        // the row found comes back only once the commit has passed: its
        // arrival is what tells that the work is done
        QStringList outcome{QStringLiteral("@Trovata AS Trovata")};
        for (const QString &name : std::as_const(m_fields))
            outcome << QStringLiteral("@%1 AS %1").arg(name);
        m_statements << QStringLiteral("COMMIT TRANSACTION")
                     << QStringLiteral("SELECT ") + outcome.join(QStringLiteral(", "));
        return;
    }
    m_connection.execute(QStringLiteral("COMMIT"));
    m_committed = true;
}

void Batch::query(const QString &select)
{
    m_query = select;
    if (m_deferred)
        m_statements << select;
}

void Batch::send()
{
    if (!m_deferred)
        return;
    try {
        m_results = std::make_unique<Recordset>(m_connection, m_statements);
    } catch (const RuntimeError &) {
        // A statement the server could not even resolve (a missing column, say)
        // ends the batch with its transaction still open, XACT_ABORT or not.
        if (m_begun)
            rollback();
        throw;
    }
    if (m_results->eof())
        throw RuntimeError(ErrNo::DbStatementFailure, QStringLiteral("Il server non ha confermato il salvataggio"));
    m_committed = true;
    m_found = Regional::toNumber(m_results->field(QStringLiteral("Trovata"))) != 0;
    for (const QString &name : std::as_const(m_fields))
        m_values.insert(name.toLower(), m_results->field(name));
}

QVariant Batch::value(const QString &name) const { return m_values.value(name.toLower()); }

Recordset &Batch::rows()
{
    if (!m_rowsRead) {
        m_rowsRead = true;
        if (m_deferred) {
            if (!m_results || !m_results->nextResult())
                throw RuntimeError(ErrNo::DbStatementFailure, QStringLiteral("Nessun risultato per: ") + m_query);
        } else {
            m_results = std::make_unique<Recordset>(m_connection, m_query);
        }
    }
    return *m_results;
}

namespace Db {
namespace {
struct TestState {
    QMutex mutex;
    bool finished = false;
    QString error;
};

// The test workers started on this (the window's) thread and not yet
// waited for: a test that timed out leaves its worker opening.
std::vector<std::unique_ptr<QThread>> &workers()
{
    static auto *list = new std::vector<std::unique_ptr<QThread>>;   // one still opening at the end stays
    return *list;
}

void reapWorkers()
{
    auto &list = workers();
    list.erase(std::remove_if(list.begin(), list.end(), [](const std::unique_ptr<QThread> &w) { return w->wait(0); }),
        list.end());
}
}   // namespace

bool waitForTests(int waitMs)
{
    QDeadlineTimer deadline(waitMs);
    for (const auto &w : workers())
        w->wait(deadline);
    reapWorkers();
    return workers().empty();
}

QString testConnection(const QString &connectionString, int loginTimeout, int waitMs, bool *timedOut)
{
    if (timedOut)
        *timedOut = false;
    const ConnectionTarget target = ConnString::resolve(connectionString);
    if (target.kind == ConnectionTarget::Invalid)
        return target.error;
    reapWorkers();
    auto state = std::make_shared<TestState>();
    // The open runs on a worker with its own connection, so that the window
    // keeps painting while a slow server makes us wait.
    QThread *worker = workers()
                          .emplace_back(QThread::create([state, target, loginTimeout] {
                              const QString name = newName();
                              QString error;
                              {
                                  QSqlDatabase db = QSqlDatabase::addDatabase(target.driver, name);
                                  error = openDatabase(db, target, loginTimeout);
                                  db.close();
                              }
                              QSqlDatabase::removeDatabase(name);
                              QMutexLocker lock(&state->mutex);
                              state->error = error;
                              state->finished = true;
                          }))
                          .get();
    worker->start();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        {
            QMutexLocker lock(&state->mutex);
            if (state->finished)
                return state->error;
        }
        if (clock.elapsed() > waitMs) {
            if (timedOut)
                *timedOut = true;
            return QStringLiteral("Timeout scaduto");
        }
        Events::DoEvents();
        QThread::msleep(5);
    }
}
}   // namespace Db
