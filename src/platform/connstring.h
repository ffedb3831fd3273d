#pragma once
#include <QString>

// What a stored connection string means on this platform.
struct ConnectionTarget {
    enum Kind { Invalid, SQLite, SqlServer, Odbc };
    Kind kind = Invalid;
    QString driver;        // Qt driver: QSQLITE or QODBC
    QString databaseName;  // file path for SQLite, ODBC connection string otherwise
    bool sqliteDialect = false;   // SQL goes to SQLite (rewritten), not SQL Server
    QString error;         // why an Invalid string is invalid
};

namespace ConnString {

// Parses "Key=Value;..." (keys without regard to case, values may be quoted
// with "..." or {...}); returns the value of the first of `keys` present.
QString value(const QString &connectionString, const QStringList &keys);

// Provider=SQLite;Data Source=FILE           -> SQLite (relative to the program folder)
// Provider=SQLOLEDB|SQLNCLI*|MSOLEDBSQL;...  -> SQL Server through the ODBC driver
// Driver=...; or DSN=...;                    -> ODBC, unchanged
ConnectionTarget resolve(const QString &connectionString);

// The preferred installed SQL Server ODBC driver ("" when there is none).
QString sqlServerDriver();

// Braces an ODBC attribute value when it holds ; { } or blanks at its ends.
QString odbcValue(const QString &value);

} // namespace ConnString
