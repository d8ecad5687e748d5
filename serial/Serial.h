#pragma once
// CSerial: one serial port of the operating system. Every operation stores a Windows
// system error code in lastError (0 on success) and returns it; the queries return
// their value and leave the error in lastError. Nothing throws.
//   1    a completion record or finite time-out on a port opened without overlap
//   6    the port is not open
//   1247 Open on an open port
//   1460 a wait ran out of time (the operation was cancelled)
//   0x80070057 a mode argument out of range
// Reads (listener thread) and writes (worker thread) may run at the same time; one
// thread at a time opens, closes and changes settings.
#include <atomic>
#include <cstdint>

#include "platform/ErrorCodes.h"
#include "platform/Event.h"

struct PortDevice;

constexpr std::uint32_t kEventRxChar = 0x0001;  // EV_RXCHAR
constexpr std::uint32_t kEventRxFlag = 0x0002;  // EV_RXFLAG
constexpr std::uint32_t kEventBreak = 0x0040;   // EV_BREAK
constexpr std::uint32_t kEventError = 0x0080;   // EV_ERR
constexpr std::uint32_t kOpenEventMask = 0xC1;

enum FlowMode : int { FlowNone = 0, FlowHardware = 1, FlowSoftware = 2 };
enum ReadMode : int { ReadNonBlocking = 0, ReadBlocking = 1 };

// A completion record: "completed" signals its event.
struct CompletionRecord {
    ManualResetEvent* event = nullptr;
};

// Opens and closes a device at once, as a port scan does: 0 for a free port, else
// the code an open would give.
ErrorCode ProbePort(const char16_t* name);

class CSerial {
public:
    CSerial() = default;
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;
    virtual ~CSerial();

    virtual ErrorCode Open(const char16_t* name, std::uint32_t inQueue, std::uint32_t outQueue,
                           bool overlapped);
    virtual ErrorCode Close();
    virtual ErrorCode SetLineSettings(std::int32_t baud, std::uint8_t dataBits,
                                      std::uint8_t parity, std::uint8_t stopBits);
    virtual ErrorCode SetEventCharacter(std::uint8_t character, bool adjustMask);
    virtual ErrorCode SetEventMask(std::uint32_t mask);
    virtual ErrorCode WaitForEvent(CompletionRecord* record, std::uint32_t timeout);
    virtual ErrorCode SetFlowControl(int mode);
    virtual ErrorCode SetReadMode(int mode);
    virtual std::int32_t QueryBaudRate();
    virtual std::int32_t QueryDataBits();
    virtual std::int32_t QueryParity();
    virtual std::int32_t QueryStopBits();
    virtual std::int32_t QueryFlowControl();
    virtual std::uint32_t QueryEventMask();
    virtual std::uint8_t QueryEventCharacter();
    virtual ErrorCode WriteText(const char* text, std::uint32_t* written,
                                CompletionRecord* record, std::uint32_t timeout);
    virtual ErrorCode Write(const void* data, std::uint32_t count, std::uint32_t* written,
                            CompletionRecord* record, std::uint32_t timeout);
    virtual ErrorCode Read(void* buffer, std::uint32_t count, std::uint32_t* read,
                           CompletionRecord* record, std::uint32_t timeout);

    ErrorCode LastError() const { return lastError.load(); }
    bool IsOpen() const { return portHandle != nullptr; }

protected:
    ErrorCode Fail(ErrorCode code) {
        lastError = code;
        return code;
    }
    // Reads the line state, lets `change` edit it, writes it back.
    template <typename Change>
    ErrorCode ChangeLineState(Change change);
    // The completion handling shared by Read, Write and WaitForEvent: checks that the
    // call may run, runs `operation` with its wait limit, signals the caller's record.
    template <typename Operation>
    ErrorCode Transfer(CompletionRecord* record, std::uint32_t timeout, Operation operation);

    std::atomic<ErrorCode> lastError{0};
    std::atomic<PortDevice*> portHandle{nullptr};  // read by observers on other threads
    std::atomic<std::uint32_t> reportedEvents{0};
    std::atomic<std::uint32_t> eventMask{0};
    ManualResetEvent* ioEvent = nullptr;
};
