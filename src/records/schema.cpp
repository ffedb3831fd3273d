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
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            Db::fail(db.lastError(), QString(), ErrNo::DbProviderFailure);
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        db.transaction();
        eseguiScript(name, resource(QStringLiteral(":/sql/sqlite_tables.sql")));
        if (demo)
            eseguiScript(name, resource(QStringLiteral(":/sql/sqlite_demo.sql")));
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}   // namespace Schema
