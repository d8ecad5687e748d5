#include "sim/ControllerConsole.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "resources/StringTable.h"

namespace {
constexpr const char* kModel = "ZL-500-40K";

bool ParseNumber(const std::string& text, long* value) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    }
    *value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

std::string Limits(const SimParameter& p) {
    if (p.name == "Baud") return "Limits: [9600, 19200]";
    return "Limits: [" + std::to_string(p.minimum) + "..." + std::to_string(p.maximum) + "]";
}
}  // namespace

ControllerConsole::ControllerConsole(unsigned seed) : random_(seed) { FactoryDefaults(); }

void ControllerConsole::FactoryDefaults() {
    parameters_ = {
        {"Mode", "Config", 0, 0, 1, false},
        {"TriggerSource", "Config", 0, 0, 1, false},
        {"Edge", "Config", 0, 0, 1, false},
        {"AutoStart", "Config", 0, 0, 1, false},
        {"Current", "Config", 1000, 100, 20000, false},
        {"Delay", "Config", 5, 5, 1000000, false},
        {"TimeOn", "Config", 100, 10, 50000, false},
        {"CycleTime", "Config", 1000, 100, 60000000, false},
        {"DutyCycle", "Config", 0, 0, 0, true},
        {"ReadyOut", "Config", 0, 0, 5, false},
        {"TriggerOut", "Config", 0, 0, 5, false},
        {"Current", "Status", 0, 0, 0, true},
        {"Temperature", "Status", 35, 0, 0, true},
        {"SupplyVoltage", "Status", 24000, 0, 0, true},
        {"Error", "Status", 0, 0, 0, true},
        {"Echo", "System", 0, 0, 1, false},
        {"Baud", "System", 19200, 9600, 19200, false},
    };
    user_ = "user";
    password_ = "ta-vimek";
    running_ = false;
}

void ControllerConsole::StartLoggedIn() {
    state_ = State::Shell;
    cwd_.clear();
}

SimParameter* ControllerConsole::Find(const std::string& dir, const std::string& name) {
    for (SimParameter& p : parameters_) {
        if (p.dir == dir && p.name == name) return &p;
    }
    return nullptr;
}

const SimParameter* ControllerConsole::Find(const std::string& dir, const std::string& name) const {
    for (const SimParameter& p : parameters_) {
        if (p.dir == dir && p.name == name) return &p;
    }
    return nullptr;
}

std::string ControllerConsole::Value(const std::string& dir, const std::string& name) const {
    const SimParameter* p = Find(dir, name);
    return p ? std::to_string(p->value) : std::string();
}

void ControllerConsole::SetValue(const std::string& dir, const std::string& name, long value) {
    if (SimParameter* p = Find(dir, name)) p->value = value;
}

std::string ControllerConsole::Shown(const SimParameter& p) {
    if (p.name == "DutyCycle") {
        long mode = Find("Config", "Mode")->value;
        long cycle = Find("Config", "CycleTime")->value;
        double duty = mode != 0 ? 100.0 : cycle > 0 ? Find("Config", "TimeOn")->value * 100.0 / cycle : 0.0;
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", duty);
        return text;
    }
    if (p.dir == "Status" && p.name == "Temperature" && degreesPerRead_ != 0) return std::to_string(p.value);
    if (p.dir == "Status" && p.name == "Temperature") {
        // Drifts a little around its value, as a real heat sink does.
        return std::to_string(p.value + static_cast<long>(random_() % 3) - 1);
    }
    if (p.dir == "Status" && p.name == "Current") {
        return std::to_string(running_ ? Find("Config", "Current")->value : 0);
    }
    return std::to_string(p.value);
}

bool ControllerConsole::Consistent() const {
    if (Find("Config", "Mode")->value != 0) return true;
    long timeOn = Find("Config", "TimeOn")->value;
    long delay = Find("Config", "Delay")->value;
    long cycle = Find("Config", "CycleTime")->value;
    return timeOn <= cycle && delay + timeOn <= cycle;
}

std::string ControllerConsole::Prompt() const {
    return std::string(kModel) + " /" + cwd_ + "> ";
}

void ControllerConsole::Receive(unsigned char byte, std::vector<ConsoleOutput>& out) {
    if (silent_) return;
    if (atLineStart_ && byte != '\n') {
        garbleLine_ = garbleLeft_ > 0;
        atLineStart_ = false;
    }
    if (byte == '\n') {
        out.push_back({"\r\n", 0});
        std::string line = lineBuffer_;
        lineBuffer_.clear();
        if (garbleLine_) --garbleLeft_;
        garbleLine_ = false;
        atLineStart_ = true;
        ProcessLine(line, out);
        return;
    }
    char echoed = static_cast<char>(byte);
    // A garbled echo swaps the case of letters: the command no longer shows in it.
    if (garbleLine_ && std::isalpha(byte)) echoed = static_cast<char>(byte ^ 0x20);
    out.push_back({std::string(1, echoed), 0});
    if (byte != '\r' && lineBuffer_.size() < 512) lineBuffer_ += static_cast<char>(byte);
}

void ControllerConsole::ProcessLine(const std::string& line, std::vector<ConsoleOutput>& out) {
    std::string reply;
    if (noisePending_ && !line.empty()) {
        reply += std::string("\0\xff\xff", 3) + std::string(300, 'N') + "\r\n";
        noisePending_ = false;
    }
    switch (state_) {
        case State::AwaitUser:
            if (line.empty()) {
                reply += "Login: ";
            } else {
                pendingUser_ = line;
                reply += "Password: ";
                state_ = State::AwaitPassword;
            }
            break;
        case State::AwaitPassword:
            if (pendingUser_ == user_ && line == password_) {
                state_ = State::Shell;
                cwd_.clear();
                reply += Prompt();
            } else {
                reply += Line("Access denied!") + "Login: ";
                state_ = State::AwaitUser;
            }
            break;
        case State::SuPassword:
            if (pendingUser_ != user_ || line != password_) reply += Line("Access denied!");
            state_ = State::Shell;
            reply += Prompt();
            break;
        case State::PasswdOld:
            if (line == password_) {
                reply += "Enter new password: ";
                state_ = State::PasswdNew;
            } else {
                reply += Line("Access denied!") + Prompt();
                state_ = State::Shell;
            }
            break;
        case State::PasswdNew:
            newPassword_ = line.substr(0, 8);
            reply += "Re-enter new password: ";
            state_ = State::PasswdAgain;
            break;
        case State::PasswdAgain:
            if (line.substr(0, 8) == newPassword_) {
                password_ = newPassword_;
            } else {
                reply += Line("Passwords mismatch!");
            }
            state_ = State::Shell;
            reply += Prompt();
            break;
        case State::Shell:
            if (line.empty()) {
                reply += Prompt();
                break;
            }
            ++commands_;
            if (rebootAt_ > 0 && commands_ >= rebootAt_) {
                rebootAt_ = 0;
                out.push_back({reply + Line("Reboot..."), 0});
                out.push_back({"Login: ", 300});
                state_ = State::AwaitUser;
                return;
            }
            RunCommand(line, reply, out);
            if (state_ == State::AwaitUser) return;  // the command rebooted the unit
            break;
    }
    out.push_back({reply, 0});
}

void ControllerConsole::RunCommand(const std::string& line, std::string& reply,
                                   std::vector<ConsoleOutput>& out) {
    std::size_t blank = line.find(' ');
    std::string command = line.substr(0, blank);
    std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);

    if (command == "cd") {
        std::string dir = argument;
        while (!dir.empty() && dir[0] == '/') dir.erase(0, 1);
        if (dir.empty() || dir == "Config" || dir == "Status" || dir == "System") {
            cwd_ = dir;
        } else {
            reply += Line("Directory '" + dir + "' unknown!");
        }
    } else if (command == "Ver") {
        reply += Line("Firmware-Version " + std::string(kModel) + " " + firmware_);
    } else if (command == "su") {
        pendingUser_ = argument;
        reply += "Password: ";
        state_ = State::SuPassword;
        return;
    } else if (command == "passwd") {
        reply += Line("Changing password for " + user_) + "Enter old password: ";
        state_ = State::PasswdOld;
        return;
    } else if (command == "Stop") {
        running_ = false;
    } else if (command == "Start" || command == "Save") {
        if (!Consistent()) {
            reply += Line("Failure! One or more values of this configuration out of range! "
                          "Refer manual for the limits.");
        } else if (command == "Start") {
            running_ = true;
        }
    } else if (command == "FactorySettings") {
        FactoryDefaults();
        out.push_back({reply + Line("Reboot..."), 0});
        out.push_back({"Login: ", 300});
        state_ = State::AwaitUser;
        return;
    } else if (command == "Dir") {
        reply += Line("Directory listing of /" + cwd_);
        if (cwd_.empty()) {
            for (const char* dir : {"Config", "Status", "System"}) reply += Line(std::string("<DIR> ") + dir);
        } else {
            for (const SimParameter& p : parameters_) {
                if (p.dir == cwd_) reply += Line("<VAL> " + p.name + " " + Shown(p));
            }
        }
    } else if (command == "Help") {
        char help[2000];
        LoadString(116, help, sizeof help);
        reply += help;
    } else if (command[0] == '/' && firmware_ != "1.01") {
        std::size_t slash = command.find('/', 1);
        std::string dir = command.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
        std::string name = slash == std::string::npos ? std::string() : command.substr(slash + 1);
        if (dir != "Config" && dir != "Status" && dir != "System") {
            reply += Line("Directory '" + dir + "' unknown!");
        } else {
            AccessParameter(dir, name, argument, command, reply);
        }
    } else if (!cwd_.empty() && command[0] != '/') {
        AccessParameter(cwd_, command, argument, command, reply);
    } else {
        reply += Line("Command/parameter '" + command + "' unknown!");
    }
    reply += Prompt();
}

void ControllerConsole::AccessParameter(const std::string& dir, const std::string& name,
                                        const std::string& value, const std::string& shownName,
                                        std::string& reply) {
    SimParameter* p = Find(dir, name);
    if (!p) {
        reply += Line("Command/parameter '" + shownName + "' unknown!");
        return;
    }
    if (!value.empty()) {
        long number = 0;
        if (p->readOnly) {
            reply += Line("Read-only parameter!");
            return;
        }
        if (!ParseNumber(value, &number) || number < p->minimum || number > p->maximum ||
            (p->name == "Baud" && number != 9600 && number != 19200)) {
            reply += Line("Value not accepted!") + Line(Limits(*p));
            if (p->name == "Delay") reply += Line("Take notice of further parameter-depended limits");
            return;
        }
        p->value = number;
    }
    reply += Line("<VAL> " + p->name + " " + Shown(*p));
    if (value.empty() && p->dir == "Status") MoveStatus(*p);
}

void ControllerConsole::SetStatusCourse(long degreesPerRead, long millivoltsPerRead, long errorAt, long errorCode) {
    degreesPerRead_ = degreesPerRead;
    millivoltsPerRead_ = millivoltsPerRead;
    errorAt_ = errorAt;
    errorCode_ = errorCode;
}

// A status value moves on by its course once it has been read.
void ControllerConsole::MoveStatus(SimParameter& p) {
    if (p.name == "Temperature" && degreesPerRead_ != 0) {
        p.value += degreesPerRead_;
        if (errorAt_ > 0 && p.value >= errorAt_) Find("Status", "Error")->value = errorCode_;
    }
    if (p.name == "SupplyVoltage") p.value = std::max(0L, p.value - millivoltsPerRead_);
}
