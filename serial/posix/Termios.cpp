#include "serial/posix/Termios.h"

namespace {
struct SpeedEntry {
    std::uint32_t baud;
    speed_t speed;
};
constexpr SpeedEntry kSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},
    {150, B150},     {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},   {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},   {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};
}  // namespace

void MakeRaw(termios* tio) {
    tio->c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY);
    tio->c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio->c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio->c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
    tio->c_cflag |= CS8 | CREAD | CLOCAL;
    tio->c_cc[VMIN] = 0;
    tio->c_cc[VTIME] = 0;
}

bool SpeedFromBaud(std::uint32_t baud, speed_t* speed) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.baud == baud) {
            *speed = e.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t BaudFromSpeed(speed_t speed) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.speed == speed) return e.baud;
    }
    return 0;
}

void LineStateFromTermios(const termios& tio, const LinePolicy& policy, LineState* state) {
    LineState s;
    s.baudRate = BaudFromSpeed(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5: s.byteSize = 5; break;
        case CS6: s.byteSize = 6; break;
        case CS7: s.byteSize = 7; break;
        default: s.byteSize = 8; break;
    }
    s.fParity = (tio.c_iflag & INPCK) != 0;
    if (!(tio.c_cflag & PARENB)) {
        s.parity = 0;
    } else if (tio.c_cflag & CMSPAR) {
        s.parity = (tio.c_cflag & PARODD) ? 3 : 4;
    } else {
        s.parity = (tio.c_cflag & PARODD) ? 1 : 2;
    }
    s.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
    bool rtscts = (tio.c_cflag & CRTSCTS) != 0;
    s.fOutxCtsFlow = rtscts;
    s.fRtsControl = rtscts ? 2 : policy.fRtsControl;
    s.fOutX = (tio.c_iflag & IXON) != 0;
    s.fInX = (tio.c_iflag & IXOFF) != 0;
    s.fOutxDsrFlow = policy.fOutxDsrFlow;
    s.fDtrControl = policy.fDtrControl;
    s.fDsrSensitivity = policy.fDsrSensitivity;
    s.fTXContinueOnXoff = policy.fTXContinueOnXoff;
    s.fErrorChar = policy.fErrorChar;
    s.fNull = policy.fNull;
    s.fAbortOnError = policy.fAbortOnError;
    s.evtChar = policy.evtChar;
    *state = s;
}

ErrorCode TermiosFromLineState(const LineState& state, termios* tio, LinePolicy* policy) {
    speed_t speed;
    if (!SpeedFromBaud(state.baudRate, &speed)) return kErrorInvalidParameter;
    tcflag_t size;
    switch (state.byteSize) {
        case 5: size = CS5; break;
        case 6: size = CS6; break;
        case 7: size = CS7; break;
        case 8: size = CS8; break;
        default: return kErrorInvalidParameter;
    }
    if (state.parity > 4 || state.stopBits == 1 || state.stopBits > 2) return kErrorInvalidParameter;

    termios t = *tio;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= size;
    if (state.parity != 0) {
        t.c_cflag |= PARENB;
        if (state.parity == 1 || state.parity == 3) t.c_cflag |= PARODD;
        if (state.parity >= 3) t.c_cflag |= CMSPAR;
    }
    // Generating parity follows the parity byte; checking it follows fParity.
    if (state.fParity) {
        t.c_iflag |= INPCK;
    } else {
        t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    }
    if (state.stopBits == 2) t.c_cflag |= CSTOPB;
    if (state.fOutxCtsFlow || state.fRtsControl == 2) t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (state.fOutX) t.c_iflag |= IXON;
    if (state.fInX) t.c_iflag |= IXOFF;

    *tio = t;
    policy->fOutxDsrFlow = state.fOutxDsrFlow;
    policy->fDtrControl = state.fDtrControl;
    if (state.fRtsControl != 2) policy->fRtsControl = state.fRtsControl;
    policy->fDsrSensitivity = state.fDsrSensitivity;
    policy->fTXContinueOnXoff = state.fTXContinueOnXoff;
    policy->fErrorChar = state.fErrorChar;
    policy->fNull = state.fNull;
    policy->fAbortOnError = state.fAbortOnError;
    policy->evtChar = state.evtChar;
    return kErrorSuccess;
}
