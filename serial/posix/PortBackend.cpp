// Linux serial backend: termios for the line state, flock and TIOCEXCL for exclusive
// use, poll() on the port plus an eventfd so that a changed event mask wakes a
// pending event wait. Queue sizes and a default device configuration have no Linux
// driver call; they are accepted and change nothing.
#include "serial/PortBackend.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/DeviceNames.h"
#include "platform/Event.h"
#include "serial/Serial.h"
#include "serial/posix/Termios.h"

struct PortDevice {
    int fd = -1;
    int wakeFd = -1;
    bool blockingReads = false;
    LinePolicy policy;
};

namespace {
ErrorCode LastErrno() { return ErrorFromErrno(errno); }

using Clock = std::chrono::steady_clock;

// Milliseconds left before `deadline` for poll(), -1 for no limit.
int PollTimeout(std::uint32_t timeoutMs, Clock::time_point deadline) {
    if (timeoutMs == kInfinite) return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on the port; kErrorTimeout, a device error, or 0.
ErrorCode WaitPort(PortDevice* device, short events, std::uint32_t timeoutMs,
                   Clock::time_point deadline) {
    for (;;) {
        pollfd p{device->fd, events, 0};
        int n = poll(&p, 1, PollTimeout(timeoutMs, deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastErrno();
        if (n == 0) return kErrorTimeout;
        if (p.revents & (POLLERR | POLLNVAL)) return kErrorIoDevice;
        if (p.revents & POLLHUP) return kErrorIoDevice;
        return kErrorSuccess;
    }
}

Clock::time_point Deadline(std::uint32_t timeoutMs) {
    return Clock::now() + std::chrono::milliseconds(timeoutMs == kInfinite ? 0 : timeoutMs);
}

// Moves up to `count` bytes with `step` (a read or a write of what is left). With
// `wait` it waits for the port to be `ready` until all are moved or the time-out runs
// out; without, it returns with what could be moved at once.
template <typename Step>
ErrorCode Transfer(PortDevice* device, std::uint32_t count, std::uint32_t* done,
                   std::uint32_t timeoutMs, short ready, bool wait, Step step) {
    Clock::time_point deadline = Deadline(timeoutMs);
    std::uint32_t moved = 0;
    ErrorCode result = kErrorSuccess;
    while (moved < count) {
        ssize_t n = step(moved);
        if (n > 0) {
            moved += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            result = LastErrno();
            break;
        }
        if (!wait) break;
        result = WaitPort(device, ready, timeoutMs, deadline);
        if (result != kErrorSuccess) break;
    }
    *done = moved;
    return result;
}

// Sets or clears modem lines; a device without modem lines (a pseudo-terminal) has
// nothing to set, which is not an error.
ErrorCode SetModemLine(int fd, int line, bool on) {
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return kErrorSuccess;
    if (errno == ENOTTY || errno == EINVAL) return kErrorSuccess;
    return LastErrno();
}
}  // namespace

ErrorCode PortOpen(const char16_t* name, PortDevice** device) {
    char path[4096];
    if (!ResolveDeviceName(name, path, sizeof path)) return kErrorFileNotFound;
    int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LastErrno();
    auto fail = [fd](ErrorCode code) {
        close(fd);
        return code;
    };
    if (!isatty(fd)) return fail(kErrorInvalidFunction);
    // flock also holds against root, whom TIOCEXCL lets through.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(kErrorAccessDenied);
    if (ioctl(fd, TIOCEXCL) != 0) return fail(LastErrno());
    termios tio;
    if (tcgetattr(fd, &tio) != 0) return fail(LastErrno());
    MakeRaw(&tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return fail(LastErrno());
    tcflush(fd, TCIOFLUSH);
    int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) return fail(LastErrno());
    PortDevice* d = new PortDevice;
    d->fd = fd;
    d->wakeFd = wakeFd;
    *device = d;
    return kErrorSuccess;
}

ErrorCode PortProbe(const char16_t* name) {
    char path[4096];
    if (!ResolveDeviceName(name, path, sizeof path)) return kErrorFileNotFound;
    int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LastErrno();
    ErrorCode result = kErrorSuccess;
    if (!isatty(fd)) {
        result = kErrorInvalidFunction;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result = kErrorAccessDenied;
    }
    close(fd);  // also drops the lock
    return result;
}

void PortClose(PortDevice* device) {
    if (!device) return;
    ioctl(device->fd, TIOCNXCL);
    close(device->wakeFd);
    close(device->fd);
    delete device;
}

ErrorCode PortGetState(PortDevice* device, LineState* state) {
    termios tio;
    if (tcgetattr(device->fd, &tio) != 0) return LastErrno();
    LineStateFromTermios(tio, device->policy, state);
    return kErrorSuccess;
}

ErrorCode PortSetState(PortDevice* device, const LineState& state) {
    termios tio;
    if (tcgetattr(device->fd, &tio) != 0) return LastErrno();
    LinePolicy policy = device->policy;
    ErrorCode e = TermiosFromLineState(state, &tio, &policy);
    if (e != kErrorSuccess) return e;
    termios before;
    if (tcgetattr(device->fd, &before) != 0) return LastErrno();
    if (tcsetattr(device->fd, TCSANOW, &tio) != 0) return LastErrno();
    // tcsetattr succeeds when any change took; a driver that does not take the speed
    // or the framing (a pseudo-terminal forces 8 bits without parity) is refused, and
    // the port keeps its previous settings.
    termios check;
    if (tcgetattr(device->fd, &check) != 0) return LastErrno();
    constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    if (cfgetospeed(&check) != cfgetospeed(&tio) ||
        (check.c_cflag & kFraming) != (tio.c_cflag & kFraming)) {
        tcsetattr(device->fd, TCSANOW, &before);
        return kErrorInvalidParameter;
    }
    if (state.fDtrControl != 2) {
        e = SetModemLine(device->fd, TIOCM_DTR, state.fDtrControl == 1);
        if (e != kErrorSuccess) return e;
    }
    if (state.fRtsControl != 2) {
        e = SetModemLine(device->fd, TIOCM_RTS, state.fRtsControl == 1);
        if (e != kErrorSuccess) return e;
    }
    device->policy = policy;
    return kErrorSuccess;
}

ErrorCode PortGetReadBlocking(PortDevice* device, bool* blocking) {
    *blocking = device->blockingReads;
    return kErrorSuccess;
}

ErrorCode PortSetReadBlocking(PortDevice* device, bool blocking) {
    device->blockingReads = blocking;
    return kErrorSuccess;
}

ErrorCode PortSetQueueSizes(PortDevice*, std::uint32_t, std::uint32_t) { return kErrorSuccess; }

ErrorCode PortApplyDefaultConfig(PortDevice*) { return kErrorSuccess; }

ErrorCode PortWakeWaiter(PortDevice* device) {
    std::uint64_t one = 1;
    if (write(device->wakeFd, &one, sizeof one) < 0 && errno != EAGAIN) return LastErrno();
    return kErrorSuccess;
}

ErrorCode PortWaitEvent(PortDevice* device, std::uint32_t mask, std::uint32_t* events,
                        std::uint32_t timeoutMs) {
    Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        pollfd p[2] = {{device->fd, static_cast<short>((mask & kEventRxChar) ? POLLIN : 0), 0},
                       {device->wakeFd, POLLIN, 0}};
        int n = poll(p, 2, PollTimeout(timeoutMs, deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastErrno();
        if (n == 0) return kErrorTimeout;
        if (p[1].revents & POLLIN) {
            std::uint64_t count;
            (void)!read(device->wakeFd, &count, sizeof count);
            *events = 0;
            return kErrorSuccess;
        }
        // A hang-up ends the wait with an error so the listener stops instead of spinning.
        if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return kErrorIoDevice;
        if (p[0].revents & POLLIN) {
            *events = kEventRxChar;
            return kErrorSuccess;
        }
    }
}

ErrorCode PortRead(PortDevice* device, void* buffer, std::uint32_t count, std::uint32_t* done,
                   std::uint32_t timeoutMs) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    // Nothing there reads 0 bytes on a raw tty; a hang-up shows as an error of the
    // read or of the wait.
    return Transfer(device, count, done, timeoutMs, POLLIN, device->blockingReads,
                    [&](std::uint32_t moved) { return read(device->fd, bytes + moved, count - moved); });
}

ErrorCode PortWrite(PortDevice* device, const void* data, std::uint32_t count,
                    std::uint32_t* done, std::uint32_t timeoutMs) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    return Transfer(device, count, done, timeoutMs, POLLOUT, true,
                    [&](std::uint32_t moved) { return write(device->fd, bytes + moved, count - moved); });
}

ErrorCode PortClearErrors(PortDevice*, std::uint32_t* errors) {
    // The tty driver reports no line-error bits apart from the data stream.
    *errors = 0;
    return kErrorSuccess;
}
