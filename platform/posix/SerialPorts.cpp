#include "platform/SerialPorts.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DeviceNames.h"

namespace {
bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The last part of a path.
std::string BaseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0" -> "FTDI FT232R USB UART A9XYZ".
std::string ReadableId(std::string id) {
    for (const char* bus : {"usb-", "pci-", "platform-"}) {
        if (id.rfind(bus, 0) == 0) {
            id.erase(0, std::strlen(bus));
            break;
        }
    }
    std::size_t interface = id.rfind("-if");
    if (interface != std::string::npos) id.erase(interface);
    for (char& c : id) {
        if (c == '_') c = ' ';
    }
    return id;
}

// The name /dev/serial/by-id gives the terminal `device` ("ttyUSB0"), if any.
std::string ByIdName(const DeviceRoots& roots, const std::string& device) {
    std::string dir = roots.dev + "/serial/by-id";
    std::string found;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            if (entry->d_name[0] == '.') continue;
            char target[PATH_MAX];
            ssize_t n = readlink((dir + "/" + entry->d_name).c_str(), target, sizeof target - 1);
            if (n <= 0) continue;
            target[n] = 0;
            if (BaseName(target) == device) {
                found = ReadableId(entry->d_name);
                break;
            }
        }
        closedir(d);
    }
    return found;
}
}  // namespace

PortPresence ComPortPresence(unsigned number, const DeviceRoots& roots) {
    char link[PATH_MAX];
    if (ComPortLink(number, link, sizeof link)) return Exists(link) ? PortPresence::Present : PortPresence::Absent;
    char device[32];
    if (!DefaultComDeviceName(number, device, sizeof device)) return PortPresence::Absent;
    const std::string terminals = roots.sys + "/class/tty";
    if (!Exists(terminals)) return PortPresence::Unknown;
    const std::string entry = terminals + "/" + device;
    if (!Exists(entry) || !Exists(roots.dev + "/" + device)) return PortPresence::Absent;
    // A built-in port the kernel found no UART for (type 0) fails every open.
    if (std::strncmp(device, "ttyS", 4) == 0 && Exists(entry + "/type") && FirstLine(entry + "/type") == "0") {
        return PortPresence::Absent;
    }
    return PortPresence::Present;
}

std::string DescribeComPort(unsigned number, const DeviceRoots& roots) {
    char link[PATH_MAX];
    if (ComPortLink(number, link, sizeof link)) {
        char target[PATH_MAX];
        if (!realpath(link, target)) return std::string();
        return std::string(target) + " - linked as COM" + std::to_string(number);
    }
    char device[32];
    if (!DefaultComDeviceName(number, device, sizeof device)) return std::string();
    std::string path = "/dev/" + std::string(device);
    std::string id = ByIdName(roots, device);
    if (!id.empty()) return path + " - " + id;
    if (std::strncmp(device, "ttyS", 4) == 0) return path + " - built-in serial port";
    if (std::strncmp(device, "ttyACM", 6) == 0) return path + " - USB modem-class serial";
    return path + " - USB serial";
}

PortDiagnosis DiagnosePortFailure(const char16_t* name, ErrorCode openError) {
    PortDiagnosis d;
    const char16_t* rest = WithoutDevicePrefix(name);
    char path[PATH_MAX];
    if (rest[0] == 0) {
        d.problem = PortProblem::NoName;
        return d;
    }
    if (!ResolveDeviceName(name, path, sizeof path)) {
        for (const char16_t* c = rest; *c; ++c) d.device += *c < 0x80 ? static_cast<char>(*c) : '?';
        d.problem = PortProblem::NotAPortName;
        return d;
    }
    d.device = path;
    struct stat info;
    if (stat(path, &info) != 0) {
        d.problem = PortProblem::NoSuchDevice;
        return d;
    }
    char real[PATH_MAX];
    if (realpath(path, real)) d.device = real;  // the device itself, not a link to it
    if (!S_ISCHR(info.st_mode)) {
        d.problem = PortProblem::NotATerminal;
        return d;
    }
    if (openError == kErrorAccessDenied) {
        // The same code stands for "you may not" and "another program has it".
        if (access(path, R_OK | W_OK) != 0 && errno == EACCES) {
            d.problem = PortProblem::PermissionDenied;
            group entry;
            group* found = nullptr;
            char buffer[4096];
            if (getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) == 0 && found) d.group = found->gr_name;
        } else {
            d.problem = PortProblem::InUse;
        }
        return d;
    }
    d.problem = openError == kErrorInvalidFunction ? PortProblem::NotATerminal : PortProblem::Other;
    d.error = openError;
    return d;
}
