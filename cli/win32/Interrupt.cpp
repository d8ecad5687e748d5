#include "cli/Interrupt.h"

#include <windows.h>

#include "state/ControlBlock.h"

// Windows runs a console control handler on a thread of its own, but it must return
// promptly: it only signals, and the watcher sets quit. A closed console window ends
// the process once the handler returns, so that one waits for the run to wind down.
namespace {
HANDLE interrupted = nullptr;
std::atomic<bool>* finished = nullptr;
// As on Linux: 130 for Ctrl+C or Ctrl+Break, 143 for a closed console, a logoff or a
// shutdown (the request to terminate).
std::atomic<int> exitCode{0};

BOOL WINAPI OnControl(DWORD kind) {
    const bool terminate = kind == CTRL_CLOSE_EVENT || kind == CTRL_LOGOFF_EVENT || kind == CTRL_SHUTDOWN_EVENT;
    int none = 0;
    exitCode.compare_exchange_strong(none, terminate ? 143 : 130);
    SetEvent(interrupted);
    if (terminate) {
        for (int i = 0; i < 100 && !finished->load(); ++i) Sleep(10);
    }
    return TRUE;
}
}  // namespace

int InterruptExitCode() {
    int code = exitCode.load();
    return code != 0 ? code : 130;
}

InterruptWatch::InterruptWatch() {
    interrupted = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    finished = &stopping;
    SetConsoleCtrlHandler(OnControl, TRUE);
    watcher = std::thread([this] {
        for (;;) {
            WaitForSingleObject(interrupted, INFINITE);
            if (stopping) return;
            ControlBlock.quit = true;
        }
    });
}

InterruptWatch::~InterruptWatch() {
    stopping = true;
    SetEvent(interrupted);
    watcher.join();
    SetConsoleCtrlHandler(OnControl, FALSE);
    CloseHandle(interrupted);
}
