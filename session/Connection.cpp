#include "session/Connection.h"

#include "configfile/ConfigFile.h"
#include "console/Commands.h"
#include "platform/SerialPorts.h"
#include "serial/SerialReadln.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

namespace {
constexpr int kReadOrder[] = {
    ParamTemperature, ParamSupplyVoltage, ParamError,  ParamMode,         ParamCurrent,
    ParamDelay,       ParamTimeOn,        ParamCycleTime, ParamTriggerSource, ParamEdge,
    ParamTriggerOut,  ParamReadyOut,      ParamAutoStart, ParamEcho,        ParamBaud,
    ParamStatusCurrent,
};
static_assert(sizeof kReadOrder / sizeof kReadOrder[0] == kReadOutCount, "sixteen parameters are read");

bool SessionEnding() { return ControlBlock.quit || ControlBlock.connectionLost; }

// The line below "Unable to open COM-port" that says why.
void AppendPortProblem(const PortDiagnosis& d) {
    const char* device = d.device.c_str();
    switch (d.problem) {
        case PortProblem::NoName: AppendNotice(162); break;
        case PortProblem::NotAPortName: AppendNoticeFormat(163, device); break;
        case PortProblem::NotAComName: AppendNoticeFormat(191, device); break;
        case PortProblem::NoSuchDevice: AppendNoticeFormat(164, device); break;
        case PortProblem::PermissionDenied:
            AppendNoticeFormat(165, device, d.group.empty() ? "dialout" : d.group.c_str(),
                               d.group.empty() ? "dialout" : d.group.c_str());
            break;
        case PortProblem::InUse: AppendNoticeFormat(166, device); break;
        case PortProblem::NotATerminal: AppendNoticeFormat(167, device); break;
        case PortProblem::Other: AppendNoticeFormat(168, device, static_cast<int>(d.error)); break;
    }
}
}  // namespace

void NoteSilentController() {
    if (SerialPort.BytesReceived() != 0) return;
    char port[kSessionTextSize];
    GetSessionTextNarrow(SlotPortName, port);
    AppendNoticeFormat(169, port);
}

void ScanPorts() {
    ControlBlock.portCount = 0;
    ControlBlock.portList[0] = 0;
    for (unsigned n = 1; n <= 99; ++n) {
        // What the kernel lists is enough; a port that is not ours is opened only where
        // the system cannot tell.
        PortPresence presence = ComPortPresence(n);
        if (presence == PortPresence::Absent) continue;
        if (presence == PortPresence::Unknown) {
            char16_t name[32];
            FormatText(name, 32, u"\\\\.\\COM%u", n);
            ErrorCode e = ProbePort(name);
            // Free or held by another program: the port exists. Anything else: skip it.
            if (e != kErrorSuccess && e != kErrorAccessDenied) continue;
        }
        int count = ControlBlock.portCount;
        if (count < 99) {
            ControlBlock.portList[count] = static_cast<std::int32_t>(n);
            ControlBlock.portCount = ++count;
        }
        ControlBlock.portList[count] = 0;
    }
}

bool LoadParameterFile(MessageSink* window, LoadMessages* messages) {
    // A file refused for any reason sends nothing: not even Stop, which would leave the
    // unit stopped for a typo.
    CheckedFile file;
    const bool passed = CheckConfigPath(fileChooser.path, &file, messages);
    fileChooser.path[0] = 0;  // the next Save asks for a name
    if (!passed) return false;
    ExecuteCommand(CommandStop, 0, window, "", 0);
    ControllerTarget controller(window);
    SendFileValues(file, controller, messages);
    if (!controller.Lost()) ExecuteCommand(CommandVer, 0, window, "", 0);
    return true;
}

bool ConnectPort() {
    char16_t port[kSessionTextSize];
    GetSessionText(SlotPortName, port);
    char16_t device[100] = u"\\\\.\\";
    CopyText(device + 4, 96, port, kSessionTextSize);
    ErrorCode opened = SerialPort.OpenWithListener(device, 0, 0);
    if (opened != kErrorSuccess) {
        AppendNotice(148);
        AppendPortProblem(DiagnosePortFailure(device, opened));
        return false;
    }
    if (SerialPort.SetLineSettings(ControlBlock.baud, 8, 0, 0) != kErrorSuccess) {
        AppendNotice(149);
        return false;
    }
    if (SerialPort.SetFlowControl(FlowNone) != kErrorSuccess) {
        AppendNotice(150);
        return false;
    }
    return true;
}

int ReadOutIndex(int n) { return n >= 0 && n < kReadOutCount ? kReadOrder[n] : -1; }

bool CheckFirmware(MessageSink* window) {
    if (SessionEnding()) return false;
    CommandOutcome ver = RunCommand(CommandVer, 0, window, "", 0);
    if (ControlBlock.firmwareCode == 0 || SessionEnding()) {
        // A unit that never gave a usable version line is not connected either (a lost
        // line or an unknown version say so themselves).
        if (ver != CommandOutcome::Succeeded && !SessionEnding()) AppendNotice(139);
        return false;
    }
    return true;
}

bool ReadAllParameters(MessageSink* window) {
    if (!CheckFirmware(window)) return false;
    for (int index : kReadOrder) {
        ExecuteCommand(CommandParameter, index, window, "", 100);
        if (SessionEnding()) return false;
    }
    return true;
}
