#include "formconfigurazione.h"
#include "ui_FormConfigurazione.h"
#include "serverlist.h"
#include "frame/modulo.h"
#include "platform/connstring.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/regional.h"
#include "platform/resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace {

const QString kChiaveStringa = QStringLiteral("StrConnPrincipale");
const QString kChiaveServer = QStringLiteral("StrConnPrincipaleServer");
const QString kChiaveUtente = QStringLiteral("StrConnPrincipaleUtente");
const QString kChiavePassword = QStringLiteral("StrConnPrincipalePassword");
const QString kChiaveDatabase = QStringLiteral("StrConnPrincipaleDatabase");

// The test waits as long as the start-up test does, at most 5 seconds.
constexpr int kLoginTimeout = 5;
constexpr int kAttesaMs = 5000;

// The hourglass while alive; restore() gives the arrow back early (before a
// message box, so that the operator sees the normal pointer on it).
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    void restore()
    {
        if (m_active)
            QApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};

FormConfigurazione::ConnectionTest &connectionTest()
{
    static FormConfigurazione::ConnectionTest test;
    return test;
}

}   // namespace

void FormConfigurazione::setConnectionTest(ConnectionTest test) { connectionTest() = std::move(test); }

const QString FormConfigurazione::kTitoloLibrerie = QStringLiteral("Librerie MS SQL Mancanti!");
const QString FormConfigurazione::kTestoLibrerie =
    QStringLiteral("Su questo PC non sono Installate le librerie Client di MS SQL!\r\n\r\n"
                   "Il Programma funziona ugualmente però non riesce a trovare i Server Disponibili in Automatico!");

FormConfigurazione::FormConfigurazione(QWidget *parent) : QDialog(parent), ui(new Ui::FormConfigurazione)
{
    initResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // The box takes what is typed: no completion from the list (SRV1 must
    // not become SRV10), and nothing typed is added to the list.
    ui->ComboServer->setCompleter(nullptr);
    ui->ComboServer->setInsertPolicy(QComboBox::NoInsert);
    connect(ui->ComboServer, &QComboBox::editTextChanged, this, &FormConfigurazione::ricomponiStringa);
    // picking the name already typed changes no text, yet it is a choice
    connect(ui->ComboServer, &QComboBox::activated, this, &FormConfigurazione::ricomponiStringa);
    connect(ui->txtUtente, &QLineEdit::textChanged, this, &FormConfigurazione::ricomponiStringa);
    connect(ui->txtPassword, &QLineEdit::textChanged, this, &FormConfigurazione::ricomponiStringa);
    connect(ui->txtDatabase, &QLineEdit::textChanged, this, &FormConfigurazione::ricomponiStringa);
    connect(ui->cmdDBSalva, &QPushButton::clicked, this, &FormConfigurazione::cmdDBSalva_Click);
    connect(ui->CmdEsci, &QPushButton::clicked, this, &FormConfigurazione::CmdEsci_Click);
    ui->cmdDBSalva->installEventFilter(this);
    ui->CmdEsci->installEventFilter(this);

    Form_Load();
}

FormConfigurazione::~FormConfigurazione() = default;

QString FormConfigurazione::stringaComposta(
    const QString &server, const QString &utente, const QString &password, const QString &database)
{
    // each part in quotes when the provider would read it otherwise: a ';'
    // in a password would end it
    const auto parte = [](const QString &testo) { return ConnString::quoted(Regional::trimBlanks(testo)); };
    return QStringLiteral("Provider=SQLOLEDB;Data Source=") + parte(server) + QStringLiteral(";UID=") + parte(utente)
           + QStringLiteral(";PWD=") + parte(password) + QStringLiteral(";DATABASE=") + parte(database);
}

QString FormConfigurazione::stringaComposta() const
{
    return stringaComposta(
        ui->ComboServer->currentText(), ui->txtUtente->text(), ui->txtPassword->text(), ui->txtDatabase->text());
}

void FormConfigurazione::ricomponiStringa() { ui->txtStringa->setPlainText(stringaComposta()); }

void FormConfigurazione::Form_Load()
{
    Modulo::guarded(QString(), [this] {
        ui->ComboServer->clear();
        ui->ComboServer->setEditText(QString());
        ui->txtUtente->clear();
        ui->txtPassword->clear();
        ui->txtDatabase->clear();
        ui->txtStringa->clear();
        ui->ImageSi->hide();
        ui->imageNo->hide();

        cercaServer();

        // each part rebuilds the string; the stored string is shown last, as
        // stored, also when it was typed by hand
        ui->ComboServer->setEditText(Modulo::LeggiParametro(kChiaveServer));
        ui->txtUtente->setText(Modulo::LeggiParametro(kChiaveUtente));
        ui->txtPassword->setText(Modulo::LeggiParametro(kChiavePassword));
        ui->txtDatabase->setText(Modulo::LeggiParametro(kChiaveDatabase));
        ui->txtStringa->setPlainText(Modulo::LeggiParametro(kChiaveStringa));
    });
    setEnabled(true);
}

void FormConfigurazione::cercaServer()
{
    // Without a SQL Server driver the names would be of no use: say so and
    // let the operator type the server.
    if (ConnString::sqlServerDriver().isEmpty()) {
        MsgBox::show(kTestoLibrerie, MsgBox::Information, kTitoloLibrerie);
        return;
    }
    const QSignalBlocker block(ui->ComboServer);   // filling the list is no choice
    for (const QString &name : ServerList::available()) {
        ui->ComboServer->addItem(name);
        Events::DoEvents();
    }
    ui->ComboServer->setCurrentIndex(-1);
    ui->ComboServer->setEditText(QString());
}

void FormConfigurazione::cmdDBSalva_Click()
{
    Events::InputHold hold;
    WaitCursor cursor;
    setEnabled(false);
    Modulo::guarded(QString(), [&] {
        // a line end typed or pasted into the box is no part of a connection
        // string (and would break its line in term.ini)
        const QString stringa =
            Regional::trimBlanks(ui->txtStringa->toPlainText().remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
        const QString errore =
            connectionTest() ? connectionTest()(stringa) : Db::testConnection(stringa, kLoginTimeout, kAttesaMs);
        if (!errore.isEmpty()) {
            cursor.restore();
            setEnabled(true);
            MsgBox::show(errore, MsgBox::Critical, QStringLiteral("Impossibile Connettere il Database Principale!! "));
            ui->ImageSi->hide();
            ui->imageNo->show();
            return;
        }
        if (!scriviChiavi(stringa, stringa == stringaComposta()))
            return;   // ScriviParametro has shown the error form
        ui->ImageSi->show();
        ui->imageNo->hide();
        cursor.restore();
        MsgBox::show(QStringLiteral("Database Principale Collegato Correttamente!!"), MsgBox::Information,
            QStringLiteral("Database OK"));
    });
    cursor.restore();
    setEnabled(true);
}

// A composed string is stored with its four parts; a hand-made one with the
// parts emptied, so that the next opening shows it as it was typed.
bool FormConfigurazione::scriviChiavi(const QString &stringa, bool composta)
{
    const QString server = composta ? Regional::trimBlanks(ui->ComboServer->currentText()) : QString();
    const QString utente = composta ? Regional::trimBlanks(ui->txtUtente->text()) : QString();
    const QString password = composta ? Regional::trimBlanks(ui->txtPassword->text()) : QString();
    const QString database = composta ? Regional::trimBlanks(ui->txtDatabase->text()) : QString();
    return Modulo::ScriviParametro(kChiaveStringa, stringa) && Modulo::ScriviParametro(kChiaveServer, server)
           && Modulo::ScriviParametro(kChiaveUtente, utente) && Modulo::ScriviParametro(kChiavePassword, password)
           && Modulo::ScriviParametro(kChiaveDatabase, database);
}

void FormConfigurazione::CmdEsci_Click()
{
    if (QWidget *owner = parentWidget())
        owner->setEnabled(true);
    accept();
}

bool FormConfigurazione::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a focused button presses it, as Space does.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto *button = qobject_cast<QPushButton *>(watched)) {
                button->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FormConfigurazione::closeEvent(QCloseEvent *event) { event->ignore(); }
