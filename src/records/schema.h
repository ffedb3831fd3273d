#pragma once
#include <QString>

// Creates the embedded SQLite database: the three tables, and the demo
// shop's products when `demo` is set. Uses the settings of an embedded
// deployment (WAL journal). Throws RuntimeError when the file cannot be made.
namespace Schema {
void creaDatabaseSQLite(const QString &path, bool demo);
// Runs a script of ';'-terminated statements on an open SQLite connection.
void eseguiScript(const QString &connectionName, const QString &script);
}   // namespace Schema
