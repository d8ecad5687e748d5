// zl-config.exe's login and read-out as a user meets them: the whole program in this
// process (the hidden window, the worker, the real dialogs), as the front end's tests
// run it, logs in to a fresh simulated controller through the login dialog, several
// runs at 19200 and at 2400 baud. Each run is timed from OK in the login dialog until
// the main dialog shows the read-out (its status bar says "Logged in"), and until the
// controller has received the program's closing Save. Prints, one figure a line as
// "name value", the medians beside the protocol's floor for the same exchanges and
// their ratio. Run it under tests/support/wine/with-simulators on a display.
// Usage: bench_login_readout [RUNS]   (default 5 a baud rate)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ProtocolFloor.h"
#include "platform/Threading.h"
#include "resources/DialogTemplates.h"
#include "session/SessionController.h"
#include "state/ControlBlock.h"
#include "support/Simulator.h"
#include "win32/CommonControls.h"
#include "win32/HiddenWindow.h"

namespace {
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;
constexpr int kBoundMs = 60000;  // for any one step: a read-out at 2400 baud takes 9 s

// A notice box runs a message loop of its own, out of the waits' reach; it dispatches
// this thread's timers too, so one of these ends a run that hangs there.
void CALLBACK TooLong(HWND, UINT, UINT_PTR, DWORD) {
    std::fprintf(stderr, "bench_login_readout: a step took over %d s (a notice shown?)\n", kBoundMs / 1000);
    std::fflush(stderr);
    ExitProcess(1);
}

// Keeps the windows answering until `done`; false after the bound.
bool PumpUntil(const std::function<bool()>& done) {
    const UINT_PTR timer = SetTimer(nullptr, 0, kBoundMs + 5000, TooLong);
    const auto end = Clock::now() + std::chrono::milliseconds(kBoundMs);
    bool reached = false;
    while (!reached && Clock::now() < end) {
        PumpMessages();
        reached = done();
        if (!reached) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    KillTimer(nullptr, timer);
    return reached;
}

HWND Shown(const HiddenWindow& window, DialogSlot slot) {
    HWND dialog = window.Dialog(slot);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// What the main dialog's status bar shows.
std::wstring Status(const HiddenWindow& window) {
    HWND bar = FindWindowExW(window.Dialog(DialogSlot::Main), nullptr, L"msctls_statusbar32", nullptr);
    wchar_t text[400] = {};
    if (bar && LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0)) < 400) {
        SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    }
    return text;
}

// When the controller had received the whole of `line`, or the clock's start.
Clock::time_point ReceivedAt(const Simulator& sim, const std::string& line) {
    const std::vector<TranscriptByte> transcript = sim.Transcript();
    std::string bytes;
    for (const TranscriptByte& b : transcript) bytes += static_cast<char>(b.byte);
    const std::size_t at = bytes.find(line);
    return at == std::string::npos ? Clock::time_point{} : transcript[at + line.size() - 1].time;
}

struct Run {
    double readoutMs;
    double saveMs;
    double floorMs;
};

// One login from the login dialog to a fresh controller paced at `baud`, then a logout
// back to the login dialog; false where a step did not come.
bool TimeLogin(const HiddenWindow& window, unsigned baud, Run* run) {
    Simulator sim(baud);
    if (!PumpUntil([&] { return Shown(window, DialogSlot::Login) && !IsBusy(); })) return false;
    HWND login = window.Dialog(DialogSlot::Login);
    SetWindowTextW(GetDlgItem(login, IdComPort), reinterpret_cast<const wchar_t*>(sim.PortName().c_str()));
    const auto pressed = Clock::now();
    Press(login, IDOK);
    if (!PumpUntil([&] { return Status(window) == L"Logged in"; })) return false;
    const auto shown = Clock::now();
    if (!PumpUntil([&] { return sim.Received().find("Save\n") != std::string::npos && !IsBusy(); })) return false;
    const auto saved = ReceivedAt(sim, "Save\n");
    *run = {Ms(shown - pressed).count(), Ms(saved - pressed).count(),
            ReadOutFloorMs(baud, ReadOutExchanges([&](const char* directory, const char* name) {
                               return sim.Value(directory, name);
                           }))};
    Press(window.Dialog(DialogSlot::Main), IdLogout);
    return PumpUntil([&] { return Shown(window, DialogSlot::Login) && !IsBusy(); });
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}
}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HiddenWindow window;
    if (!window.Create()) return 1;
    SessionController worker;
    SetEventPump(PumpMessages);
    if (!worker.Start(&window)) return 1;

    // The splash, closed as a user would, then the runs.
    bool done = PumpUntil([&] { return Shown(window, DialogSlot::About) != nullptr; });
    if (done) Press(window.Dialog(DialogSlot::About), IDOK);
    for (unsigned baud : {19200u, 2400u}) {
        std::vector<double> readouts, saves;
        Run run{};
        for (int i = 0; done && i < runs; ++i) {
            done = TimeLogin(window, baud, &run);
            readouts.push_back(run.readoutMs);
            saves.push_back(run.saveMs);
        }
        if (!done) break;
        const std::string suffix = baud == 19200 ? "" : "_" + std::to_string(baud);
        std::printf("win32_readout_ms%s %.0f\n", suffix.c_str(), Median(readouts));
        std::printf("win32_readout_floor_ms%s %.0f\n", suffix.c_str(), run.floorMs);
        std::printf("win32_readout_ratio%s %.3f\n", suffix.c_str(), Median(readouts) / run.floorMs);
        std::printf("win32_readout_until_save_ms%s %.0f\n", suffix.c_str(), Median(saves));
        std::fflush(stdout);
    }
    if (!done) std::fprintf(stderr, "bench_login_readout: a login did not come to its end\n");

    ControlBlock.quit = true;
    worker.Join();
    SetEventPump(nullptr);
    return done ? 0 : 1;
}
