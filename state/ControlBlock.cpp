#include "state/ControlBlock.h"

#include <cstring>

#include "platform/Event.h"
#include "platform/Threading.h"
#include "state/ParameterTable.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

ControlBlockStore ControlBlock;
FileChooserRecord fileChooser;

namespace {
ManualResetEvent workerBell;
}

void RingWorker() { workerBell.Set(); }

bool WaitForWorkerBell(unsigned timeoutMs) {
    const bool rang = workerBell.Wait(timeoutMs);
    // Whoever rings after this finds the flags read afresh by the caller.
    workerBell.Reset();
    return rang;
}

bool AcquireBusy() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(ControlBlock.mutex);
            if (ControlBlock.quit.load()) return false;
            if (!ControlBlock.busy) {
                ControlBlock.busy = true;
                return true;
            }
        }
        // The worker may be waiting for a notice box; keep the interface alive.
        PumpEvents();
        SleepMs(10);
    }
}

bool TryAcquireBusy() {
    std::unique_lock<std::mutex> lock(ControlBlock.mutex, std::defer_lock);
    for (int tries = 0; !lock.try_lock(); ++tries) {
        if (tries == 10) return false;
        SleepMs(1);
    }
    if (ControlBlock.busy || ControlBlock.quit.load()) return false;
    ControlBlock.busy = true;
    return true;
}

void ReleaseBusy() {
    std::lock_guard<std::mutex> lock(ControlBlock.mutex);
    ControlBlock.busy = false;
}

bool IsBusy() {
    std::lock_guard<std::mutex> lock(ControlBlock.mutex);
    return ControlBlock.busy;
}

namespace {
bool KeepForSession(bool acquired) {
    if (acquired && !ControlBlock.loggedIn.load()) {
        ReleaseBusy();
        return false;
    }
    return acquired;
}
}  // namespace

bool AcquireBusyForSession() { return KeepForSession(AcquireBusy()); }

bool TryAcquireBusyForSession() { return KeepForSession(TryAcquireBusy()); }

bool TakeHandOvers() {
    bool held = false;
    for (RequestFlag* flag : {&ControlBlock.writeRequest, &ControlBlock.passwordChangeRequest,
                                    &ControlBlock.saveFileRequest, &ControlBlock.openFileRequest}) {
        held = flag->exchange(false) || held;
    }
    return held;
}

unsigned SubmitLogin(const char16_t* user, const char16_t* password, const char16_t* port,
                     std::int32_t baud) {
    if (unsigned refused = CheckUserName(user)) return refused;
    if (ControlBlock.loginRequest.load()) return 0;
    if (!AcquireBusy()) return 0;
    SetSessionText(SlotUserName, user);
    SetSessionText(SlotPassword, password);
    SetSessionText(SlotPortName, port);
    ControlBlock.baud = baud;
    ControlBlock.loginRequest.store(true);
    return 0;
}

unsigned SubmitPasswordChange(const char16_t* current, const char16_t* newPassword,
                              const char16_t* again) {
    if (unsigned refused = CheckNewPassword(newPassword)) return refused;
    if (ControlBlock.passwordChangeRequest.load()) return 0;
    if (!AcquireBusyForSession()) return 0;
    SetSessionText(SlotCurrentPassword, current);
    SetSessionText(SlotNewPassword, newPassword);
    SetSessionText(SlotNewPasswordAgain, again);
    ControlBlock.passwordChangeRequest.store(true);
    return 0;
}

bool SubmitParameterWrite(int index, const char* text) {
    if (index < 0 || index >= kParameterCount) return false;
    char current[kValueSize];
    GetParameterText(index, current);
    if (std::strcmp(current, text) == 0) return false;
    if (!TryAcquireBusyForSession()) return false;
    CopyText(ControlBlock.pendingWriteText, sizeof ControlBlock.pendingWriteText, text,
             sizeof ControlBlock.pendingWriteText - 1);
    ControlBlock.pendingWriteIndex = index;
    ControlBlock.writeRequest.store(true);
    return true;
}

void FillFileChooser() {
    std::memset(&fileChooser, 0, sizeof fileChooser);
    fileChooser.filterNames[0] = "ZL-Config XML";
    fileChooser.filterPatterns[0] = "*.xml";
    fileChooser.filterNames[1] = "All";
    fileChooser.filterPatterns[1] = "*.*";
    fileChooser.filterIndex = 1;
}
