// Linux: the simulator in the test's own process. Its terminals are linked as COM1,
// COM2, ... in a folder of this process's that ZL_CONFIG_PORTS names, as a wine prefix
// maps them for a Windows program.
#include "support/ControlChannel.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unistd.h>

#include "sim/ControlSession.h"

namespace fs = std::filesystem;

namespace {
std::mutex portsMutex;

fs::path PortsFolder() { return fs::temp_directory_path() / ("zl-ports-" + std::to_string(getpid())); }

class LinkedPort : public PortClaim {
public:
    LinkedPort(unsigned number, fs::path link) : number_(number), link_(std::move(link)) {}
    ~LinkedPort() override {
        std::lock_guard<std::mutex> lock(portsMutex);
        std::error_code failed;
        fs::remove(link_, failed);
        fs::remove(link_.parent_path(), failed);  // once it is empty
    }
    std::string Name() const override { return "COM" + std::to_string(number_); }

private:
    unsigned number_;
    fs::path link_;
};

std::unique_ptr<PortClaim> LinkPort(const std::string& device) {
    std::lock_guard<std::mutex> lock(portsMutex);
    fs::path folder = PortsFolder();
    std::error_code failed;
    fs::create_directories(folder, failed);
    // Set only when it differs: other threads may be reading it.
    const char* current = std::getenv("ZL_CONFIG_PORTS");
    if (!current || folder.string() != current) setenv("ZL_CONFIG_PORTS", folder.c_str(), 1);
    for (unsigned n = 1; n <= 96; ++n) {
        fs::path link = folder / ("COM" + std::to_string(n));
        if (fs::is_symlink(fs::symlink_status(link, failed))) continue;
        fs::create_symlink(device, link, failed);
        if (failed) return nullptr;
        return std::make_unique<LinkedPort>(n, link);
    }
    return nullptr;
}

class LocalChannel : public ControlChannel {
public:
    LocalChannel() : session_(LinkPort) {}
    std::string Ask(const std::string& request) override { return session_.Handle(request); }

private:
    ControlSession session_;
};
}  // namespace

std::unique_ptr<ControlChannel> ControlChannel::Open() { return std::make_unique<LocalChannel>(); }

std::string DeviceOnThisSystem(const std::string&, const std::string& terminal) { return terminal; }
