#include "schema.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/resources.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {
namespace {
QString resource(const QString &name)
{
    initResources();
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrNo::FileNotFound, QStringLiteral("File non trovato: ") + name);
    return QString::fromUtf8(f.readAll());
}
}   // namespace

void eseguiScript(const QString &connectionName, const QString &script)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QString statement;
    for (const QString &line : script.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            QSqlQuery q(db);
            if (!q.exec(statement))
                Db::fail(q.lastError(), statement.left(200), ErrNo::DbStatementFailure);
            statement.clear();
        }
    }
}

void creaDatabaseSQLite(const QString &path, bool demo)
{
    if (QFile::exists(path))
        throw RuntimeError(ErrNo::PathFileAccess, QStringLiteral("Il file esiste già: ") + path);
    const QString name = QStringLiteral("schema-") + path;
    // A database whose tables never reached the disk is no database: on any
    // failure the file goes, so that the next start does not take it for one.
    auto crea = [&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            Db::fail(db.lastError(), QString(), ErrNo::DbProviderFailure);
        {
            QSqlQuery wal(db);
            if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
                Db::fail(wal.lastError(), QString(), ErrNo::DbStatementFailure);
        }
        if (!db.transaction())
            Db::fail(db.lastError(), QString(), ErrNo::DbStatementFailure);
        eseguiScript(name, resource(QStringLiteral(":/sql/sqlite_tables.sql")));
        if (demo)
            eseguiScript(name, resource(QStringLiteral(":/sql/sqlite_demo.sql")));
        if (!db.commit())
            Db::fail(db.lastError(), QString(), ErrNo::DbStatementFailure);
        db.close();
    };
    try {
        crea();
    } catch (const RuntimeError &) {
        QSqlDatabase::removeDatabase(name);
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        throw;
    }
    QSqlDatabase::removeDatabase(name);
}

}   // namespace Schema
