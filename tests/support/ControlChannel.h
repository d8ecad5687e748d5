#pragma once
// How a Simulator or a BareLine reaches what it stands for. On Linux: a ControlSession
// in the test's own process, whose terminals are linked as COMn in a folder of the
// process's that ZL_CONFIG_PORTS names. Under wine, where a test cannot run the Linux
// simulator: a connection to the zl-sim --control that the test runner started
// (ZL_SIM_CONTROL, tests/support/wine/with-simulators), whose terminals are COM ports of
// the wine prefix. One file a system (posix/, win32/), picked by CMake.
#include <memory>
#include <string>

class ControlChannel {
public:
    // Throws when there is nothing to reach.
    static std::unique_ptr<ControlChannel> Open();
    virtual ~ControlChannel() = default;
    // One request line, its reply line (sim/ControlProtocol.h); throws when the
    // channel broke.
    virtual std::string Ask(const std::string& request) = 0;
};

// The device a program opens for a terminal put on `port`, as the system names it
// after "\\.\": the terminal's path on Linux, the port itself on Windows.
std::string DeviceOnThisSystem(const std::string& port, const std::string& terminal);
