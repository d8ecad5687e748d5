#include "sim/WinePort.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

bool MapWineComPort(const std::string& device, unsigned number) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return false;
    // The registry is where wine keeps its ports (its services rewrite the device links
    // from it); the link, made after, is what the running wine server uses at once.
    std::string add = "wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM" + std::to_string(number) +
                      " /t REG_SZ /d " + device + " /f >/dev/null 2>&1 </dev/null";
    if (std::system(add.c_str()) != 0) return false;
    std::filesystem::path link = std::filesystem::path(prefix) / "dosdevices" / ("com" + std::to_string(number));
    std::error_code failed;
    std::filesystem::remove(link, failed);
    std::filesystem::create_symlink(device, link, failed);
    return !failed;
}
