#include "sim/SimulatedController.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "sim/ControlProtocol.h"

SimulatedController::SimulatedController(unsigned baud, unsigned seed)
    : baud_(baud), console_(seed) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { Serve(); });
}

SimulatedController::~SimulatedController() {
    Stop();
    close(wakeFd_);
}

bool SimulatedController::LinkAs(const std::string& dir, unsigned comNumber) {
    std::string link = dir + "/COM" + std::to_string(comNumber);
    unlink(link.c_str());
    return symlink(pty_.SlavePath().c_str(), link.c_str()) == 0;
}

void SimulatedController::WithConsole(const std::function<void(ControllerConsole&)>& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change(console_);
}

void SimulatedController::StartLoggedIn() {
    std::lock_guard<std::mutex> lock(mutex_);
    console_.StartLoggedIn();
    Send("ZL-500-40K /> ");
}

void SimulatedController::Chatter(int intervalMs, bool endLines) {
    chatterLines_ = endLines;
    chatterMs_ = intervalMs;
    std::uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
}

void SimulatedController::HangUpAfterBytes(long count) {
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpAtByte_ = received_ + count;
}

void SimulatedController::HangUpNow() {
    hungUp_ = true;
    std::uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
}

void SimulatedController::Stop() {
    stop_ = true;
    std::uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
    if (thread_.joinable()) thread_.join();
}

void SimulatedController::Serve() {
    auto nextChatter = std::chrono::steady_clock::now();
    long chattered = 0;
    for (;;) {
        if (stop_ || hungUp_) break;
        int interval = chatterMs_;
        int timeout = -1;
        if (interval > 0) {
            auto now = std::chrono::steady_clock::now();
            if (now >= nextChatter) {
                // Nobody may be listening: what does not fit is lost, as on a real line.
                pty_.TryWrite(chatterLines_ ? "Chatter " + std::to_string(++chattered) + "\r\n"
                                            : std::string(8, 'x'));
                nextChatter = now + std::chrono::milliseconds(interval);
            }
            timeout = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(nextChatter - now).count()) + 1;
        }
        pollfd p[2] = {{pty_.MasterFd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int n = poll(p, 2, timeout);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) continue;
        if (p[1].revents & POLLIN) {  // woken: look at the flags again
            std::uint64_t count;
            (void)!read(wakeFd_, &count, sizeof count);
            continue;
        }
        if (!(p[0].revents & POLLIN)) {
            // The master never hangs up while we keep the slave open; avoid spinning.
            if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) break;
            continue;
        }
        unsigned char buffer[256];
        ssize_t got = read(pty_.MasterFd(), buffer, sizeof buffer);
        if (got <= 0) continue;
        std::vector<ConsoleOutput> out;
        bool hangUp = false;
        bool cutAfterAnswer = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto now = std::chrono::steady_clock::now();
            for (ssize_t i = 0; i < got; ++i) {
                if (hangUpAtByte_ >= 0 && received_ >= hangUpAtByte_) break;  // the line is dead
                transcript_.push_back({now, buffer[i]});
                console_.Receive(buffer[i], out);
                ++received_;
            }
            cutAfterAnswer = hangUpAtByte_ >= 0 && received_ >= hangUpAtByte_;
            hangUp = console_.HangUpDue() || cutAfterAnswer;
        }
        for (const ConsoleOutput& chunk : out) {
            if (chunk.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
            if (stop_) break;
            Send(chunk.bytes);
        }
        // A hang-up drops what the far end has not read yet: let it take the answer first.
        if (cutAfterAnswer) pty_.WaitUntilRead(2000);
        if (hangUp) hungUp_ = true;
    }
    if (hungUp_) pty_.HangUp();
}

void SimulatedController::Send(const std::string& bytes) {
    // Paced like a real line: each byte is handed over when it would have crossed it
    // (10 bits a byte), back to back with what was sent before, so nothing arrives
    // earlier, or later, than on the wire.
    constexpr std::size_t kSlice = 1;
    for (std::size_t pos = 0; pos < bytes.size(); pos += kSlice) {
        std::string slice = bytes.substr(pos, kSlice);
        if (baud_ > 0) {
            auto now = std::chrono::steady_clock::now();
            if (lineFree_ < now) lineFree_ = now;
            lineFree_ += std::chrono::microseconds(static_cast<long>(slice.size()) * 10L * 1000000L /
                                                   static_cast<long>(baud_));
            std::this_thread::sleep_until(lineFree_);
        }
        try {
            pty_.Write(slice);
        } catch (const std::exception&) {
            return;
        }
        bytesSent_ += static_cast<long>(slice.size());
    }
}

std::string SimulatedController::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (const ReceivedByte& b : transcript_) text += static_cast<char>(b.byte);
    return text;
}

std::vector<std::string> SimulatedController::ReceivedLines() const { return SplitAtLineFeeds(Received()); }

std::vector<ReceivedByte> SimulatedController::Transcript() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return transcript_;
}

void SimulatedController::ClearTranscript() {
    std::lock_guard<std::mutex> lock(mutex_);
    transcript_.clear();
}

bool SimulatedController::WaitReceived(const std::string& text, int timeoutMs) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (Received().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}
