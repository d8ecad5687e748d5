#include "support/Simulator.h"

#include <cstdlib>
#include <stdexcept>

#include "sim/ControlProtocol.h"
#include "support/ControlChannel.h"

SimulatorEnd::SimulatorEnd(const std::string& make) : channel_(ControlChannel::Open()) {
    std::vector<std::string> names = SplitWords(Ask(make));
    if (names.size() != 2) throw std::runtime_error("the simulator named no port");
    port_ = names[0];
    device_ = DeviceOnThisSystem(names[0], names[1]);
}

SimulatorEnd::~SimulatorEnd() = default;

std::u16string SimulatorEnd::DeviceName() const {
    std::u16string name = u"\\\\.\\";
    for (unsigned char c : device_) name += static_cast<char16_t>(c);
    return name;
}

std::string SimulatorEnd::Device() const { return device_; }

std::string SimulatorEnd::Port() const { return port_; }

std::u16string SimulatorEnd::PortName() const { return std::u16string(port_.begin(), port_.end()); }

unsigned SimulatorEnd::ComNumber() const { return static_cast<unsigned>(std::atoi(port_.c_str() + 3)); }

std::string SimulatorEnd::Ask(const std::string& request) const {
    std::string reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reply = channel_->Ask(request);
    }
    if (reply == "ok") return std::string();
    if (reply.rfind("ok ", 0) == 0) return reply.substr(3);
    throw std::runtime_error("simulator: " + request + ": " + reply);
}

std::string SimulatorEnd::AskBytes(const std::string& request) const {
    std::string bytes;
    if (!FromHex(Ask(request), &bytes)) throw std::runtime_error("simulator: " + request + ": no hex reply");
    return bytes;
}

bool SimulatorEnd::AskFlag(const std::string& request) const { return Ask(request) == "1"; }

Simulator::Simulator(unsigned baud, unsigned seed)
    : SimulatorEnd("controller " + std::to_string(baud) + " " + std::to_string(seed)) {}

void Simulator::StartLoggedIn() { Ask("start-logged-in"); }

void Simulator::Chatter(int intervalMs, bool endLines) {
    Ask("chatter " + std::to_string(intervalMs) + (endLines ? " 1" : " 0"));
}

void Simulator::HangUpNow() { Ask("hang-up"); }

void Simulator::HangUpAfterBytes(long count) { Ask("hang-up-after-bytes " + std::to_string(count)); }

bool Simulator::HungUp() const { return AskFlag("hung-up"); }

std::string Simulator::Received() const { return AskBytes("received"); }

std::vector<std::string> Simulator::ReceivedLines() const { return SplitAtLineFeeds(Received()); }

std::vector<TranscriptByte> Simulator::Transcript() const {
    // Each byte comes with its age: the simulator's clock is not ours.
    std::string ages = Ask("transcript");
    auto now = std::chrono::steady_clock::now();
    std::vector<TranscriptByte> transcript;
    if (ages.empty()) return transcript;
    for (const std::string& entry : SplitWords(ages)) {
        std::size_t comma = entry.find(',');
        std::string byte;
        if (comma == std::string::npos || !FromHex(entry.substr(comma + 1), &byte) || byte.size() != 1) {
            throw std::runtime_error("simulator: a transcript entry without its byte: " + entry);
        }
        transcript.push_back({now - std::chrono::microseconds(std::atoll(entry.c_str())),
                              static_cast<unsigned char>(byte[0])});
    }
    return transcript;
}

void Simulator::ClearTranscript() { Ask("clear-transcript"); }

bool Simulator::WaitReceived(const std::string& text, int timeoutMs) const {
    return AskFlag("wait-received " + ToHex(text) + " " + std::to_string(timeoutMs));
}

void Simulator::SetValue(const std::string& dir, const std::string& name, long value) {
    Ask("set-value " + dir + " " + name + " " + std::to_string(value));
}

std::string Simulator::Value(const std::string& dir, const std::string& name) const {
    return AskBytes("value " + dir + " " + name);
}

void Simulator::SetFirmware(const std::string& version) { Ask("firmware " + ToHex(version)); }

void Simulator::SetSilent(bool silent) { Ask(silent ? "silent 1" : "silent 0"); }

void Simulator::GarbleNextCommands(int count) { Ask("garble " + std::to_string(count)); }

void Simulator::InjectNoise() { Ask("noise"); }

void Simulator::RebootOnCommand(int nth) { Ask("reboot-on-command " + std::to_string(nth)); }

void Simulator::HangUpAfterCommands(int count) { Ask("hang-up-after-commands " + std::to_string(count)); }
void Simulator::SetStatusCourse(long degreesPerRead, long millivoltsPerRead, long errorAt) {
    Ask("status-course " + std::to_string(degreesPerRead) + " " + std::to_string(millivoltsPerRead) + " " +
        std::to_string(errorAt));
}

std::string Simulator::Password() const { return AskBytes("password"); }

bool Simulator::Running() const { return AskFlag("running"); }

BareLine::BareLine() : SimulatorEnd("line") {}

void BareLine::Write(const std::string& bytes) { Ask("write " + ToHex(bytes)); }

std::string BareLine::ReadAvailable(int timeoutMs) { return AskBytes("read " + std::to_string(timeoutMs)); }

void BareLine::HangUp() { Ask("hang-up"); }
