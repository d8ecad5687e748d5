#include "sim/Pty.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

std::u16string Widen(const std::string& text) {
    std::u16string out;
    for (unsigned char c : text) out += static_cast<char16_t>(c);
    return out;
}

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    // Non-blocking, so that a far end nobody reads can drop what does not fit.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = ptsname(master_);
    slaveKeeper_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    // A fresh pty echoes in cooked mode, which would feed the far end's output back
    // to it before the program has opened the port.
    termios tio;
    if (slaveKeeper_ >= 0 && tcgetattr(slaveKeeper_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slaveKeeper_, TCSANOW, &tio);
    }
}

PtyPair::~PtyPair() {
    if (slaveKeeper_ >= 0) close(slaveKeeper_);
    if (master_ >= 0) close(master_);
}

std::u16string PtyPair::SlaveName() const { return Widen(slavePath_); }

bool PtyPair::Send(const std::string& bytes, bool waitForRoom) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            if (!waitForRoom) return false;
            pollfd p{master_, POLLOUT, 0};
            poll(&p, 1, -1);
            continue;
        }
        if (n < 0 && !waitForRoom) return false;
        if (n < 0) throw std::runtime_error("pty write failed");
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void PtyPair::Write(const std::string& bytes) { Send(bytes, true); }

bool PtyPair::TryWrite(const std::string& bytes) { return Send(bytes, false); }

std::string PtyPair::ReadAvailable(int timeoutMs) {
    std::string out;
    for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN)) return out;
        char buffer[4096];
        ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) return out;
        out.append(buffer, static_cast<std::size_t>(n));
        timeoutMs = 10;
    }
}

void PtyPair::WaitUntilRead(int timeoutMs) {
    // Written bytes reach the slave's input queue (shared by every descriptor of the
    // slave, ours too) a moment later: count only a queue that stayed empty a while.
    int quietMs = 0;
    for (int waited = 0; waited < timeoutMs && quietMs < 100; ++waited) {
        int pending = 0;
        if (ioctl(slaveKeeper_, FIONREAD, &pending) != 0) return;
        quietMs = pending == 0 ? quietMs + 1 : 0;
        usleep(1000);
    }
}

void PtyPair::HangUp() {
    if (slaveKeeper_ >= 0) close(slaveKeeper_);
    slaveKeeper_ = -1;
    if (master_ >= 0) close(master_);
    master_ = -1;
}
