#pragma once
// The simulated ZL-500-40K console, as a pure model: bytes in, output chunks out.
// It echoes every byte (a line feed as CR LF), ends its own lines with CR LF, prints
// its prompts without a line end, and answers commands by path ("/Config/Mode 1") or
// after "cd" by bare name. Faults are switched on by the owner. Deterministic for a
// given seed. Not thread-safe: the server serialises every call.
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

struct ConsoleOutput {
    std::string bytes;
    int delayMs = 0;  // pause before these bytes (a reboot takes a while)
};

struct SimParameter {
    std::string name;
    std::string dir;
    long value;
    long minimum;
    long maximum;
    bool readOnly;
};

class ControllerConsole {
public:
    explicit ControllerConsole(unsigned seed = 1);

    // Feeds one received byte; appends what the console prints in answer.
    void Receive(unsigned char byte, std::vector<ConsoleOutput>& out);

    // Settings and faults.
    void SetFirmware(const std::string& version) { firmware_ = version; }  // "1.10", "2.00"
    void SetSilent(bool silent) { silent_ = silent; }
    void GarbleNextCommands(int count) { garbleLeft_ = count; }
    void InjectNoise() { noisePending_ = true; }
    void RebootOnCommand(int nth) { rebootAt_ = commands_ + nth; }
    void HangUpAfterCommands(int count) { hangUpAt_ = commands_ + count; }
    bool HangUpDue() const { return hangUpAt_ > 0 && commands_ >= hangUpAt_; }
    void StartLoggedIn();  // as if a session were still open from before
    // The unit under load: each read of Temperature finds it `degreesPerRead` warmer
    // (without the drift), each read of SupplyVoltage `millivoltsPerRead` lower; Error
    // becomes `errorCode` once Temperature has reached `errorAt` (0: never).
    void SetStatusCourse(long degreesPerRead, long millivoltsPerRead, long errorAt, long errorCode = 1);

    // What the tests look at.
    std::string Value(const std::string& dir, const std::string& name) const;
    void SetValue(const std::string& dir, const std::string& name, long value);
    std::string Password() const { return password_; }
    bool LoggedIn() const { return state_ != State::AwaitUser && state_ != State::AwaitPassword; }
    bool Running() const { return running_; }
    int Commands() const { return commands_; }

private:
    enum class State { AwaitUser, AwaitPassword, Shell, SuPassword, PasswdOld, PasswdNew, PasswdAgain };

    void ProcessLine(const std::string& line, std::vector<ConsoleOutput>& out);
    void RunCommand(const std::string& line, std::string& reply, std::vector<ConsoleOutput>& out);
    void AccessParameter(const std::string& dir, const std::string& name, const std::string& value,
                         const std::string& shownName, std::string& reply);
    void FactoryDefaults();
    void MoveStatus(SimParameter& p);
    bool Consistent() const;
    std::string Prompt() const;
    std::string Line(const std::string& text) const { return text + "\r\n"; }
    SimParameter* Find(const std::string& dir, const std::string& name);
    const SimParameter* Find(const std::string& dir, const std::string& name) const;
    std::string Shown(const SimParameter& p);

    std::vector<SimParameter> parameters_;
    std::mt19937 random_;
    State state_ = State::AwaitUser;
    std::string firmware_ = "1.10";
    std::string cwd_;  // "" for the root, else a directory name
    std::string user_ = "user";
    std::string password_ = "ta-vimek";
    std::string pendingUser_;
    std::string newPassword_;
    std::string lineBuffer_;
    bool running_ = false;
    bool silent_ = false;
    bool garbleLine_ = false;
    bool atLineStart_ = true;
    int garbleLeft_ = 0;
    bool noisePending_ = false;
    int commands_ = 0;
    int rebootAt_ = 0;
    int hangUpAt_ = 0;
    long degreesPerRead_ = 0;
    long millivoltsPerRead_ = 0;
    long errorAt_ = 0;
    long errorCode_ = 1;
};
