#include "support/System.h"

#include <filesystem>
#include <unistd.h>

bool UnderWine() { return false; }

std::string NarrowPath(const std::filesystem::path& path) { return path.string(); }

const char* NullDevice() { return "/dev/null"; }

std::string MakeTestFolder(const std::string& purpose) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (purpose + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder.string();
}
