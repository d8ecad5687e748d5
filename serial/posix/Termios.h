#pragma once
// Pure conversions between the line state and a struct termios, testable without a
// device. On failure the termios is left unchanged.
#include <termios.h>

#include "serial/PortBackend.h"

// Settings kept by the device because termios has no place for them.
struct LinePolicy {
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 0;
    std::uint8_t fRtsControl = 0;  // the non-handshake setting of RTS
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fErrorChar = false;
    bool fNull = false;
    bool fAbortOnError = false;
    char evtChar = 0;
};

// Raw mode: no echo, no canonical input, no CR/LF translation, 8 bits, receiver on.
void MakeRaw(termios* tio);

bool SpeedFromBaud(std::uint32_t baud, speed_t* speed);
std::uint32_t BaudFromSpeed(speed_t speed);

void LineStateFromTermios(const termios& tio, const LinePolicy& policy, LineState* state);

// kErrorInvalidParameter for a baud rate without a speed constant, a byte size
// outside 5 ... 8, parity above 4 or one and a half stop bits.
ErrorCode TermiosFromLineState(const LineState& state, termios* tio, LinePolicy* policy);
