#pragma once
// The main window: shows what the worker put into the stores, enables itself by
// session and mode, and hands the user's changes over as requests and parameter
// writes. It never waits for the controller. User interface thread only.
#include "ui/TemplateDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QStatusBar;
class TrafficWindow;
class TrendWindow;

class MainDialog : public TemplateDialog {
public:
    explicit MainDialog(QWidget* owner = nullptr);
    ~MainDialog() override;  // remembers where the window was

    void RefreshMainDialog(bool enable);
    void RefreshModeGroup();
    void RefreshFlashGroup(bool enable);
    void RefreshParameter(int index);
    void FocusParameter(int index);
    bool ControlsEnabled() const { return controlsEnabled; }

protected:
    void customEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter moves on, so the edit being typed in loses the focus and commits.
    void Ok() override { focusNextChild(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillChoiceLists();
    void Connect();
    void Command(int id);
    void ShowParameterText(int index, QLineEdit* edit);
    void ShowParameterChoice(int index, QComboBox* list);
    void ShowAutoStart();
    void CommitEdit(QLineEdit* edit, int index);
    void CommitChoice(QComboBox* list, int index);
    void CommitAutoStart();
    void Enable(bool enable, std::initializer_list<int> ids);
    void ShowStatus();
    void ShowPortInUse(bool open);
    // Shows a window of the View menu, beside this dialog where the screen has room.
    void ShowBeside(QWidget* window);
    QLineEdit* Edit(int id);
    QComboBox* List(int id);

    bool controlsEnabled = false;
    bool enabling = false;  // controls are being enabled or disabled
    QMenuBar* menuBar = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* portLabel = nullptr;  // the port and device in use, at the bar's right
    TrafficWindow* traffic = nullptr;  // View > Console traffic, collecting from the start
    TrendWindow* trend = nullptr;      // View > Trend
};
