#pragma once
// The flags by which dialogs hand requests to the worker, the worker's session flags
// and a few shared values. Only `busy` is guarded by the mutex; every other flag has
// one setter per direction and is atomic, so polling on two threads is race-free.
// Values a request carries are written before its flag is raised. Raising a flag rings
// the worker's bell, so that an idle worker can sleep until there is something to do.
#include <atomic>
#include <cstdint>
#include <mutex>

// Wakes the worker from WaitForWorkerBell; any thread may ring.
void RingWorker();
// Worker side: sleeps until the bell rings or timeoutMs ran out, and silences it;
// true when it rang. The bell remembers a ring until then, so a flag raised after the
// worker looked at it always ends the next wait at once.
bool WaitForWorkerBell(unsigned timeoutMs);

// An atomic flag that rings the bell when raised.
class RequestFlag {
public:
    bool load() const { return value_.load(); }
    operator bool() const { return value_.load(); }
    void store(bool raised) {
        value_.store(raised);
        if (raised) RingWorker();
    }
    RequestFlag& operator=(bool raised) {
        store(raised);
        return *this;
    }
    bool exchange(bool raised) {
        const bool was = value_.exchange(raised);
        if (raised) RingWorker();
        return was;
    }

private:
    std::atomic<bool> value_{false};
};

struct ControlBlockStore {
    // A plain mutex tried in 1 ms steps for TryAcquireBusy's 10 ms: ThreadSanitizer
    // does not understand the timed lock of std::timed_mutex.
    std::mutex mutex;
    bool busy = false;  // under `mutex` only

    RequestFlag quit;
    RequestFlag loggedIn;
    RequestFlag connectionLost;
    RequestFlag aboutRequest;
    RequestFlag aboutClosed;
    RequestFlag helpRequest;
    RequestFlag helpClosed;
    RequestFlag loginRequest;
    RequestFlag logoutRequest;
    RequestFlag factoryResetRequest;
    RequestFlag passwordDialogRequest;
    RequestFlag passwordDialogClosed;
    RequestFlag passwordChangeRequest;
    RequestFlag saveFileRequest;
    RequestFlag stopRequest;
    RequestFlag startRequest;
    RequestFlag saveRequest;
    RequestFlag openFileRequest;
    RequestFlag writeRequest;

    std::int32_t pendingWriteIndex = 0;
    char pendingWriteText[100] = {};
    std::atomic<std::int32_t> firmwareCode{0};
    std::int32_t baud = 0;
    std::int32_t portList[100] = {};
    std::atomic<std::int32_t> portCount{0};
};

extern ControlBlockStore ControlBlock;

// Blocks (pumping events between 10 ms sleeps) until `busy` could be set; false
// once `quit` is set.
bool AcquireBusy();
// One attempt that never waits more than 10 ms for the mutex.
bool TryAcquireBusy();
void ReleaseBusy();
// True while a request holds `busy`.
bool IsBusy();

// The same for hand-overs that the worker serves only in a session (parameter write,
// password change, file save and load): false, with `busy` free again, when no session
// is open once `busy` is had. One taken after the session ended would never be served.
bool AcquireBusyForSession();
bool TryAcquireBusyForSession();

// Worker side: clears the hand-overs that carry data and hold `busy`; true when one
// was set (the caller then gives `busy` back).
bool TakeHandOvers();

// Hand-offs of the login, password-change and main dialogs. The first two say 0, or
// the string of a notice when they refuse what was typed (nothing is handed over).
unsigned SubmitLogin(const char16_t* user, const char16_t* password, const char16_t* port,
                     std::int32_t baud);
unsigned SubmitPasswordChange(const char16_t* current, const char16_t* newPassword,
                              const char16_t* again);
bool SubmitParameterWrite(int index, const char* text);

// The shared open/save-file record of the File menu.
constexpr int kFilePathSize = 1000;
struct FileChooserRecord {
    char path[kFilePathSize];
    const char* filterNames[2];
    const char* filterPatterns[2];
    int filterIndex;  // 1-based, as the choosers preselect it
};
extern FileChooserRecord fileChooser;

// Zeroes the record, empties the path and sets the two filters with index 1.
void FillFileChooser();
