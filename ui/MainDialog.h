#pragma once
// The main window: the widgets of the main template, a menu, a status bar; what they
// show and what the user's doing means is MainDialogLogic's. It never waits for the
// controller. User interface thread only.
#include "frontend/MainDialogLogic.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"
#include "ui/TemplateDialog.h"
#include "ui/WidgetView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QStatusBar;
class TrafficWindow;
class TrendWindow;

class MainDialog : public TemplateDialog, private MainWindowView {
public:
    explicit MainDialog(QWidget* owner = nullptr);
    ~MainDialog() override;  // remembers where the window was

    void RefreshMainDialog(bool enable) { logic.RefreshMainDialog(enable); }
    void RefreshModeGroup() { logic.RefreshModeGroup(); }
    void RefreshFlashGroup(bool enable) { logic.RefreshFlashGroup(enable); }
    void RefreshParameter(int index) { logic.RefreshParameter(index); }
    void FocusParameter(int index) { logic.FocusParameter(index); }
    bool ControlsEnabled() const { return logic.ControlsEnabled(); }

protected:
    void customEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter moves on, so the edit being typed in loses the focus and commits.
    void Ok() override { focusNextChild(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Connect();
    // MainWindowView
    void EnableMenuItem(int id, bool enable) override;
    void ShowStatus(const char16_t* status, const char16_t* title) override;
    void ShowPortInUse(const char16_t* text) override;
    void ShowWindow(int menuId) override;
    void ShowComparison(const std::string& path) override;
    void EndProgram() override;
    // Shows a window of the View menu, beside this dialog where the screen has room.
    void ShowBeside(QWidget* window);

    WidgetView controls{this};
    WidgetPrompts prompts{this};
    SettingsMemory memory;
    MainDialogLogic logic{controls, *this, prompts, memory};
    QMenuBar* menuBar = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* portLabel = nullptr;  // the port and device in use, at the bar's right
    TrafficWindow* traffic = nullptr;  // View > Console traffic, collecting from the start
    TrendWindow* trend = nullptr;      // View > Trend
};
