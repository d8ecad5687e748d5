#pragma once
// One simulated controller, or one bare line whose far end the test works itself,
// driven by text requests (sim/ControlProtocol.h) for a test that cannot hold it in
// its own process: zl-sim --control serves one to each connection of a Windows test
// under wine, and the Linux tests drive theirs in process through the same requests.
// The first request makes the object and puts its terminal on a port; both live as
// long as the session. One caller at a time.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/Pty.h"
#include "sim/SimulatedController.h"

// A port name held for a terminal; given back when destroyed.
class PortClaim {
public:
    virtual ~PortClaim() = default;
    virtual std::string Name() const = 0;  // "COM45"
};
// Puts the terminal `device` on a port; nullptr when none is free.
using PortNamer = std::function<std::unique_ptr<PortClaim>(const std::string& device)>;

class ControlSession {
public:
    explicit ControlSession(PortNamer namer);
    ~ControlSession();
    ControlSession(const ControlSession&) = delete;
    ControlSession& operator=(const ControlSession&) = delete;

    // A reply for every request, "error ..." for one it cannot serve.
    std::string Handle(const std::string& request);

private:
    std::string Make(const std::vector<std::string>& words);
    std::string ForController(const std::vector<std::string>& words);
    std::string ForLine(const std::vector<std::string>& words);

    PortNamer namer_;
    std::unique_ptr<SimulatedController> controller_;
    std::unique_ptr<PtyPair> line_;
    std::unique_ptr<PortClaim> port_;  // last, so the port is given back first
};
