#include "support/System.h"

#include <filesystem>
#include <unistd.h>

bool UnderWine() { return false; }

std::string NarrowPath(const std::filesystem::path& path) { return path.string(); }

const char* NullDevice() { return "/dev/null"; }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }
