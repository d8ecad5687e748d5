#pragma once
// The login, change-password, About and Help dialogs: the widgets of their templates;
// what they show and what OK and closing mean is the shared logic's. User interface
// thread only.
#include "frontend/SmallDialogsLogic.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"
#include "ui/TemplateDialog.h"
#include "ui/WidgetView.h"

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
    void Ok() override { logic.Submit(); }

private:
    WidgetView controls{this};
    WidgetPrompts prompts{this};
    SettingsMemory memory;
    LoginLogic logic{controls, prompts, memory};
};

class PasswordDialog : public TemplateDialog {
public:
    explicit PasswordDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void Ok() override { logic.Submit(); }

private:
    WidgetView controls{this};
    WidgetPrompts prompts{this};
    PasswordLogic logic{controls, prompts};
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
