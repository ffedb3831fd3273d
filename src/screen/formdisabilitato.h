#pragma once
#include <QApplication>
#include <QPointer>
#include <QWidget>

// The form takes no input while a command or a loop runs. Disabling it takes
// the focus away, so the control that had it gets it back at the end: keys
// queued meanwhile must reach it, not the bare window.
class FormDisabilitato {
public:
    explicit FormDisabilitato(QWidget *form) : m_form(form), m_focus(QApplication::focusWidget())
    {
        m_form->setEnabled(false);
    }
    ~FormDisabilitato() { riabilita(); }
    FormDisabilitato(const FormDisabilitato &) = delete;
    FormDisabilitato &operator=(const FormDisabilitato &) = delete;

    void riabilita()
    {
        if (m_form->isEnabled())
            return;
        m_form->setEnabled(true);
        if (m_focus && m_focus->isEnabled() && m_focus->isVisible() && m_focus->window() == m_form->window())
            m_focus->setFocus();
    }

private:
    QWidget *m_form;
    QPointer<QWidget> m_focus;
};

// The hourglass while a command reads a whole table.
class CursoreOccupato {
public:
    CursoreOccupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato &) = delete;
    CursoreOccupato &operator=(const CursoreOccupato &) = delete;
};
