#pragma once
#include "errore.h"

#include <QDialog>
#include <QScopedPointer>
#include <QTimer>

namespace Ui {
class FrmErrore;
}

// The error form: shows an unexpected error; its one button writes
// LogErrori.TXT and ends the program.
class FrmErrore : public QDialog {
    Q_OBJECT
public:
    explicit FrmErrore(QWidget *parent = nullptr);
    ~FrmErrore() override;

    // Fills the fields and shows the form modally.
    void mostra(const Modulo::ErrorRecord &record);
    void riempi(const Modulo::ErrorRecord &record);

    const QScopedPointer<Ui::FrmErrore> ui;
    QTimer Timer1;

public Q_SLOTS:
    void cmdEsci_Click();
    void Timer1_Timer();

protected:
    void reject() override {}   // only its button leaves the form
};
