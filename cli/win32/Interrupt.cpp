#include "cli/Interrupt.h"

#include <windows.h>

#include "state/ControlBlock.h"

// Windows runs a console control handler on a thread of its own, but it must return
// promptly: it only signals, and the watcher sets quit. A closed console window ends
// the process once the handler returns, so that one waits for the run to wind down.
namespace {
HANDLE interrupted = nullptr;
std::atomic<bool>* finished = nullptr;

BOOL WINAPI OnControl(DWORD kind) {
    SetEvent(interrupted);
    if (kind == CTRL_CLOSE_EVENT || kind == CTRL_LOGOFF_EVENT || kind == CTRL_SHUTDOWN_EVENT) {
        for (int i = 0; i < 100 && !finished->load(); ++i) Sleep(10);
    }
    return TRUE;
}
}  // namespace

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
