#include "serial/SerialEx.h"

#include <chrono>

#include "platform/Threading.h"
#include "serial/PortBackend.h"

CSerialEx::~CSerialEx() { ShutDown(); }

void CSerialEx::ShutDown() {
    if (listenerThread.joinable()) StopListener(kInfinite);
    delete listenerEvent;
    listenerEvent = nullptr;
    CSerial::Close();
}

ErrorCode CSerialEx::Open(const char16_t* name, std::uint32_t inQueue, std::uint32_t outQueue,
                          bool startListener) {
    ErrorCode e = CSerial::Open(name, inQueue, outQueue, true);
    if (e != kErrorSuccess) return e;
    listenerEvent = new ManualResetEvent;
    if (startListener) {
        e = StartListener();
        if (e != kErrorSuccess) return e;
    }
    return lastError;
}

ErrorCode CSerialEx::OpenWithListener(const char16_t* name, std::uint32_t inQueue,
                                      std::uint32_t outQueue) {
    ErrorCode e = CSerial::Open(name, inQueue, outQueue, true);
    if (e != kErrorSuccess) return e;
    listenerEvent = new ManualResetEvent;
    e = StartListener();
    if (e != kErrorSuccess) {
        Close();
        return Fail(e);
    }
    lastError = 0;
    return 0;
}

ErrorCode CSerialEx::StartListener() {
    if (!listenerThread.joinable()) {
        stopRequested = false;
        listenerActive = true;
        try {
            listenerThread = std::thread([this] {
                NameThisThread("zl-listener");
                ListenerLoop();
                listenerActive = false;
            });
        } catch (const std::system_error& error) {
            listenerActive = false;
            return Fail(ErrorFromErrno(error.code().value()));
        }
    }
    lastError = 0;
    return 0;
}

ErrorCode CSerialEx::StopListener(std::uint32_t timeout) {
    if (listenerThread.joinable()) {
        stopRequested = true;
        SetEventMask(QueryEventMask());  // completes a pending event wait
        auto start = std::chrono::steady_clock::now();
        while (listenerActive.load() && timeout != kInfinite &&
               std::chrono::steady_clock::now() - start < std::chrono::milliseconds(timeout)) {
            SleepMs(1);
        }
        if (timeout == kInfinite || !listenerActive.load()) {
            listenerThread.join();
        } else {
            listenerThread.detach();  // the handle is given up, as on Windows
        }
        stopRequested = false;
    }
    lastError = 0;
    return 0;
}

ErrorCode CSerialEx::Close() {
    StopListener(kInfinite);
    delete listenerEvent;
    listenerEvent = nullptr;
    return CSerial::Close();
}

ErrorCode CSerialEx::ListenerLoop() {
    for (;;) {
        listenerEvent->Reset();
        CompletionRecord record{listenerEvent};
        ErrorCode e = WaitForEvent(&record, kInfinite);
        if (e != kErrorSuccess) return lastError;
        listenerEvent->Wait(kInfinite);
        if (stopRequested) return 0;
        std::uint32_t events = eventMask.load() & reportedEvents.exchange(0);
        std::uint32_t errors = 0;
        ErrorCode clear = PortClearErrors(portHandle, &errors);
        if (clear != kErrorSuccess) lastError = clear;
        if (events != 0) HandlePortEvent(events, errors);
        if (stopRequested) return 0;
    }
}
