#pragma once
// The login, change-password, About and Help dialogs. None closes itself: closing
// raises a ControlBlock flag (or asks "Close ZL-Config?") and the worker has the
// hidden main window destroy it. User interface thread only.
#include <QDialog>

class LoginDialog : public QDialog {
public:
    explicit LoginDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Submit();
    bool loginSubmitted = false;  // one submission per dialog
};

class PasswordDialog : public QDialog {
public:
    explicit PasswordDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    void Submit();
    bool submitting = false;  // events flow while the hand-over waits for busy
};

class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
};

class HelpDialog : public QDialog {
public:
    explicit HelpDialog(QWidget* owner = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
};
