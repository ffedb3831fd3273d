#pragma once
#include <QString>
#include <exception>

// A run-time error: a number in the familiar Basic numbering (or the
// provider's negative code for database errors) and a description. A
// database error also keeps the server's own error numbers ("1205", or
// several joined by ';'), which the operator never sees.
class RuntimeError : public std::exception {
public:
    RuntimeError(double number, QString description, QString serverCodes = QString())
        : m_number(number), m_description(std::move(description)), m_serverCodes(std::move(serverCodes)),
          m_what(m_description.toUtf8())
    {}
    double number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &serverCodes() const { return m_serverCodes; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    double m_number;
    QString m_description;
    QString m_serverCodes;
    QByteArray m_what;
};

namespace ErrNo {
constexpr double TypeMismatch = 13;
constexpr double FileNotFound = 53;
constexpr double PermissionDenied = 70;
constexpr double PathFileAccess = 75;
constexpr double DbProviderFailure = -2147467259;   // 0x80004005
constexpr double DbStatementFailure = -2147217900;   // 0x80040E14
}   // namespace ErrNo
