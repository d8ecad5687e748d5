// Windows serial backend: the comm functions on a port opened for overlapped
// operation. Each direction (read, write, event wait) has its own completion event,
// so they never take each other's completion; every operation finishes here (or is
// cancelled) before it returns, as the classes above expect of every backend. Error
// codes are GetLastError's, which the core already speaks.
#include "serial/PortBackend.h"

#include <windows.h>

#include "platform/DeviceNames.h"
#include "platform/Event.h"
#include "serial/Serial.h"

struct PortDevice {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE readDone = nullptr;
    HANDLE writeDone = nullptr;
    HANDLE eventDone = nullptr;
    HANDLE wake = nullptr;  // auto-reset: a changed mask ends the next or pending wait
    wchar_t name[64] = {};  // "COMn", for the default configuration
    bool blockingReads = false;
};

namespace {
ErrorCode LastError() { return static_cast<ErrorCode>(GetLastError()); }

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HANDLE OpenDevice(const char16_t* name) {
    return CreateFileW(Wide(name), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

// Waits for an overlapped operation started on `event`: its result with the bytes
// moved, or kErrorTimeout once timeoutMs ran out (then it is cancelled, and what it
// moved until then is in `done`).
ErrorCode Complete(PortDevice* device, OVERLAPPED* overlapped, DWORD* done, std::uint32_t timeoutMs) {
    DWORD waited = WaitForSingleObject(overlapped->hEvent, timeoutMs == kInfinite ? INFINITE : timeoutMs);
    if (waited == WAIT_FAILED) {
        ErrorCode e = LastError();
        CancelIo(device->handle);
        GetOverlappedResult(device->handle, overlapped, done, TRUE);
        return e;
    }
    if (waited == WAIT_TIMEOUT) {
        CancelIo(device->handle);
        GetOverlappedResult(device->handle, overlapped, done, TRUE);
        return kErrorTimeout;
    }
    if (!GetOverlappedResult(device->handle, overlapped, done, FALSE)) return LastError();
    return kErrorSuccess;
}

// Starts ReadFile or WriteFile and sees it through.
template <typename Start>
ErrorCode Transfer(PortDevice* device, HANDLE event, DWORD* done, std::uint32_t timeoutMs, Start start) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    ResetEvent(event);
    *done = 0;
    if (start(&overlapped)) return GetOverlappedResult(device->handle, &overlapped, done, FALSE) ? 0 : LastError();
    if (GetLastError() != ERROR_IO_PENDING) return LastError();
    return Complete(device, &overlapped, done, timeoutMs);
}

// A read or write time-out with an error of its own on some systems (wine reports
// 1460 where Windows completes a timed-out read with 0 bytes): what arrived counts.
ErrorCode TimedOut(ErrorCode e, DWORD done) { return e == kErrorTimeout && done > 0 ? kErrorSuccess : e; }

ErrorCode ApplyReadTimeouts(PortDevice* device, bool blocking) {
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(device->handle, &timeouts)) return LastError();
    timeouts.ReadIntervalTimeout = blocking ? 0 : MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(device->handle, &timeouts)) return LastError();
    device->blockingReads = blocking;
    return kErrorSuccess;
}

HANDLE NewEvent(bool manualReset) { return CreateEventW(nullptr, manualReset, FALSE, nullptr); }

void Release(PortDevice* device) {
    for (HANDLE event : {device->readDone, device->writeDone, device->eventDone, device->wake}) {
        if (event) CloseHandle(event);
    }
    if (device->handle != INVALID_HANDLE_VALUE) CloseHandle(device->handle);
    delete device;
}
}  // namespace

ErrorCode PortOpen(const char16_t* name, PortDevice** device) {
    HANDLE handle = OpenDevice(name);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    auto* d = new PortDevice;
    d->handle = handle;
    d->readDone = NewEvent(true);
    d->writeDone = NewEvent(true);
    d->eventDone = NewEvent(true);
    d->wake = NewEvent(false);
    if (!d->readDone || !d->writeDone || !d->eventDone || !d->wake) {
        ErrorCode e = LastError();
        Release(d);
        return e;
    }
    const char16_t* bare = WithoutDevicePrefix(name);
    for (int i = 0; i < 63 && bare[i]; ++i) d->name[i] = static_cast<wchar_t>(bare[i]);
    // A port starts clean and reads return at once, as the classes expect.
    PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    ErrorCode e = ApplyReadTimeouts(d, false);
    if (e != kErrorSuccess) {
        Release(d);
        return e;
    }
    *device = d;
    return kErrorSuccess;
}

ErrorCode PortProbe(const char16_t* name) {
    HANDLE handle = OpenDevice(name);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    CloseHandle(handle);
    return kErrorSuccess;
}

void PortClose(PortDevice* device) {
    if (device) Release(device);
}

ErrorCode PortGetState(PortDevice* device, LineState* state) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(device->handle, &dcb)) return LastError();
    state->baudRate = dcb.BaudRate;
    state->byteSize = dcb.ByteSize;
    state->parity = dcb.Parity;
    state->stopBits = dcb.StopBits;
    state->fBinary = dcb.fBinary;
    state->fParity = dcb.fParity;
    state->fOutxCtsFlow = dcb.fOutxCtsFlow;
    state->fOutxDsrFlow = dcb.fOutxDsrFlow;
    state->fDtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
    state->fRtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
    state->fDsrSensitivity = dcb.fDsrSensitivity;
    state->fTXContinueOnXoff = dcb.fTXContinueOnXoff;
    state->fOutX = dcb.fOutX;
    state->fInX = dcb.fInX;
    state->fErrorChar = dcb.fErrorChar;
    state->fNull = dcb.fNull;
    state->fAbortOnError = dcb.fAbortOnError;
    state->evtChar = dcb.EvtChar;
    return kErrorSuccess;
}

ErrorCode PortSetState(PortDevice* device, const LineState& state) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(device->handle, &dcb)) return LastError();
    dcb.BaudRate = state.baudRate;
    dcb.ByteSize = state.byteSize;
    dcb.Parity = state.parity;
    dcb.StopBits = state.stopBits;
    dcb.fBinary = state.fBinary;
    dcb.fParity = state.fParity;
    dcb.fOutxCtsFlow = state.fOutxCtsFlow;
    dcb.fOutxDsrFlow = state.fOutxDsrFlow;
    dcb.fDtrControl = state.fDtrControl;
    dcb.fRtsControl = state.fRtsControl;
    dcb.fDsrSensitivity = state.fDsrSensitivity;
    dcb.fTXContinueOnXoff = state.fTXContinueOnXoff;
    dcb.fOutX = state.fOutX;
    dcb.fInX = state.fInX;
    dcb.fErrorChar = state.fErrorChar;
    dcb.fNull = state.fNull;
    dcb.fAbortOnError = state.fAbortOnError;
    dcb.EvtChar = state.evtChar;
    if (!SetCommState(device->handle, &dcb)) return LastError();
    return kErrorSuccess;
}

ErrorCode PortGetReadBlocking(PortDevice* device, bool* blocking) {
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(device->handle, &timeouts)) return LastError();
    *blocking = device->blockingReads;
    return kErrorSuccess;
}

ErrorCode PortSetReadBlocking(PortDevice* device, bool blocking) { return ApplyReadTimeouts(device, blocking); }

ErrorCode PortSetQueueSizes(PortDevice* device, std::uint32_t inQueue, std::uint32_t outQueue) {
    return SetupComm(device->handle, inQueue, outQueue) ? kErrorSuccess : LastError();
}

ErrorCode PortApplyDefaultConfig(PortDevice* device) {
    COMMCONFIG config{};
    DWORD size = sizeof config;
    config.dwSize = size;
    if (!GetDefaultCommConfigW(device->name, &config, &size)) return LastError();
    return SetCommConfig(device->handle, &config, size) ? kErrorSuccess : LastError();
}

ErrorCode PortWakeWaiter(PortDevice* device) {
    return SetEvent(device->wake) ? kErrorSuccess : LastError();
}

ErrorCode PortWaitEvent(PortDevice* device, std::uint32_t mask, std::uint32_t* events,
                        std::uint32_t timeoutMs) {
    // A wake raised before this wait began ends it at once, as a changed mask would.
    if (WaitForSingleObject(device->wake, 0) == WAIT_OBJECT_0) {
        *events = 0;
        return kErrorSuccess;
    }
    if (!SetCommMask(device->handle, mask)) return LastError();
    OVERLAPPED overlapped{};
    overlapped.hEvent = device->eventDone;
    ResetEvent(device->eventDone);
    DWORD occurred = 0;
    if (!WaitCommEvent(device->handle, &occurred, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) return LastError();
        HANDLE both[2] = {device->eventDone, device->wake};
        DWORD waited = WaitForMultipleObjects(2, both, FALSE, timeoutMs == kInfinite ? INFINITE : timeoutMs);
        if (waited != WAIT_OBJECT_0) {
            // Woken, timed out or failed: a new mask completes the pending wait (cancelling
            // it does not wake it everywhere), then it is collected.
            ErrorCode e = waited == WAIT_OBJECT_0 + 1 ? kErrorSuccess
                          : waited == WAIT_TIMEOUT    ? kErrorTimeout
                                                      : LastError();
            SetCommMask(device->handle, 0);
            DWORD ignored = 0;
            GetOverlappedResult(device->handle, &overlapped, &ignored, TRUE);
            *events = 0;
            return e;
        }
        DWORD ignored = 0;
        if (!GetOverlappedResult(device->handle, &overlapped, &ignored, FALSE)) return LastError();
    }
    *events = occurred & mask;
    return kErrorSuccess;
}

ErrorCode PortRead(PortDevice* device, void* buffer, std::uint32_t count, std::uint32_t* done,
                   std::uint32_t timeoutMs) {
    DWORD wanted = count;
    if (!device->blockingReads) {
        // Only what has arrived: a "return at once" read on an empty queue may still pend
        // on some systems.
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(device->handle, &errors, &status)) return LastError();
        wanted = status.cbInQue < count ? status.cbInQue : count;
        if (wanted == 0) {
            *done = 0;
            return kErrorSuccess;
        }
    }
    DWORD moved = 0;
    ErrorCode e = Transfer(device, device->readDone, &moved, timeoutMs, [&](OVERLAPPED* overlapped) {
        return ReadFile(device->handle, buffer, wanted, nullptr, overlapped);
    });
    *done = moved;
    return device->blockingReads ? e : TimedOut(e, moved);
}

ErrorCode PortWrite(PortDevice* device, const void* data, std::uint32_t count, std::uint32_t* done,
                    std::uint32_t timeoutMs) {
    DWORD moved = 0;
    ErrorCode e = Transfer(device, device->writeDone, &moved, timeoutMs, [&](OVERLAPPED* overlapped) {
        return WriteFile(device->handle, data, count, nullptr, overlapped);
    });
    *done = moved;
    if (e == kErrorSuccess && moved < count) return kErrorTimeout;
    return e;
}

ErrorCode PortClearErrors(PortDevice* device, std::uint32_t* errors) {
    DWORD flags = 0;
    COMSTAT status{};
    if (!ClearCommError(device->handle, &flags, &status)) return LastError();
    *errors = flags;
    return kErrorSuccess;
}
