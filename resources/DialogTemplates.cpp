#include "resources/DialogTemplates.h"

#include <iterator>

namespace {
constexpr unsigned kReadOnlyEdit = StyleReadOnly | StyleBorder | StyleAutoHScroll | StyleDisabled;
constexpr unsigned kValueEdit = StyleNumber | StyleBorder | StyleAutoHScroll | StyleTabStop | StyleDisabled;
constexpr unsigned kList = StyleVScroll | StyleTabStop | StyleDisabled;
constexpr unsigned kButton = StyleTabStop | StyleDisabled;

constexpr ControlTemplate kAboutControls[] = {
    {IdAboutBlank, KindCenteredText, nullptr, StyleNone, 7, 65, 160, 8},
    {IdAboutProduct, KindCenteredText, nullptr, StyleNone, 7, 75, 160, 8},
    {kIdOk, KindPushButton, u"OK", StyleTabStop, 60, 99, 54, 14},
    {IdAboutMaker, KindCenteredText, nullptr, StyleNone, 7, 85, 160, 8},
    {IdAboutName, KindCenteredText, nullptr, StyleNone, 7, 55, 160, 8},
    {kNoId, KindPicture, nullptr, StyleNone, 7, 7, 160, 32},
};
static_assert(std::size(kAboutControls) == 6, "picture, four lines and OK");

constexpr ControlTemplate kLoginControls[] = {
    {kNoId, KindLabel, u"User name:", StyleNone, 7, 8, 50, 8},
    {IdUserName, KindEdit, nullptr, StyleTabStop | StyleBorder | StyleAutoHScroll, 57, 7, 90, 12},
    {kNoId, KindLabel, u"Password:", StyleNone, 7, 28, 50, 8},
    {IdPassword, KindEdit, nullptr, StylePassword | StyleTabStop | StyleBorder | StyleAutoHScroll, 57, 27, 90, 12},
    {kNoId, KindLabel, u"Com port:", StyleNone, 165, 8, 50, 8},
    {IdComPort, KindDropDownCombo, nullptr, StyleVScroll | StyleTabStop, 215, 7, 81, 60},
    {kNoId, KindLabel, u"Baud:", StyleHidden, 165, 28, 50, 8},
    {IdBaud, KindDropDownList, nullptr, StyleHidden | StyleTabStop, 215, 27, 81, 40},
    {kIdOk, KindPushButton, u"OK", StyleTabStop, 165, 53, 50, 14},
    {kIdCancel, KindPushButton, u"Cancel", StyleTabStop, 246, 53, 50, 14},
};
static_assert(std::size(kLoginControls) == 10, "the login template has ten controls");

constexpr ControlTemplate kMainControls[] = {
    {IdInfoLabel, KindLabel, u"Info:", StyleDisabled, 14, 8, 76, 8},
    {IdInfo, KindEdit, nullptr, kReadOnlyEdit, 90, 7, 249, 14},
    {IdTemperatureLabel, KindLabel, u"Temperature [\u00b0C]:", StyleDisabled, 14, 28, 76, 19},
    {IdTemperature, KindEdit, nullptr, kReadOnlyEdit, 90, 27, 76, 14},
    {IdSupplyVoltageLabel, KindLabel, u"Supply voltage [V]:", StyleDisabled, 14, 48, 76, 8},
    {IdSupplyVoltage, KindEdit, nullptr, kReadOnlyEdit, 90, 47, 76, 14},
    {IdErrorLabel, KindLabel, u"Error:", StyleDisabled, 187, 28, 76, 8},
    {IdError, KindEdit, nullptr, kReadOnlyEdit, 263, 27, 76, 14},
    {IdFlashGroup, KindGroupBox, u"Flash", StyleDisabled, 7, 66, 166, 151},
    {IdModeLabel, KindLabel, u"Mode:", StyleDisabled, 14, 78, 76, 8},
    {IdMode, KindDropDownList, nullptr, kList, 90, 77, 76, 166},
    {IdCurrentLabel, KindLabel, u"Current [mA]:", StyleDisabled, 14, 98, 76, 8},
    {IdCurrent, KindEdit, nullptr, kValueEdit, 90, 97, 76, 14},
    {IdDelayLabel, KindLabel, u"Delay [\u00b5s]:", StyleDisabled, 14, 118, 76, 8},
    {IdDelay, KindEdit, nullptr, kValueEdit, 90, 117, 76, 14},
    {IdTimeOnLabel, KindLabel, u"Time on [\u00b5s]:", StyleDisabled, 14, 138, 76, 19},
    {IdTimeOn, KindEdit, nullptr, kValueEdit, 90, 137, 76, 14},
    {IdCycleTimeLabel, KindLabel, u"Cycle time [\u00b5s]:", StyleDisabled, 14, 158, 76, 8},
    {IdCycleTime, KindEdit, nullptr, kValueEdit, 90, 157, 76, 14},
    {IdDutyCycleLabel, KindLabel, u"Duty cycle [%]:", StyleDisabled, 14, 178, 76, 8},
    {IdDutyCycle, KindEdit, nullptr, kReadOnlyEdit, 90, 177, 76, 14},
    {IdStart, KindPushButton, u"Start", kButton, 14, 197, 46, 14},
    {IdStop, KindPushButton, u"Stop", kButton, 67, 197, 46, 14},
    {IdSave, KindPushButton, u"Save", kButton, 120, 197, 46, 14},
    {IdControllerGroup, KindGroupBox, u"Controller", StyleDisabled, 180, 66, 168, 151},
    {IdTriggerSourceLabel, KindLabel, u"Trigger source:", StyleDisabled, 187, 78, 76, 8},
    {IdTriggerSource, KindDropDownList, nullptr, kList, 263, 77, 76, 166},
    {IdEdgeLabel, KindLabel, u"Trigger edge:", StyleDisabled, 187, 98, 76, 8},
    {IdEdge, KindDropDownList, nullptr, kList, 263, 97, 76, 146},
    {IdTriggerOutLabel, KindLabel, u"Trigger out:", StyleDisabled, 187, 118, 76, 8},
    {IdTriggerOut, KindDropDownList, nullptr, kList, 263, 117, 76, 126},
    {IdReadyOutLabel, KindLabel, u"Ready out:", StyleDisabled, 187, 138, 76, 19},
    {IdReadyOut, KindDropDownList, nullptr, kList, 263, 137, 76, 106},
    {IdAutoStart, KindCheckBox, u"Auto start", kButton, 187, 158, 76, 10},
    {IdLogout, KindPushButton, u"Logout", kButton, 203, 229, 60, 14},
    {kIdCancel, KindPushButton, u"Exit", StyleTabStop, 279, 229, 60, 14},
};
static_assert(std::size(kMainControls) == 36, "the main template has 36 controls");

constexpr ControlTemplate kHelpControls[] = {
    {IdHelpText, KindMultiLineEdit, nullptr,
     StyleReadOnly | StyleBorder | StyleVScroll | StyleHScroll | StyleTabStop, 7, 7, 385, 176},
};

constexpr ControlTemplate kPasswordControls[] = {
    {kNoId, KindLabel, u"Password:", StyleNone, 7, 8, 35, 8},
    {IdCurrentPassword, KindEdit, nullptr, StylePassword | StyleTabStop | StyleBorder | StyleAutoHScroll, 100, 7, 115, 14},
    {kNoId, KindLabel, u"New Password:", StyleNone, 7, 28, 52, 8},
    {IdNewPassword, KindEdit, nullptr, StylePassword | StyleTabStop | StyleBorder | StyleAutoHScroll, 100, 27, 115, 14},
    {kNoId, KindLabel, u"Re-enter new Password:", StyleNone, 7, 48, 82, 8},
    {IdNewPasswordAgain, KindEdit, nullptr, StylePassword | StyleTabStop | StyleBorder | StyleAutoHScroll, 100, 47, 115, 14},
    {kIdOk, KindDefaultPushButton, u"OK", StyleTabStop, 100, 73, 50, 14},
    {kIdCancel, KindPushButton, u"Cancel", StyleTabStop, 165, 73, 50, 14},
};
static_assert(std::size(kPasswordControls) == 8, "three labelled edits and two buttons");

constexpr DialogTemplate kDialogs[] = {
    {DialogAbout, nullptr, 174, 120, "Microsoft Sans Serif", 10,
     DialogCentered | DialogSystemModal | DialogTopMost, 0, kAboutControls, std::size(kAboutControls)},
    {DialogLogin, u"Login", 303, 74, "MS Shell Dlg", 8, DialogCaption | DialogCentered | DialogTopMost, 0,
     kLoginControls, std::size(kLoginControls)},
    {DialogMain, u"ZL-Config", 355, 250, "MS Shell Dlg", 8,
     DialogCaption | DialogSystemMenu | DialogMinimizeBox | DialogCentered | DialogAppWindow, kMenuId,
     kMainControls, std::size(kMainControls)},
    {DialogHelp, u"Help for ZL-Config", 399, 190, "MS Shell Dlg", 8,
     DialogCaption | DialogSystemMenu | DialogMinimizeBox, 0, kHelpControls, std::size(kHelpControls)},
    {DialogPassword, u"Change Password", 222, 94, "MS Shell Dlg", 8, DialogCaption | DialogSystemMenu, 0,
     kPasswordControls, std::size(kPasswordControls)},
};
}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& t : kDialogs) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

const MenuItemTemplate kMainMenu[] = {
    {u"File", u"Open", MenuOpen, false},
    {u"File", u"Save", MenuSave, false},
    {u"File", u"Save as...", MenuSaveAs, false},
    {u"File", u"Compare with file...", MenuCompare, false},
    {u"File", nullptr, 0, true},
    {u"File", u"Exit", MenuExit, true},
    {u"Controller", u"Change password", MenuChangePassword, false},
    {u"Controller", u"Restore factory settings", MenuFactorySettings, false},
    {u"Controller", nullptr, 0, true},
    {u"Controller", u"Logout", MenuLogout, false},
    {u"View", u"Console traffic", MenuTraffic, true},
    {u"View", u"Trend", MenuTrend, true},
    {u"Help", u"ZL-Config help", MenuHelp, true},
    {u"Help", u"User guide", MenuUserGuide, true},
    {u"Help", nullptr, 0, true},
    {u"Help", u"About ZL-Config", MenuAbout, true},
};
const std::size_t kMainMenuCount = std::size(kMainMenu);

int MenuMnemonicAt(int id) {
    struct Mnemonic {
        int id;
        int at;
    };
    // The usual letters where there is one: Open, Save, Save As, Exit, About.
    static constexpr Mnemonic kMnemonics[] = {
        {MenuOpen, 0},           {MenuSave, 0},         {MenuSaveAs, 5},   {MenuCompare, 0},
        {MenuExit, 1},           {MenuChangePassword, 7}, {MenuFactorySettings, 0}, {MenuLogout, 0},
        {MenuTraffic, 0},        {MenuTrend, 0},        {MenuHelp, 10},        {MenuUserGuide, 0}, {MenuAbout, 0},
    };
    for (const Mnemonic& m : kMnemonics) {
        if (m.id == id) return m.at;
    }
    return -1;
}

const char* MenuShortcutKeys(int id) {
    struct Shortcut {
        int id;
        const char* keys;
    };
    static constexpr Shortcut kShortcuts[] = {
        {MenuOpen, "Ctrl+O"}, {MenuSave, "Ctrl+S"}, {MenuSaveAs, "Ctrl+Shift+S"}, {MenuExit, "Ctrl+Q"}, {MenuHelp, "F1"},
    };
    for (const Shortcut& s : kShortcuts) {
        if (s.id == id) return s.keys;
    }
    return nullptr;
}
