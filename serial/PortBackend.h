#pragma once
// What the serial classes need of the operating system, one backend per platform
// (serial/posix/ on Linux, picked by CMake). Every function returns a Windows error
// code (0 is success) and leaves its out-parameters untouched on failure.
#include <cstdint>

#include "platform/ErrorCodes.h"

struct PortDevice;  // the open device; owned by the backend

// The line state, shaped like the Windows device control block.
struct LineState {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 0;  // 0 disable, 1 enable, 2 handshake
    std::uint8_t fRtsControl = 0;  // 0 disable, 1 enable, 2 handshake
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    bool fAbortOnError = false;
    char evtChar = 0;
};

// Opens a device by name ("\\.\COMn" or a path) for exclusive use, in raw mode.
ErrorCode PortOpen(const char16_t* name, PortDevice** device);
void PortClose(PortDevice* device);
// Whether a device exists and is free, without changing its settings: 0, or the
// error an open would give (kErrorAccessDenied when another program holds it).
ErrorCode PortProbe(const char16_t* name);

ErrorCode PortGetState(PortDevice* device, LineState* state);
ErrorCode PortSetState(PortDevice* device, const LineState& state);

// Read time-outs: blocking reads wait for the whole count, non-blocking ones don't.
ErrorCode PortGetReadBlocking(PortDevice* device, bool* blocking);
ErrorCode PortSetReadBlocking(PortDevice* device, bool blocking);

// Driver queue sizes and the device's default configuration.
ErrorCode PortSetQueueSizes(PortDevice* device, std::uint32_t inQueue, std::uint32_t outQueue);
ErrorCode PortApplyDefaultConfig(PortDevice* device);

// Wakes a pending PortWaitEvent (a changed event mask does this on Windows).
ErrorCode PortWakeWaiter(PortDevice* device);

// Waits up to timeoutMs (kInfinite for no limit) for an event of `mask`; `events`
// gets the bits that occurred, 0 when woken by PortWakeWaiter. A hang-up or device
// error fails; a time-out gives kErrorTimeout.
ErrorCode PortWaitEvent(PortDevice* device, std::uint32_t mask, std::uint32_t* events,
                        std::uint32_t timeoutMs);

// Reads or writes up to `count` bytes. Non-blocking reads return what is there;
// blocking reads and all writes wait up to timeoutMs for the whole count and give
// kErrorTimeout when it runs out (`done` then holds what was transferred).
ErrorCode PortRead(PortDevice* device, void* buffer, std::uint32_t count, std::uint32_t* done,
                   std::uint32_t timeoutMs);
ErrorCode PortWrite(PortDevice* device, const void* data, std::uint32_t count,
                    std::uint32_t* done, std::uint32_t timeoutMs);

// Clears the line-error state; `errors` gets its bits.
ErrorCode PortClearErrors(PortDevice* device, std::uint32_t* errors);
