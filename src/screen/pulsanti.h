#pragma once
#include <QPushButton>
#include <QToolButton>

// The screen's buttons show their caption as a Windows command button does:
// centred, wrapped onto further lines when it is wider than the button, with
// the access key underlined. A picture button shows its picture above the
// caption.
class WrappingPushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class PictureButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
