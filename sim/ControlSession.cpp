#include "sim/ControlSession.h"

#include <chrono>
#include <stdexcept>

#include "sim/ControlProtocol.h"

namespace {
using Words = std::vector<std::string>;

long Number(const std::string& text) {
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::logic_error&) {  // no number, or out of range
        used = 0;
    }
    if (used == 0 || used != text.size()) throw std::invalid_argument("not a number: " + text);
    return value;
}

std::string Bytes(const std::string& hex) {
    std::string bytes;
    if (!FromHex(hex, &bytes)) throw std::invalid_argument("not hex: " + hex);
    return bytes;
}

std::string Ok(const std::string& payload = std::string()) { return payload.empty() ? "ok" : "ok " + payload; }
std::string Flag(bool on) { return on ? "ok 1" : "ok 0"; }

// Each byte with its age in microseconds: the far end has a clock of its own.
std::string Ages(const std::vector<ReceivedByte>& transcript) {
    auto now = std::chrono::steady_clock::now();
    std::string text;
    for (const ReceivedByte& b : transcript) {
        auto age = std::chrono::duration_cast<std::chrono::microseconds>(now - b.time).count();
        text += (text.empty() ? "" : " ") + std::to_string(age) + "," + ToHex(std::string(1, static_cast<char>(b.byte)));
    }
    return text;
}

// What a test may ask of a controller: the simulator's own calls, and the few changes
// of its console model that the tests make.
struct ControllerRequest {
    const char* verb;
    std::size_t arguments;
    std::string (*serve)(SimulatedController& sim, const Words& a);
};

std::string Console(SimulatedController& sim, const std::function<void(ControllerConsole&)>& change) {
    sim.WithConsole(change);
    return Ok();
}

const ControllerRequest kControllerRequests[] = {
    {"received", 0, [](SimulatedController& sim, const Words&) { return Ok(ToHex(sim.Received())); }},
    {"transcript", 0, [](SimulatedController& sim, const Words&) { return Ok(Ages(sim.Transcript())); }},
    {"clear-transcript", 0, [](SimulatedController& sim, const Words&) { sim.ClearTranscript(); return Ok(); }},
    {"wait-received", 2,
     [](SimulatedController& sim, const Words& a) { return Flag(sim.WaitReceived(Bytes(a[0]), int(Number(a[1])))); }},
    {"start-logged-in", 0, [](SimulatedController& sim, const Words&) { sim.StartLoggedIn(); return Ok(); }},
    {"chatter", 2,
     [](SimulatedController& sim, const Words& a) { sim.Chatter(int(Number(a[0])), Number(a[1]) != 0); return Ok(); }},
    {"hang-up", 0, [](SimulatedController& sim, const Words&) { sim.HangUpNow(); return Ok(); }},
    {"hang-up-after-bytes", 1, [](SimulatedController& sim, const Words& a) { sim.HangUpAfterBytes(Number(a[0])); return Ok(); }},
    {"hung-up", 0, [](SimulatedController& sim, const Words&) { return Flag(sim.HungUp()); }},
    {"set-value", 3,
     [](SimulatedController& sim, const Words& a) {
         long value = Number(a[2]);
         return Console(sim, [&](ControllerConsole& c) { c.SetValue(a[0], a[1], value); });
     }},
    {"value", 2,
     [](SimulatedController& sim, const Words& a) {
         std::string value;
         sim.WithConsole([&](ControllerConsole& c) { value = c.Value(a[0], a[1]); });
         return Ok(ToHex(value));
     }},
    {"firmware", 1,
     [](SimulatedController& sim, const Words& a) {
         std::string version = Bytes(a[0]);
         return Console(sim, [&](ControllerConsole& c) { c.SetFirmware(version); });
     }},
    {"silent", 1,
     [](SimulatedController& sim, const Words& a) {
         bool silent = Number(a[0]) != 0;
         return Console(sim, [&](ControllerConsole& c) { c.SetSilent(silent); });
     }},
    {"garble", 1,
     [](SimulatedController& sim, const Words& a) {
         int count = int(Number(a[0]));
         return Console(sim, [&](ControllerConsole& c) { c.GarbleNextCommands(count); });
     }},
    {"noise", 0, [](SimulatedController& sim, const Words&) { return Console(sim, [](ControllerConsole& c) { c.InjectNoise(); }); }},
    {"reboot-on-command", 1,
     [](SimulatedController& sim, const Words& a) {
         int nth = int(Number(a[0]));
         return Console(sim, [&](ControllerConsole& c) { c.RebootOnCommand(nth); });
     }},
    {"hang-up-after-commands", 1,
     [](SimulatedController& sim, const Words& a) {
         int count = int(Number(a[0]));
         return Console(sim, [&](ControllerConsole& c) { c.HangUpAfterCommands(count); });
     }},
    {"status-course", 3,
     [](SimulatedController& sim, const Words& a) {
         long degrees = Number(a[0]), millivolts = Number(a[1]), errorAt = Number(a[2]);
         return Console(sim, [&](ControllerConsole& c) { c.SetStatusCourse(degrees, millivolts, errorAt); });
     }},
    {"password", 0,
     [](SimulatedController& sim, const Words&) {
         std::string password;
         sim.WithConsole([&](ControllerConsole& c) { password = c.Password(); });
         return Ok(ToHex(password));
     }},
    {"running", 0,
     [](SimulatedController& sim, const Words&) {
         bool running = false;
         sim.WithConsole([&](ControllerConsole& c) { running = c.Running(); });
         return Flag(running);
     }},
};
}  // namespace

ControlSession::ControlSession(PortNamer namer) : namer_(std::move(namer)) {}

ControlSession::~ControlSession() = default;

std::string ControlSession::Handle(const std::string& request) {
    Words words = SplitWords(request);
    try {
        if (!controller_ && !line_) return Make(words);
        return controller_ ? ForController(words) : ForLine(words);
    } catch (const std::exception& error) {
        return std::string("error ") + error.what();
    }
}

// "controller BAUD SEED" or "line"; the reply names the port and the terminal.
std::string ControlSession::Make(const Words& words) {
    std::string device;
    if (words[0] == "controller" && words.size() == 3) {
        controller_ = std::make_unique<SimulatedController>(unsigned(Number(words[1])), unsigned(Number(words[2])));
        device = controller_->SlavePath();
    } else if (words[0] == "line" && words.size() == 1) {
        line_ = std::make_unique<PtyPair>();
        device = line_->SlavePath();
    } else {
        return "error first make a controller or a line";
    }
    port_ = namer_(device);
    if (!port_) return "error no free port for " + device;
    return Ok(port_->Name() + " " + device);
}

std::string ControlSession::ForController(const Words& words) {
    for (const ControllerRequest& r : kControllerRequests) {
        if (words[0] == r.verb && words.size() == r.arguments + 1) {
            return r.serve(*controller_, Words(words.begin() + 1, words.end()));
        }
    }
    return "error not a controller request: " + words[0];
}

std::string ControlSession::ForLine(const Words& words) {
    if (words[0] == "write" && words.size() == 2) {
        line_->Write(Bytes(words[1]));
        return Ok();
    }
    if (words[0] == "read" && words.size() == 2) return Ok(ToHex(line_->ReadAvailable(int(Number(words[1])))));
    if (words[0] == "hang-up" && words.size() == 1) {
        line_->HangUp();
        return Ok();
    }
    return "error not a line request: " + words[0];
}
