#pragma once
// The login, change-password, About and Help dialogs. None closes itself: closing
// raises a ControlBlock flag (or asks "Close ZL-Config?") and the worker has the
// hidden main window destroy it. User interface thread only.
#include "ui/TemplateDialog.h"

class QComboBox;
class QString;

// How the login dialog's drop-down shows port `row`: "COM33 - /dev/ttyUSB0 - FTDI ...".
// The entry itself, and the field, keep the COM name.
QString PortEntryText(const QComboBox* ports, int row);

class LoginDialog : public TemplateDialog {
public:
    explicit LoginDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void Ok() override { Submit(); }

private:
    void Submit();
    bool loginSubmitted = false;  // one submission per dialog
};

class PasswordDialog : public TemplateDialog {
public:
    explicit PasswordDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void Ok() override { Submit(); }

private:
    void Submit();
    bool submitting = false;  // events flow while the hand-over waits for busy
};

class AboutDialog : public TemplateDialog {
public:
    explicit AboutDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void Ok() override { close(); }
};

class HelpDialog : public TemplateDialog {
public:
    explicit HelpDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void Ok() override { close(); }

private:
    int margin = 0;  // around the text, as the template places it
};
