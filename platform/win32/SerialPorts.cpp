// Windows: COMn is the system's own name for a port. Which ports exist only an open can
// tell (the scan probes them), and the registry's list of serial devices says which
// device each COM name stands for.
#include "platform/SerialPorts.h"

#include <windows.h>

#include "platform/DeviceNames.h"

namespace {
std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}
}  // namespace

PortPresence ComPortPresence(unsigned, const DeviceRoots&) { return PortPresence::Unknown; }

std::string DescribeComPort(unsigned number, const DeviceRoots&) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::string();
    }
    const std::string com = "COM" + std::to_string(number);
    std::string device;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof data[0];  // room for a terminator
        DWORD type = 0;
        LONG e = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (e == ERROR_NO_MORE_ITEMS) break;
        if (e != ERROR_SUCCESS || type != REG_SZ) continue;
        if (Narrow(data) == com) {
            device = Narrow(name);  // "\Device\Serial0", "\Device\VCP0", ...
            break;
        }
    }
    RegCloseKey(key);
    return device;
}

PortDiagnosis DiagnosePortFailure(const char16_t* name, ErrorCode openError) {
    PortDiagnosis d;
    const char16_t* rest = WithoutDevicePrefix(name);
    for (const char16_t* c = rest; *c; ++c) d.device += *c < 0x80 ? static_cast<char>(*c) : '?';
    if (rest[0] == 0) {
        d.problem = PortProblem::NoName;
    } else if (ComNumber(rest) == 0) {
        d.problem = PortProblem::NotAComName;
    } else if (openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND) {
        d.problem = PortProblem::NoSuchDevice;
    } else if (openError == ERROR_ACCESS_DENIED || openError == ERROR_SHARING_VIOLATION) {
        // A port is opened for exclusive use: denied means another program has it.
        d.problem = PortProblem::InUse;
    } else if (openError == ERROR_INVALID_FUNCTION || openError == ERROR_NOT_SUPPORTED) {
        d.problem = PortProblem::NotATerminal;
    } else {
        d.error = openError;
    }
    return d;
}
