#include "frmerrore.h"
#include "ui_FrmErrore.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "platform/regional.h"
#include "platform/shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

namespace {
const QString kYellow = QStringLiteral("color: rgb(255, 255, 0); background-color: rgb(0, 0, 128);");
const QString kOrange = QStringLiteral("color: rgb(255, 128, 0); background-color: rgb(0, 0, 128);");
}   // namespace

FrmErrore::FrmErrore(QWidget *parent) : QDialog(parent), ui(new Ui::FrmErrore)
{
    initResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, &FrmErrore::Timer1_Timer);
    connect(ui->cmdEsci, &QPushButton::clicked, this, &FrmErrore::cmdEsci_Click);
    Timer1.start();
}

FrmErrore::~FrmErrore() = default;

void FrmErrore::riempi(const Modulo::ErrorRecord &record)
{
    ui->lblNumero->setText(QString::number(static_cast<qint64>(record.number)));
    ui->lblLinea->setText(QString::number(record.line));
    ui->lblForm->setText(record.form);
    ui->lblOggetto->setText(record.control);
    ui->txtDescrizione->setPlainText(record.description);
    ui->lblVersione->setText(Modulo::programVersion());
}

void FrmErrore::mostra(const Modulo::ErrorRecord &record)
{
    riempi(record);
    setEnabled(true);
    // a dialog with an owner is centred on it; without one, on the screen
    if (!parentWidget())
        if (QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    exec();
}

void FrmErrore::Timer1_Timer()
{
    const bool yellow = ui->Label1->styleSheet() == kYellow;
    ui->Label1->setStyleSheet(yellow ? kOrange : kYellow);
}

void FrmErrore::cmdEsci_Click()
{
    // From here on every failure is ignored: the program ends in any case.
    setEnabled(false);
    const QString name = QStringLiteral("LogErrori.TXT");
    const QDir folder(Shell::programFolder());
    // an empty log (the installer lays one out) gets its header too
    const bool existed =
        folder.entryList(QDir::Files).contains(name, Qt::CaseSensitive) && QFileInfo(folder.filePath(name)).size() > 0;
    QFile log(folder.filePath(name));
    if (log.open(QIODevice::Append)) {
        const QDateTime now = Clock::now();
        try {
            Modulo::writeErrorLog(log, !existed, Regional::dateText(now.date()), Regional::timeText(now.time()),
                ui->lblForm->text(), ui->lblOggetto->text(), ui->lblLinea->text(), ui->lblVersione->text(),
                ui->txtDescrizione->toPlainText(), ui->lblNumero->text());
        } catch (...) {
        }
        log.close();
    }
    Modulo::endProgram();
    // only reached when a test replaced the ending
    setEnabled(true);
    done(QDialog::Accepted);
}
