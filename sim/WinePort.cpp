#include "sim/WinePort.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr unsigned kFirstPoolPort = 40;
constexpr unsigned kLastPoolPort = 89;

// Points `link` at `target`, in one step for anyone opening it.
bool Retarget(const fs::path& link, const fs::path& target) {
    fs::path fresh = link.string() + ".new";
    std::error_code failed;
    fs::remove(fresh, failed);
    fs::create_symlink(target, fresh, failed);
    if (!failed) fs::rename(fresh, link, failed);
    return !failed;
}

class WineClaim : public PortClaim {
public:
    WineClaim(unsigned number, int lock, fs::path link) : number_(number), lock_(lock), link_(std::move(link)) {}
    ~WineClaim() override {
        // Free ports lead nowhere: a port scan must not find them.
        Retarget(link_, link_.string() + ".free");
        close(lock_);
    }
    std::string Name() const override { return "COM" + std::to_string(number_); }

private:
    unsigned number_;
    int lock_;
    fs::path link_;
};
}  // namespace

bool MapWineComPort(const std::string& device, unsigned number) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return false;
    // The registry is where wine keeps its ports (its services rewrite the device links
    // from it); the link, made after, is what the running wine server uses at once.
    std::string add = "wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM" + std::to_string(number) +
                      " /t REG_SZ /d " + device + " /f >/dev/null 2>&1 </dev/null";
    if (std::system(add.c_str()) != 0) return false;
    fs::path link = fs::path(prefix) / "dosdevices" / ("com" + std::to_string(number));
    std::error_code failed;
    fs::remove(link, failed);
    fs::create_symlink(device, link, failed);
    return !failed;
}

std::unique_ptr<PortClaim> ClaimWineComPort(const std::string& device) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return nullptr;
    fs::path pool = fs::path(prefix) / "zl-ports";
    std::error_code failed;
    fs::create_directories(pool, failed);
    for (unsigned n = kFirstPoolPort; n <= kLastPoolPort; ++n) {
        fs::path link = pool / ("COM" + std::to_string(n));
        int lock = open((link.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock < 0) continue;
        if (flock(lock, LOCK_EX | LOCK_NB) != 0) {  // another simulator has it
            close(lock);
            continue;
        }
        // The link exists once the port is mapped to it.
        bool mapped = fs::is_symlink(fs::symlink_status(link, failed)) || MapWineComPort(link.string(), n);
        if (mapped && Retarget(link, device)) return std::make_unique<WineClaim>(n, lock, link);
        close(lock);
    }
    return nullptr;
}
