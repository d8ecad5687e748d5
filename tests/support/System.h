#pragma once
// What differs for a test between the systems it runs on.
#include <filesystem>
#include <string>

// True for a Windows test running under wine rather than on Windows.
bool UnderWine();
// A path as the program's narrow texts hold it (a file chooser's result): UTF-8 on
// Linux, the ANSI code page on Windows.
std::string NarrowPath(const std::filesystem::path& path);
// The system's device that reads as empty.
const char* NullDevice();
unsigned long ProcessId();

// A fresh folder for this test process's files, named after `purpose`; the caller
// removes it.
inline std::string MakeTestFolder(const std::string& purpose) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (purpose + "-" + std::to_string(ProcessId()));
    std::filesystem::create_directories(folder);
    return folder.string();
}
