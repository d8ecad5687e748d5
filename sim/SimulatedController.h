#pragma once
// The simulator's server: a thread that serves the console model on the master of a
// pseudo-terminal, paces its output like a real line (10 bits a byte at the set baud
// rate, or unpaced), keeps a transcript of every byte received with its time, and
// can hang up. Safe to use from any thread.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/ControllerConsole.h"
#include "sim/Pty.h"

struct ReceivedByte {
    std::chrono::steady_clock::time_point time;
    unsigned char byte;
};

class SimulatedController {
public:
    // baud 0 turns pacing off.
    explicit SimulatedController(unsigned baud = 0, unsigned seed = 1);
    ~SimulatedController();

    const std::string& SlavePath() const { return pty_.SlavePath(); }
    // Makes the pty appear as COMn in `dir` (for ZL_CONFIG_PORTS).
    bool LinkAs(const std::string& dir, unsigned comNumber);

    // Runs `change` on the console model under the server's lock.
    void WithConsole(const std::function<void(ControllerConsole&)>& change);
    // Puts the console in an open session showing its prompt.
    void StartLoggedIn();
    // The unit talks unasked: a line every intervalMs, or with endLines false a stream
    // of bytes that never ends a line (a wrong device, a stuck unit). 0 stops it.
    void Chatter(int intervalMs, bool endLines = true);
    void HangUpNow();
    // Hangs up once `count` more bytes have arrived and the program has read their
    // answer; later bytes never arrive.
    void HangUpAfterBytes(long count);
    bool HungUp() const { return hungUp_.load(); }
    void Stop();

    std::string Received() const;                   // every byte so far
    std::vector<std::string> ReceivedLines() const;  // split at line feeds
    std::vector<ReceivedByte> Transcript() const;
    long BytesSent() const { return bytesSent_.load(); }
    void ClearTranscript();
    // Waits until `text` has been received; false after timeoutMs.
    bool WaitReceived(const std::string& text, int timeoutMs) const;

private:
    void Serve();
    void Send(const std::string& bytes);

    PtyPair pty_;
    unsigned baud_;
    ControllerConsole console_;
    mutable std::mutex mutex_;
    std::vector<ReceivedByte> transcript_;
    long received_ = 0;      // under mutex_
    long hangUpAtByte_ = -1;  // under mutex_; -1 for never
    std::atomic<int> chatterMs_{0};
    std::atomic<bool> chatterLines_{true};
    std::atomic<bool> stop_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<long> bytesSent_{0};
    std::chrono::steady_clock::time_point lineFree_{};  // when the line has sent all so far
    int wakeFd_ = -1;
    std::thread thread_;
};
