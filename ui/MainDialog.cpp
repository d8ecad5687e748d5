#include "ui/MainDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/DeviceNames.h"
#include "platform/MessageSink.h"
#include "platform/SerialPorts.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "state/TextOps.h"
#include "ui/AppMessage.h"
#include "ui/CompareDialog.h"
#include "resources/ParameterDisplay.h"
#include "ui/DialogBuilder.h"
#include "ui/FileChoosers.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"
#include "ui/TrafficWindow.h"
#include "ui/TrendWindow.h"
#include "ui/UserGuide.h"

namespace {

struct ValueEdit {
    int control;
    int parameter;
};
constexpr ValueEdit kValueEdits[] = {
    {IdCurrent, ParamCurrent}, {IdDelay, ParamDelay}, {IdTimeOn, ParamTimeOn}, {IdCycleTime, ParamCycleTime}};

// Which control shows each parameter, for focusing it.
struct ParameterControl {
    int parameter;
    int control;
};
constexpr ParameterControl kParameterControls[] = {
    {ParamMode, IdMode},           {ParamTriggerSource, IdTriggerSource}, {ParamEdge, IdEdge},
    {ParamAutoStart, IdAutoStart}, {ParamCurrent, IdCurrent},             {ParamDelay, IdDelay},
    {ParamTimeOn, IdTimeOn},       {ParamCycleTime, IdCycleTime},         {ParamDutyCycle, IdDutyCycle},
    {ParamReadyOut, IdReadyOut},   {ParamTriggerOut, IdTriggerOut},       {ParamTemperature, IdTemperature},
    {ParamSupplyVoltage, IdSupplyVoltage}, {ParamError, IdError},
};

bool IsPassingFocus(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

int ParameterInteger(int index, bool* ok) {
    char text[kValueSize];
    *ok = GetParameterText(index, text);
    return *ok ? TextToInteger(text) : 0;
}
}  // namespace

MainDialog::MainDialog(QWidget* owner) : TemplateDialog(owner) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar = BuildMainMenu(this);
    layout->setMenuBar(menuBar);
    auto* client = new QWidget(this);
    layout->addWidget(client);
    BuildDialog(*FindDialogTemplate(DialogMain), this, client);
    // Below the template's controls, which keep their places: the window grows by it.
    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    portLabel = new QLabel(statusBar);
    portLabel->setContentsMargins(0, 0, 6, 0);
    statusBar->addPermanentWidget(portLabel);
    layout->addWidget(statusBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    traffic = new TrafficWindow(this);
    trend = new TrendWindow(this);
    FillChoiceLists();
    Connect();
    // What each value means, its unit and the range the controller takes.
    for (const ParameterControl& pc : kParameterControls) {
        QString help = HelpDescription(QString::fromLatin1(kParameterNames[pc.parameter]));
        if (!help.isEmpty()) FindControl<QWidget>(this, pc.control)->setToolTip(help);
    }
    // The controller's Save is not File > Save: say what each button does to the unit.
    const std::pair<int, const char*> buttons[] = {
        {IdStart, "Check the settings, store them in the unit and start the LED driver"},
        {IdStop, "Stop the LED driver"},
        {IdSave, "Check the settings and store them in the unit (File > Save writes a file)"},
    };
    for (const auto& [id, tip] : buttons) FindControl<QWidget>(this, id)->setToolTip(QString::fromLatin1(tip));
}

MainDialog::~MainDialog() { Remembered::SetMainPosition(pos()); }

void MainDialog::ShowStatus() {
    char16_t text[kStatusTextSize];
    GetStatusText(text);
    statusBar->showMessage(QString::fromUtf16(text));
    GetCurrentFile(text);
    const QString title = FromUtf16(FindDialogTemplate(DialogMain)->title);
    setWindowTitle(text[0] ? QString::fromUtf16(text) + QStringLiteral(" - ") + title : title);
}

void MainDialog::ShowPortInUse(bool open) {
    QString port = SessionText(SlotPortName);
    unsigned number = ComNumber(reinterpret_cast<const char16_t*>(port.utf16()));
    QString device = number ? QString::fromStdString(DescribeComPort(number)) : port;
    portLabel->setText(open ? (number ? port + QStringLiteral(": ") + device : device) : QString());
    // The status bar gives a permanent widget only the width it asked for when added.
    portLabel->setMinimumWidth(portLabel->sizeHint().width());
}

void MainDialog::FillChoiceLists() {
    for (const ParameterList& list : kParameterLists) {
        QComboBox* combo = List(list.control);
        for (int i = 0; i < list.items; ++i) combo->addItem(LoadQString(list.firstString + i));
        combo->setCurrentIndex(-1);
    }
}

QLineEdit* MainDialog::Edit(int id) { return FindControl<QLineEdit>(this, id); }
QComboBox* MainDialog::List(int id) { return FindControl<QComboBox>(this, id); }

void MainDialog::Connect() {
    for (int id : {int{IdStart}, int{IdStop}, int{IdSave}, int{IdLogout}, kIdCancel}) {
        connect(FindControl<QPushButton>(this, id), &QPushButton::clicked, this, [this, id] { Command(id); });
    }
    for (const ParameterList& list : kParameterLists) {
        QComboBox* combo = List(list.control);
        int parameter = list.parameter;
        connect(combo, QOverload<int>::of(&QComboBox::activated), this,
                [this, combo, parameter](int) { CommitChoice(combo, parameter); });
    }
    for (const ValueEdit& edit : kValueEdits) Edit(edit.control)->installEventFilter(this);
    connect(FindControl<QCheckBox>(this, IdAutoStart), &QCheckBox::clicked, this, [this] { CommitAutoStart(); });
    for (QAction* action : menuBar->findChildren<QAction*>()) {
        bool ok = false;
        int id = action->property("controlId").toInt(&ok);
        if (ok) connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    }
}

void MainDialog::ShowBeside(QWidget* window) {
    if (!window->isVisible()) {
        // Beside the main dialog, never over it where the screen has room.
        if (QScreen* screen = QGuiApplication::screenAt(frameGeometry().center())) {
            QRect place = PlaceBeside(frameGeometry(), window->size(), screen->availableGeometry(), 8,
                                      window->minimumSizeHint().width());
            window->resize(place.size());
            window->move(place.topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainDialog::Command(int id) {
    ControlBlockStore& cb = ControlBlock;
    switch (id) {
        case kIdCancel:
        case MenuExit: close(); break;
        case IdStart: cb.startRequest = true; break;
        case IdStop: cb.stopRequest = true; break;
        case IdSave: cb.saveRequest = true; break;
        case IdLogout:
        case MenuLogout: cb.logoutRequest = true; break;
        case MenuOpen: OpenConfigFile(this); break;
        case MenuSave: SaveConfigFile(this); break;
        case MenuSaveAs: SaveConfigFileAs(this); break;
        case MenuChangePassword: cb.passwordDialogRequest = true; break;
        case MenuFactorySettings: ConfirmFactoryReset(this); break;
        case MenuCompare: CompareWithFile(this); break;
        case MenuTraffic: ShowBeside(traffic); break;
        case MenuTrend: ShowBeside(trend); break;
        case MenuHelp: cb.helpRequest = true; break;
        case MenuUserGuide: ShowUserGuide(this); break;
        case MenuAbout: cb.aboutRequest = true; break;
        default: break;
    }
}

void MainDialog::Enable(bool enable, std::initializer_list<int> ids) {
    // Disabling the edit being typed in moves the focus on: that is no commit, and the
    // refresh that disables it shows the stored value next.
    QScopedValueRollback<bool> quiet(enabling, true);
    for (int id : ids) {
        if (QWidget* w = FindControl<QWidget>(this, id)) w->setEnabled(enable);
    }
}

void MainDialog::ShowParameterText(int index, QLineEdit* edit) {
    char text[kValueSize];
    GetParameterText(index, text);  // empty when it fails
    edit->setText(QString::fromLatin1(text));
}

void MainDialog::ShowParameterChoice(int index, QComboBox* list) {
    bool ok = false;
    int position = ParameterInteger(index, &ok);
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

void MainDialog::ShowAutoStart() {
    bool ok = false;
    FindControl<QCheckBox>(this, IdAutoStart)->setChecked(ParameterInteger(ParamAutoStart, &ok) != 0);
}

void MainDialog::RefreshMainDialog(bool enable) {
    controlsEnabled = enable;
    Enable(enable, {IdStart, IdStop, IdSave, IdLogout, IdInfo, IdInfoLabel});
    ShowSessionText(SlotInfoLine, this, IdInfo);
    Enable(enable, {IdTemperature, IdTemperatureLabel});
    ShowParameterText(ParamTemperature, Edit(IdTemperature));
    Enable(enable, {IdSupplyVoltage, IdSupplyVoltageLabel});
    ShowParameterText(ParamSupplyVoltage, Edit(IdSupplyVoltage));
    Enable(enable, {IdError, IdErrorLabel});
    ShowParameterText(ParamError, Edit(IdError));
    Enable(enable, {IdFlashGroup, IdMode, IdModeLabel});
    RefreshModeGroup();
    Enable(enable, {IdCurrent, IdCurrentLabel});
    ShowParameterText(ParamCurrent, Edit(IdCurrent));
    Enable(enable, {IdDutyCycle, IdDutyCycleLabel});
    ShowParameterText(ParamDutyCycle, Edit(IdDutyCycle));
    Enable(enable, {IdControllerGroup, IdAutoStart});
    ShowAutoStart();
    for (int id : {MenuOpen, MenuSave, MenuSaveAs, MenuCompare, MenuChangePassword, MenuFactorySettings, MenuLogout}) {
        FindControl<QAction>(menuBar, id)->setEnabled(enable);
    }
}

void MainDialog::RefreshModeGroup() {
    ShowParameterChoice(ParamMode, List(IdMode));
    bool ok = false;
    RefreshFlashGroup(controlsEnabled && ParameterInteger(ParamMode, &ok) == 0);
}

void MainDialog::RefreshFlashGroup(bool enable) {
    Enable(enable, {IdDelay, IdDelayLabel});
    ShowParameterText(ParamDelay, Edit(IdDelay));
    Enable(enable, {IdTimeOn, IdTimeOnLabel});
    ShowParameterText(ParamTimeOn, Edit(IdTimeOn));
    Enable(enable, {IdCycleTime, IdCycleTimeLabel});
    ShowParameterText(ParamCycleTime, Edit(IdCycleTime));
    Enable(enable, {IdTriggerSource, IdTriggerSourceLabel});
    ShowParameterChoice(ParamTriggerSource, List(IdTriggerSource));
    Enable(enable, {IdEdge, IdEdgeLabel});
    ShowParameterChoice(ParamEdge, List(IdEdge));
    Enable(enable, {IdTriggerOut, IdTriggerOutLabel});
    ShowParameterChoice(ParamTriggerOut, List(IdTriggerOut));
    Enable(enable, {IdReadyOut, IdReadyOutLabel});
    ShowParameterChoice(ParamReadyOut, List(IdReadyOut));
}

void MainDialog::RefreshParameter(int index) {
    switch (index) {
        case ParamMode:
            RefreshModeGroup();
            ShowParameterText(ParamDutyCycle, Edit(IdDutyCycle));
            break;
        case ParamTriggerSource: ShowParameterChoice(index, List(IdTriggerSource)); break;
        case ParamEdge: ShowParameterChoice(index, List(IdEdge)); break;
        case ParamAutoStart: ShowAutoStart(); break;
        case ParamCurrent: ShowParameterText(index, Edit(IdCurrent)); break;
        case ParamDelay: ShowParameterText(index, Edit(IdDelay)); break;
        case ParamTimeOn:
        case ParamCycleTime:
            ShowParameterText(index, Edit(index == ParamTimeOn ? IdTimeOn : IdCycleTime));
            ShowParameterText(ParamDutyCycle, Edit(IdDutyCycle));
            break;
        case ParamDutyCycle: ShowParameterText(index, Edit(IdDutyCycle)); break;
        case ParamReadyOut: ShowParameterChoice(index, List(IdReadyOut)); break;
        case ParamTriggerOut: ShowParameterChoice(index, List(IdTriggerOut)); break;
        case ParamTemperature: ShowParameterText(index, Edit(IdTemperature)); break;
        case ParamSupplyVoltage: ShowParameterText(index, Edit(IdSupplyVoltage)); break;
        case ParamError: ShowParameterText(index, Edit(IdError)); break;
        default: break;
    }
}

void MainDialog::FocusParameter(int index) {
    for (const ParameterControl& pc : kParameterControls) {
        if (pc.parameter == index) FindControl<QWidget>(this, pc.control)->setFocus(Qt::OtherFocusReason);
    }
}

void MainDialog::CommitEdit(QLineEdit* edit, int index) {
    if (enabling) return;
    char text[kValueSize];
    CopyText(text, sizeof text, edit->text().toLatin1().constData(), kValueSize - 1);
    if (!SubmitParameterWrite(index, text)) ShowParameterText(index, edit);
}

void MainDialog::CommitChoice(QComboBox* list, int index) {
    char text[kValueSize];
    FormatText(text, sizeof text, "%d", list->currentIndex());
    if (!SubmitParameterWrite(index, text)) ShowParameterChoice(index, list);
}

void MainDialog::CommitAutoStart() {
    QCheckBox* box = FindControl<QCheckBox>(this, IdAutoStart);
    if (!SubmitParameterWrite(ParamAutoStart, box->checkState() != Qt::Unchecked ? "1" : "0")) ShowAutoStart();
}

void MainDialog::customEvent(QEvent* event) {
    if (event->type() != AppMessageEvent::Type()) return;
    auto* message = static_cast<AppMessageEvent*>(event);
    int index = static_cast<int>(message->wParam);
    switch (message->message) {
        case MsgSessionOpen:
            RefreshMainDialog(true);
            ShowPortInUse(true);
            Remembered::SetPort(SessionText(SlotPortName));
            // After a login or a load the keyboard starts at the first setting: left on a
            // button, Enter would press it (Exit asks to close the program).
            FindControl<QWidget>(this, IdMode)->setFocus(Qt::OtherFocusReason);
            break;
        case MsgSessionClosed:
            RefreshMainDialog(false);
            ShowPortInUse(ControlBlock.loggedIn);  // a file being loaded keeps the port
            break;
        case MsgShowStatus: ShowStatus(); break;
        case MsgShowInfoLine: ShowSessionText(SlotInfoLine, this, IdInfo); break;
        case MsgRefreshParameter: RefreshParameter(index); break;
        case MsgShowNotice: ShowNotice(this); break;
        case MsgFocusParameter: FocusParameter(index); break;
        default: break;
    }
}

void MainDialog::closeEvent(QCloseEvent* event) {
    event->ignore();  // only the exit question ends the program
    ConfirmExit(this);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    // A menu or a popup takes the keyboard only for a moment; the edit is still being
    // typed in and commits on a real change of focus.
    if (event->type() == QEvent::FocusOut && !IsPassingFocus(static_cast<QFocusEvent*>(event)->reason())) {
        for (const ValueEdit& edit : kValueEdits) {
            QLineEdit* control = Edit(edit.control);
            if (watched == control) CommitEdit(control, edit.parameter);
        }
    }
    return QDialog::eventFilter(watched, event);
}
