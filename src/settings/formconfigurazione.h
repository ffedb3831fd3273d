#pragma once
#include <QDialog>

// The connection settings dialog (placeholder).
class FormConfigurazione : public QDialog {
    Q_OBJECT
public:
    explicit FormConfigurazione(QWidget *parent = nullptr) : QDialog(parent) {}
};
