#pragma once
// The five dialog templates and the menu IDR_MENU as plain data: per control its id,
// kind, text, style and rectangle in dialog units, in template (= tab) order. The user
// interface builds its dialogs from these; nothing here knows a widget.
#include <cstddef>

enum ControlKind {
    KindLabel,
    KindCenteredText,
    KindEdit,
    KindMultiLineEdit,
    KindPushButton,
    KindDefaultPushButton,
    KindGroupBox,
    KindDropDownList,   // choice list, no typing
    KindDropDownCombo,  // list with an editable text
    KindCheckBox,
    KindPicture,
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleTabStop = 1u << 0,
    StyleDisabled = 1u << 1,
    StyleHidden = 1u << 2,
    StyleReadOnly = 1u << 3,
    StyleNumber = 1u << 4,    // digits 0 to 9 only
    StylePassword = 1u << 5,
    StyleBorder = 1u << 6,
    StyleAutoHScroll = 1u << 7,
    StyleVScroll = 1u << 8,
    StyleHScroll = 1u << 9,
};

enum DialogStyle : unsigned {
    DialogCaption = 1u << 0,
    DialogSystemMenu = 1u << 1,
    DialogMinimizeBox = 1u << 2,
    DialogCentered = 1u << 3,
    DialogTopMost = 1u << 4,
    DialogAppWindow = 1u << 5,  // shown on the task bar
    DialogSystemModal = 1u << 6,
};

constexpr int kNoId = -1;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kMenuId = 101;  // IDR_MENU

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char16_t* text;
    unsigned style;
    int x, y, cx, cy;
};

struct DialogTemplate {
    int id;
    const char16_t* title;  // nullptr: no caption at all
    int cx, cy;
    const char* fontFamily;
    int pointSize;
    unsigned style;
    int menu;  // 0 for none
    const ControlTemplate* controls;
    std::size_t controlCount;
};

enum DialogId : int {
    DialogAbout = 102,
    DialogLogin = 103,
    DialogMain = 104,
    DialogHelp = 105,
    DialogPassword = 106,
};

const DialogTemplate* FindDialogTemplate(int id);

struct MenuItemTemplate {
    const char16_t* menu;  // the top-level menu it belongs to
    const char16_t* text;  // nullptr for a separator
    int id;
    bool enabled;
};

extern const MenuItemTemplate kMainMenu[];
extern const std::size_t kMainMenuCount;

// The letter that reaches a menu item with the keyboard, once the menu is open: its
// position in the item's text, which stays as it is (each front end marks the letter
// its own way). Unique within each menu; -1 for an id without one.
int MenuMnemonicAt(int id);

// The usual keys of the file and help commands, as the menu shows them ("Ctrl+O",
// "Ctrl+Shift+S", "F1"); nullptr for an id without one.
const char* MenuShortcutKeys(int id);

// Main dialog control and menu ids that the code refers to.
enum MainControl : int {
    IdStart = 1001, IdStop = 1002, IdSave = 1003, IdLogout = 1004,
    IdUserName = 1005, IdPassword = 1006, IdComPort = 1007, IdBaud = 1008,
    IdInfo = 1009, IdInfoLabel = 1010, IdTemperature = 1011, IdTemperatureLabel = 1012,
    IdSupplyVoltage = 1013, IdSupplyVoltageLabel = 1014, IdError = 1015, IdErrorLabel = 1016,
    IdFlashGroup = 1017, IdMode = 1018, IdModeLabel = 1019, IdCurrent = 1020, IdCurrentLabel = 1021,
    IdDelay = 1022, IdDelayLabel = 1023, IdTimeOn = 1024, IdTimeOnLabel = 1025,
    IdCycleTime = 1026, IdCycleTimeLabel = 1027, IdDutyCycle = 1028, IdDutyCycleLabel = 1029,
    IdControllerGroup = 1030, IdTriggerSource = 1031, IdTriggerSourceLabel = 1032,
    IdEdge = 1033, IdEdgeLabel = 1034, IdTriggerOut = 1035, IdTriggerOutLabel = 1036,
    IdReadyOut = 1037, IdReadyOutLabel = 1038, IdAutoStart = 1039,
    IdCurrentPassword = 1040, IdNewPassword = 1041, IdNewPasswordAgain = 1042,
    IdHelpText = 1043, IdAboutName = 1044, IdAboutBlank = 1045, IdAboutMaker = 1046,
    IdAboutProduct = 1047,
};

enum MenuCommand : int {
    MenuOpen = 40001, MenuSave = 40002, MenuSaveAs = 40003, MenuExit = 40004,
    MenuChangePassword = 40005, MenuFactorySettings = 40006, MenuLogout = 40010,
    MenuHelp = 40011, MenuAbout = 40012,
    // Beyond the original menu.
    MenuCompare = 40013, MenuTraffic = 40014, MenuUserGuide = 40015, MenuTrend = 40016,
};
