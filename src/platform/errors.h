#pragma once
#include <QString>
#include <exception>

// A run-time error: a number in the familiar Basic numbering (or the
// provider's negative code for database errors) and a description.
class RuntimeError : public std::exception {
public:
    RuntimeError(double number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8()) {}
    double number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    double m_number;
    QString m_description;
    QByteArray m_what;
};

namespace ErrNo {
constexpr double TypeMismatch = 13;
constexpr double FileNotFound = 53;
constexpr double PermissionDenied = 70;
constexpr double PathFileAccess = 75;
constexpr double DbProviderFailure = -2147467259;   // 0x80004005
constexpr double DbStatementFailure = -2147217900;  // 0x80040E14
}
