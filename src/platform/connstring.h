#pragma once
#include <QString>

// What a stored connection string means on this platform.
struct ConnectionTarget {
    enum Kind { Invalid, SQLite, SqlServer, Odbc };
    Kind kind = Invalid;
    QString driver;   // Qt driver: QSQLITE or QODBC
    QString databaseName;   // file path for SQLite, ODBC connection string otherwise
    bool sqliteDialect = false;   // SQL goes to SQLite (rewritten), not SQL Server
    QString error;   // why an Invalid string is invalid
    int loginTimeout = -1;   // seconds the string asks for (Connect Timeout), -1 when it asks nothing
    QString options;   // connection attributes beside the login timeout, as Qt's ODBC driver takes them
    // Why FreeTDS may break off a login it reports only as a failed
    // connection: what this string asks that only its setup can give.
    QString failureHint;
};

namespace ConnString {

// Provider=SQLite;Data Source=FILE           -> SQLite (relative to the program folder)
// Provider=SQLOLEDB|SQLNCLI*|MSOLEDBSQL*;... -> SQL Server through the ODBC driver
// Driver=...; or DSN=...;                    -> ODBC, unchanged
ConnectionTarget resolve(const QString &connectionString);

// A value as it goes into a stored string: in quotes when the provider
// would read it otherwise (a ';', a quote or a blank at either end).
QString quoted(const QString &value);

// The preferred installed SQL Server ODBC driver ("" when there is none).
QString sqlServerDriver();

}   // namespace ConnString
