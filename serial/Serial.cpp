#include "serial/Serial.h"

#include <cstring>

#include "serial/PortBackend.h"

ErrorCode ProbePort(const char16_t* name) { return PortProbe(name); }

CSerial::~CSerial() {
    if (portHandle) {
        delete ioEvent;
        ioEvent = nullptr;
        PortClose(portHandle);
        portHandle = nullptr;
    }
}

ErrorCode CSerial::Open(const char16_t* name, std::uint32_t inQueue, std::uint32_t outQueue,
                        bool overlapped) {
    lastError = 0;
    if (portHandle) return Fail(kErrorAlreadyInitialized);
    PortDevice* device = nullptr;
    ErrorCode e = PortOpen(name, &device);
    if (e != kErrorSuccess) return Fail(e);
    portHandle = device;
    if (overlapped) ioEvent = new ManualResetEvent;
    if (inQueue != 0 || outQueue != 0) {
        e = PortSetQueueSizes(portHandle, inQueue, outQueue);
        if (e != kErrorSuccess) {
            Close();
            return Fail(e);
        }
    }
    SetEventMask(kOpenEventMask);
    SetReadMode(ReadNonBlocking);
    PortApplyDefaultConfig(portHandle);  // result not checked, as on Windows
    return lastError;
}

ErrorCode CSerial::Close() {
    lastError = 0;
    if (!portHandle) return 0;
    delete ioEvent;
    ioEvent = nullptr;
    PortClose(portHandle);
    portHandle = nullptr;
    return lastError;
}

template <typename Change>
ErrorCode CSerial::ChangeLineState(Change change) {
    lastError = 0;
    if (!portHandle) return Fail(kErrorInvalidHandle);
    LineState state;
    ErrorCode e = PortGetState(portHandle, &state);
    if (e != kErrorSuccess) return Fail(e);
    e = change(state);
    if (e != kErrorSuccess) return Fail(e);
    e = PortSetState(portHandle, state);
    if (e != kErrorSuccess) return Fail(e);
    return lastError;
}

ErrorCode CSerial::SetLineSettings(std::int32_t baud, std::uint8_t dataBits,
                                   std::uint8_t parity, std::uint8_t stopBits) {
    return ChangeLineState([&](LineState& s) {
        s.baudRate = static_cast<std::uint32_t>(baud);
        s.byteSize = dataBits;
        s.parity = parity;
        s.stopBits = stopBits;
        s.fParity = parity != 0;
        return kErrorSuccess;
    });
}

ErrorCode CSerial::SetEventCharacter(std::uint8_t character, bool adjustMask) {
    ErrorCode maskError = kErrorSuccess;
    ErrorCode e = ChangeLineState([&](LineState& s) {
        s.evtChar = static_cast<char>(character);
        if (adjustMask) maskError = SetEventMask(QueryEventMask() | kEventRxFlag);
        return kErrorSuccess;
    });
    if (e == kErrorSuccess && maskError != kErrorSuccess) return Fail(maskError);
    return e;
}

ErrorCode CSerial::SetEventMask(std::uint32_t mask) {
    lastError = 0;
    if (!portHandle) return Fail(kErrorInvalidHandle);
    // A new mask completes a pending event wait, as SetCommMask does.
    ErrorCode e = PortWakeWaiter(portHandle);
    if (e != kErrorSuccess) return Fail(e);
    eventMask = mask;
    return 0;
}

template <typename Operation>
ErrorCode CSerial::Transfer(CompletionRecord* record, std::uint32_t timeout, Operation operation) {
    if (!portHandle) return Fail(kErrorInvalidHandle);
    if (!ioEvent && (record != nullptr || timeout != kInfinite)) return Fail(kErrorInvalidFunction);
    // With the caller's record the operation finishes here and signals its event: POSIX
    // has no overlapped completion to hand back. With the local record the time-out
    // bounds the wait.
    std::uint32_t limit = (ioEvent && record == nullptr) ? timeout : kInfinite;
    ErrorCode e = operation(limit);
    if (e != kErrorSuccess) return Fail(e);
    if (record && record->event) record->event->Set();
    return 0;
}

ErrorCode CSerial::WaitForEvent(CompletionRecord* record, std::uint32_t timeout) {
    lastError = 0;
    return Transfer(record, timeout, [&](std::uint32_t limit) {
        std::uint32_t events = 0;
        ErrorCode e = PortWaitEvent(portHandle, eventMask.load(), &events, limit);
        if (e == kErrorSuccess) reportedEvents = events;
        return e;
    });
}

namespace {
// The flow-control bits each mode sets; all other bits stay as read.
struct FlowBits {
    bool ctsOut, dsrOut;
    std::uint8_t dtr, rts;
    bool xonOut, xonIn;
};
constexpr FlowBits kFlowModes[] = {
    {false, false, 0, 0, false, false},  // FlowNone
    {true, true, 2, 2, false, false},    // FlowHardware: handshake on DTR and RTS
    {false, false, 0, 0, true, true},    // FlowSoftware: XON/XOFF both ways
};
}  // namespace

ErrorCode CSerial::SetFlowControl(int mode) {
    return ChangeLineState([&](LineState& s) {
        // The line state was read first, so a closed port reports that before the mode.
        if (mode < FlowNone || mode > FlowSoftware) return kStatusInvalidArg;
        const FlowBits& bits = kFlowModes[mode];
        s.fOutxCtsFlow = bits.ctsOut;
        s.fOutxDsrFlow = bits.dsrOut;
        s.fDtrControl = bits.dtr;
        s.fRtsControl = bits.rts;
        s.fOutX = bits.xonOut;
        s.fInX = bits.xonIn;
        return kErrorSuccess;
    });
}

ErrorCode CSerial::SetReadMode(int mode) {
    lastError = 0;
    if (!portHandle) return Fail(kErrorInvalidHandle);
    bool blocking = false;
    ErrorCode e = PortGetReadBlocking(portHandle, &blocking);
    if (e != kErrorSuccess) return Fail(e);
    if (mode != ReadNonBlocking && mode != ReadBlocking) return Fail(kStatusInvalidArg);
    e = PortSetReadBlocking(portHandle, mode == ReadBlocking);
    if (e != kErrorSuccess) return Fail(e);
    return 0;
}

namespace {
template <typename Field>
std::int32_t QueryState(PortDevice* device, std::atomic<ErrorCode>& lastError,
                        std::int32_t failure, Field field) {
    lastError = 0;
    if (!device) {
        lastError = kErrorInvalidHandle;
        return failure;
    }
    LineState s;
    ErrorCode e = PortGetState(device, &s);
    if (e != kErrorSuccess) {
        lastError = e;
        return failure;
    }
    return field(s);
}
}  // namespace

std::int32_t CSerial::QueryBaudRate() {
    return QueryState(portHandle, lastError, -1,
                      [](const LineState& s) { return static_cast<std::int32_t>(s.baudRate); });
}

std::int32_t CSerial::QueryDataBits() {
    return QueryState(portHandle, lastError, -1,
                      [](const LineState& s) { return std::int32_t{s.byteSize}; });
}

std::int32_t CSerial::QueryParity() {
    return QueryState(portHandle, lastError, -1, [](const LineState& s) {
        return s.fParity ? std::int32_t{s.parity} : 0;
    });
}

std::int32_t CSerial::QueryStopBits() {
    return QueryState(portHandle, lastError, -1,
                      [](const LineState& s) { return std::int32_t{s.stopBits}; });
}

std::int32_t CSerial::QueryFlowControl() {
    return QueryState(portHandle, lastError, -1, [](const LineState& s) {
        if (s.fDtrControl == 2 && s.fRtsControl == 2) return FlowHardware;
        if (s.fOutX && s.fInX) return FlowSoftware;
        return FlowNone;
    });
}

std::uint32_t CSerial::QueryEventMask() {
    lastError = 0;
    if (!portHandle) {
        lastError = kErrorInvalidHandle;
        return 0;
    }
    return eventMask;
}

std::uint8_t CSerial::QueryEventCharacter() {
    return static_cast<std::uint8_t>(QueryState(portHandle, lastError, 0, [](const LineState& s) {
        return std::int32_t{static_cast<unsigned char>(s.evtChar)};
    }));
}

ErrorCode CSerial::WriteText(const char* text, std::uint32_t* written, CompletionRecord* record,
                             std::uint32_t timeout) {
    return Write(text, static_cast<std::uint32_t>(std::strlen(text)), written, record, timeout);
}

ErrorCode CSerial::Write(const void* data, std::uint32_t count, std::uint32_t* written,
                         CompletionRecord* record, std::uint32_t timeout) {
    lastError = 0;
    std::uint32_t local = 0;
    if (!written) written = &local;
    *written = 0;
    return Transfer(record, timeout, [&](std::uint32_t limit) {
        return PortWrite(portHandle, data, count, written, limit);
    });
}

ErrorCode CSerial::Read(void* buffer, std::uint32_t count, std::uint32_t* read,
                        CompletionRecord* record, std::uint32_t timeout) {
    lastError = 0;
    std::uint32_t local = 0;
    if (!read) read = &local;
    *read = 0;
    return Transfer(record, timeout, [&](std::uint32_t limit) {
        return PortRead(portHandle, buffer, count, read, limit);
    });
}
