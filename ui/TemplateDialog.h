#pragma once
// The keyboard of every dialog made from a template, as the templates' platform has
// it: Enter on a focused push button clicks that button, anywhere else it is the
// dialog's OK command; Escape is its Cancel command, which closes it (and the close
// decides what that means). User interface thread only.
#include <QDialog>

class TemplateDialog : public QDialog {
protected:
    using QDialog::QDialog;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override { close(); }
    // The OK command (Enter away from a push button).
    virtual void Ok() = 0;
};
