#pragma once
#include <QDialog>
#include <QScopedPointer>
#include <functional>

namespace Ui {
class FormConfigurazione;
}

// The connection settings dialog: composes an SQL Server connection string
// from server, user, password and database (or takes one typed by hand),
// tests it and, when the server accepts it, stores it in term.ini. It never
// touches the shared connection; the next start uses what it stored.
class FormConfigurazione : public QDialog {
    Q_OBJECT
public:
    explicit FormConfigurazione(QWidget *parent = nullptr);
    ~FormConfigurazione() override;

    const QScopedPointer<Ui::FormConfigurazione> ui;

    // "Provider=SQLOLEDB;Data Source=" + server + ";UID=" + user + ";PWD=" +
    // password + ";DATABASE=" + database, each part trimmed and quoted when
    // it needs it.
    static QString stringaComposta(
        const QString &server, const QString &utente, const QString &password, const QString &database);
    // The same from the four fields as they stand.
    QString stringaComposta() const;

    static const QString kTitoloLibrerie;   // "Librerie MS SQL Mancanti!"
    static const QString kTestoLibrerie;

    // What tests the string before it is stored: "" when the server accepted
    // it, else the reason. Tests put a stand-in for a server they lack; null
    // restores the real test connection.
    using ConnectionTest = std::function<QString(const QString &connectionString)>;
    static void setConnectionTest(ConnectionTest test);

public Q_SLOTS:
    void Form_Load();
    void cmdDBSalva_Click();
    void CmdEsci_Click();
    // Replaces txtStringa with the composed string (any change of the four fields).
    void ricomponiStringa();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override {}   // only ESCI leaves the dialog
    void closeEvent(QCloseEvent *event) override;

private:
    void cercaServer();
    bool scriviChiavi(const QString &stringa, bool composta);
};
