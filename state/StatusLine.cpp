#include "state/StatusLine.h"

#include <cstdarg>
#include <cstring>
#include <mutex>

#include "resources/StringTable.h"
#include "state/TextOps.h"

namespace {
std::mutex statusMutex;
char16_t statusText[kStatusTextSize];
char16_t currentFile[kStatusTextSize];

void Store(char16_t* slot, const char* utf8) {
    char16_t wide[kStatusTextSize];
    WidenUtf8(wide, kStatusTextSize, utf8);
    std::lock_guard<std::mutex> lock(statusMutex);
    CopyText(slot, kStatusTextSize, wide, kStatusTextSize);
}

void Load(const char16_t* slot, char16_t* out) {
    std::lock_guard<std::mutex> lock(statusMutex);
    CopyText(out, kStatusTextSize, slot, kStatusTextSize);
}
}  // namespace

void SetStatusText(unsigned id, ...) {
    char text[kStatusTextSize];
    va_list args;
    va_start(args, id);
    FormatString(id, text, sizeof text, args);
    va_end(args);
    Store(statusText, text);
}

void SetCurrentFile(const char* path) { Store(currentFile, FileNameOf(path)); }

const char* FileNameOf(const char* path) {
    // Windows takes either separator; on Linux a backslash is part of a name.
#ifdef _WIN32
    const char* separators = "\\/";
#else
    const char* separators = "/";
#endif
    const char* name = path;
    for (const char* c = path; *c; ++c) {
        if (std::strchr(separators, *c)) name = c + 1;
    }
    return name;
}

void GetStatusText(char16_t* out) { Load(statusText, out); }

void GetCurrentFile(char16_t* out) { Load(currentFile, out); }
