#pragma once
// What the system has of serial ports, learnt without opening any port that is not
// ours: the kernel lists its terminals under /sys/class/tty (a built-in port without a
// UART has type 0) and names USB adapters under /dev/serial/by-id. A COMn entry of
// ZL_CONFIG_PORTS is ours and present when its link leads somewhere. Both roots can be
// moved, so tests describe a machine with a folder tree. Any thread.
#include <cstddef>
#include <string>

#include "platform/ErrorCodes.h"

struct DeviceRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
};

// Present: ZL_CONFIG_PORTS has it, or the kernel lists a real device for it. Unknown:
// the kernel lists no terminals at all (no /sys), so only an open can tell.
enum class PortPresence { Absent, Present, Unknown };
PortPresence ComPortPresence(unsigned number, const DeviceRoots& roots = DeviceRoots());

// "/dev/ttyUSB0 - FTDI FT232R USB UART A9XYZ" for a tool tip: the device and what it
// is, as far as the system says. Empty for a number without a device.
std::string DescribeComPort(unsigned number, const DeviceRoots& roots = DeviceRoots());

// Why a port could not be opened, in the user's terms, after an open of `name` (a
// "\\.\COMn" or a path) failed with `openError`.
// NotAPortName: neither a COM name Linux knows nor a path; NotAComName: Windows names
// its ports only COMn.
enum class PortProblem {
    NoName, NotAPortName, NotAComName, NoSuchDevice, PermissionDenied, InUse, NotATerminal, Other
};
struct PortDiagnosis {
    PortProblem problem = PortProblem::Other;
    std::string device;  // the path tried, or the name given when it names no device
    std::string group;   // with PermissionDenied: the group that may use the device
    ErrorCode error = kErrorSuccess;  // with Other: the open's error
};
PortDiagnosis DiagnosePortFailure(const char16_t* name, ErrorCode openError);
