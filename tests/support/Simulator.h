#pragma once
// The simulated controller and the bare line as the tests see them, the same on every
// system: requests to a ControlSession (sim/), in this process on Linux and in zl-sim
// on the Linux side under wine. A Simulator is the controller with its transcript and
// faults; a BareLine is a line whose far end the test writes and reads itself. Each is
// on a port of its own while it lives. Safe to use from any thread.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ControlChannel;

struct TranscriptByte {
    std::chrono::steady_clock::time_point time;  // on this process's clock
    unsigned char byte;
};

class SimulatorEnd {
public:
    SimulatorEnd(const SimulatorEnd&) = delete;
    SimulatorEnd& operator=(const SimulatorEnd&) = delete;

    std::u16string DeviceName() const;  // what CSerial::Open takes: "\\.\" and Device()
    std::string Device() const;         // the device a failed open names
    std::string Port() const;           // "COMn", as a user picks it
    std::u16string PortName() const;    // the same, wide
    unsigned ComNumber() const;

protected:
    explicit SimulatorEnd(const std::string& make);
    ~SimulatorEnd();
    // The reply's text after "ok"; throws on an error reply.
    std::string Ask(const std::string& request) const;
    std::string AskBytes(const std::string& request) const;  // a reply in hex, decoded
    bool AskFlag(const std::string& request) const;

private:
    std::unique_ptr<ControlChannel> channel_;
    mutable std::mutex mutex_;
    std::string port_;
    std::string device_;
};

class Simulator : public SimulatorEnd {
public:
    // baud 0 turns pacing off.
    explicit Simulator(unsigned baud = 0, unsigned seed = 1);

    // Puts the console in an open session showing its prompt.
    void StartLoggedIn();
    // A line every intervalMs, or with endLines false bytes that never end a line; 0 stops.
    void Chatter(int intervalMs, bool endLines = true);
    void HangUpNow();
    // Hangs up once `count` more bytes have arrived and their answer was read.
    void HangUpAfterBytes(long count);
    bool HungUp() const;

    std::string Received() const;
    std::vector<std::string> ReceivedLines() const;  // split at line feeds
    std::vector<TranscriptByte> Transcript() const;
    void ClearTranscript();
    bool WaitReceived(const std::string& text, int timeoutMs) const;

    // The console model.
    void SetValue(const std::string& dir, const std::string& name, long value);
    std::string Value(const std::string& dir, const std::string& name) const;
    void SetFirmware(const std::string& version);
    void SetSilent(bool silent);
    void GarbleNextCommands(int count);
    void InjectNoise();
    void RebootOnCommand(int nth);
    void HangUpAfterCommands(int count);
    // Temperature and supply voltage move with each read; Error becomes 1 at errorAt.
    void SetStatusCourse(long degreesPerRead, long millivoltsPerRead, long errorAt);
    std::string Password() const;
    bool Running() const;
};

class BareLine : public SimulatorEnd {
public:
    BareLine();
    void Write(const std::string& bytes);
    // What arrives from the program within timeoutMs.
    std::string ReadAvailable(int timeoutMs = 50);
    void HangUp();  // as when an adapter is pulled
};
