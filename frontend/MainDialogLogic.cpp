#include "frontend/MainDialogLogic.h"

#include <initializer_list>

#include "frontend/UserRequests.h"
#include "platform/DeviceNames.h"
#include "platform/MessageSink.h"
#include "platform/SerialPorts.h"
#include "resources/DialogTemplates.h"
#include "resources/ParameterDisplay.h"
#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "state/TextOps.h"

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

int ParameterInteger(int index) {
    char text[kValueSize];
    return GetParameterText(index, text) ? TextToInteger(text) : 0;
}

const ParameterList* ListOf(int control) {
    for (const ParameterList& list : kParameterLists) {
        if (list.control == control) return &list;
    }
    return nullptr;
}

// Disabling the edit being typed in moves the focus on: that is no commit.
class Quiet {
public:
    explicit Quiet(bool& flag) : flag(flag), was(flag) { flag = true; }
    ~Quiet() { flag = was; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    bool& flag;
    bool was;
};
}  // namespace

MainDialogLogic::MainDialogLogic(DialogView& view, MainWindowView& window, Prompts& prompts, Memory& memory)
    : view(view), window(window), prompts(prompts), memory(memory) {}

std::u16string MainDialogLogic::ControlTip(int control) {
    // The controller's Save is not File > Save: say what each button does to the unit.
    switch (control) {
        case IdStart: return u"Check the settings, store them in the unit and start the LED driver";
        case IdStop: return u"Stop the LED driver";
        case IdSave: return u"Check the settings and store them in the unit (File > Save writes a file)";
        default: break;
    }
    for (const ParameterControl& pc : kParameterControls) {
        if (pc.control != control) continue;
        // The help text names each entry on a line of its own, its description on the next.
        char16_t entry[kValueSize];
        WidenText(entry, kValueSize, kParameterNames[pc.parameter]);
        const std::u16string help = StringText(116);
        const std::u16string line = u"\r\n" + std::u16string(entry) + u"\r\n";
        std::size_t at = help.find(line);
        if (at == std::u16string::npos) return {};
        at += line.size();
        return help.substr(at, help.find(u"\r\n", at) - at);
    }
    return {};
}

bool MainDialogLogic::IsValueEdit(int control) {
    for (const ValueEdit& edit : kValueEdits) {
        if (edit.control == control) return true;
    }
    return false;
}

void MainDialogLogic::FillChoiceLists() {
    for (const ParameterList& list : kParameterLists) {
        for (int i = 0; i < list.items; ++i) {
            char16_t text[100];
            LoadString(list.firstString + i, text, 100);
            view.AddListEntry(list.control, text, u"");
        }
        view.SetChoice(list.control, -1);
    }
}

void MainDialogLogic::Enable(bool enable, std::initializer_list<int> ids) {
    Quiet quiet(enabling);
    for (int id : ids) view.EnableControl(id, enable);
}

void MainDialogLogic::ShowParameterText(int index, int control) {
    char text[kValueSize];
    GetParameterText(index, text);  // empty when it fails
    char16_t wide[kValueSize];
    WidenText(wide, kValueSize, text);
    view.SetControlText(control, wide);
}

void MainDialogLogic::ShowParameterChoice(int index, int control) {
    const ParameterList* list = ListOf(control);
    int position = ParameterInteger(index);
    view.SetChoice(control, list && position >= 0 && position < list->items ? position : -1);
}

void MainDialogLogic::ShowAutoStart() { view.SetChecked(IdAutoStart, ParameterInteger(ParamAutoStart) != 0); }

void MainDialogLogic::RefreshMainDialog(bool enable) {
    controlsEnabled = enable;
    Enable(enable, {IdStart, IdStop, IdSave, IdLogout, IdInfo, IdInfoLabel});
    char16_t info[kSessionTextSize];
    GetSessionText(SlotInfoLine, info);
    view.SetControlText(IdInfo, info);
    Enable(enable, {IdTemperature, IdTemperatureLabel});
    ShowParameterText(ParamTemperature, IdTemperature);
    Enable(enable, {IdSupplyVoltage, IdSupplyVoltageLabel});
    ShowParameterText(ParamSupplyVoltage, IdSupplyVoltage);
    Enable(enable, {IdError, IdErrorLabel});
    ShowParameterText(ParamError, IdError);
    Enable(enable, {IdFlashGroup, IdMode, IdModeLabel});
    RefreshModeGroup();
    Enable(enable, {IdCurrent, IdCurrentLabel});
    ShowParameterText(ParamCurrent, IdCurrent);
    Enable(enable, {IdDutyCycle, IdDutyCycleLabel});
    ShowParameterText(ParamDutyCycle, IdDutyCycle);
    Enable(enable, {IdControllerGroup, IdAutoStart});
    ShowAutoStart();
    for (int id : {MenuOpen, MenuSave, MenuSaveAs, MenuCompare, MenuChangePassword, MenuFactorySettings, MenuLogout}) {
        window.EnableMenuItem(id, enable);
    }
}

void MainDialogLogic::RefreshModeGroup() {
    ShowParameterChoice(ParamMode, IdMode);
    RefreshFlashGroup(controlsEnabled && ParameterInteger(ParamMode) == 0);
}

void MainDialogLogic::RefreshFlashGroup(bool enable) {
    Enable(enable, {IdDelay, IdDelayLabel});
    ShowParameterText(ParamDelay, IdDelay);
    Enable(enable, {IdTimeOn, IdTimeOnLabel});
    ShowParameterText(ParamTimeOn, IdTimeOn);
    Enable(enable, {IdCycleTime, IdCycleTimeLabel});
    ShowParameterText(ParamCycleTime, IdCycleTime);
    Enable(enable, {IdTriggerSource, IdTriggerSourceLabel});
    ShowParameterChoice(ParamTriggerSource, IdTriggerSource);
    Enable(enable, {IdEdge, IdEdgeLabel});
    ShowParameterChoice(ParamEdge, IdEdge);
    Enable(enable, {IdTriggerOut, IdTriggerOutLabel});
    ShowParameterChoice(ParamTriggerOut, IdTriggerOut);
    Enable(enable, {IdReadyOut, IdReadyOutLabel});
    ShowParameterChoice(ParamReadyOut, IdReadyOut);
}

void MainDialogLogic::RefreshParameter(int index) {
    switch (index) {
        case ParamMode:
            RefreshModeGroup();
            ShowParameterText(ParamDutyCycle, IdDutyCycle);
            break;
        case ParamTriggerSource: ShowParameterChoice(index, IdTriggerSource); break;
        case ParamEdge: ShowParameterChoice(index, IdEdge); break;
        case ParamAutoStart: ShowAutoStart(); break;
        case ParamCurrent: ShowParameterText(index, IdCurrent); break;
        case ParamDelay: ShowParameterText(index, IdDelay); break;
        case ParamTimeOn:
        case ParamCycleTime:
            ShowParameterText(index, index == ParamTimeOn ? IdTimeOn : IdCycleTime);
            ShowParameterText(ParamDutyCycle, IdDutyCycle);
            break;
        case ParamDutyCycle: ShowParameterText(index, IdDutyCycle); break;
        case ParamReadyOut: ShowParameterChoice(index, IdReadyOut); break;
        case ParamTriggerOut: ShowParameterChoice(index, IdTriggerOut); break;
        case ParamTemperature: ShowParameterText(index, IdTemperature); break;
        case ParamSupplyVoltage: ShowParameterText(index, IdSupplyVoltage); break;
        case ParamError: ShowParameterText(index, IdError); break;
        default: break;
    }
}

void MainDialogLogic::FocusParameter(int index) {
    for (const ParameterControl& pc : kParameterControls) {
        if (pc.parameter == index) view.FocusControl(pc.control);
    }
}

void MainDialogLogic::ShowStatus() {
    char16_t status[kStatusTextSize];
    GetStatusText(status);
    char16_t file[kStatusTextSize];
    GetCurrentFile(file);
    const char16_t* name = FindDialogTemplate(DialogMain)->title;
    char16_t title[kStatusTextSize + 16];
    CopyText(title, sizeof title / sizeof title[0], file, kStatusTextSize);
    if (file[0]) {
        std::size_t length = WideLength(title);
        CopyText(title + length, sizeof title / sizeof title[0] - length, u" - ", 3);
        length = WideLength(title);
        CopyText(title + length, sizeof title / sizeof title[0] - length, name, 15);
    } else {
        CopyText(title, sizeof title / sizeof title[0], name, 15);
    }
    window.ShowStatus(status, title);
}

void MainDialogLogic::ShowPortInUse(bool open) {
    char16_t text[kSessionTextSize + 200] = {};
    if (open) {
        char16_t port[kSessionTextSize];
        GetSessionText(SlotPortName, port);
        const unsigned number = ComNumber(port);
        const std::string device = number ? DescribeComPort(number) : std::string();
        // "COM33: /dev/ttyUSB0 - FTDI ..." for a COM name, the path itself for a path.
        CopyText(text, sizeof text / sizeof text[0], port, kSessionTextSize);
        if (number) {
            std::size_t length = WideLength(text);
            CopyText(text + length, sizeof text / sizeof text[0] - length, u": ", 2);
            length = WideLength(text);
            WidenUtf8(text + length, sizeof text / sizeof text[0] - length, device.c_str());
        }
    }
    window.ShowPortInUse(text);
}

void MainDialogLogic::HandleMessage(unsigned message, std::uintptr_t wParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
        case MsgSessionOpen: {
            RefreshMainDialog(true);
            ShowPortInUse(true);
            char16_t port[kSessionTextSize];
            GetSessionText(SlotPortName, port);
            memory.Remember(RememberedItem::Port, port);
            // After a login or a load the keyboard starts at the first setting: left on
            // a button, Enter would press it (Exit asks to close the program).
            view.FocusControl(IdMode);
            break;
        }
        case MsgSessionClosed:
            RefreshMainDialog(false);
            ShowPortInUse(ControlBlock.loggedIn);  // a file being loaded keeps the port
            break;
        case MsgShowStatus: ShowStatus(); break;
        case MsgShowInfoLine: {
            char16_t info[kSessionTextSize];
            GetSessionText(SlotInfoLine, info);
            view.SetControlText(IdInfo, info);
            break;
        }
        case MsgRefreshParameter: RefreshParameter(index); break;
        case MsgShowNotice: ShowPendingNotice(prompts); break;
        case MsgFocusParameter: FocusParameter(index); break;
        default: break;
    }
}

void MainDialogLogic::Command(int id) {
    ControlBlockStore& cb = ControlBlock;
    switch (id) {
        case kIdCancel:
        case MenuExit:
            if (ConfirmExit(prompts)) window.EndProgram();
            break;
        case IdStart: cb.startRequest = true; break;
        case IdStop: cb.stopRequest = true; break;
        case IdSave: cb.saveRequest = true; break;
        case IdLogout:
        case MenuLogout: cb.logoutRequest = true; break;
        case MenuOpen: RequestFileCommand(prompts, false, false); break;
        case MenuSave: RequestFileCommand(prompts, true, true); break;
        case MenuSaveAs: RequestFileCommand(prompts, true, false); break;
        case MenuChangePassword: cb.passwordDialogRequest = true; break;
        case MenuFactorySettings: ConfirmFactoryReset(prompts); break;
        case MenuCompare: {
            // It opens nothing: its chooser says what it is for.
            std::string path;
            if (prompts.ChooseFile(false, u"Compare with file", &path)) window.ShowComparison(path);
            break;
        }
        case MenuTraffic:
        case MenuTrend:
        case MenuUserGuide: window.ShowWindow(id); break;
        case MenuHelp: cb.helpRequest = true; break;
        case MenuAbout: cb.aboutRequest = true; break;
        default: break;
    }
}

void MainDialogLogic::EditLeft(int control, bool movedOn) {
    if (enabling || !movedOn) return;
    for (const ValueEdit& edit : kValueEdits) {
        if (edit.control != control) continue;
        char16_t wide[kValueSize];
        view.GetControlText(control, wide, kValueSize);
        char text[kValueSize];
        NarrowText(text, sizeof text, wide);
        if (!SubmitParameterWrite(edit.parameter, text)) ShowParameterText(edit.parameter, control);
    }
}

void MainDialogLogic::ChoiceMade(int control) {
    const ParameterList* list = ListOf(control);
    if (!list) return;
    char text[kValueSize];
    FormatText(text, sizeof text, "%d", view.GetChoice(control));
    if (!SubmitParameterWrite(list->parameter, text)) ShowParameterChoice(list->parameter, control);
}

void MainDialogLogic::AutoStartClicked() {
    if (!SubmitParameterWrite(ParamAutoStart, view.GetChecked(IdAutoStart) ? "1" : "0")) ShowAutoStart();
}
