#include "platform/DeviceNames.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {
// UTF-16 to UTF-8; false when it does not fit.
bool ToUtf8(const char16_t* text, char* out, std::size_t capacity) {
    std::size_t n = 0;
    auto put = [&](unsigned char c) {
        if (n + 1 >= capacity) return false;
        out[n++] = static_cast<char>(c);
        return true;
    };
    for (; *text; ++text) {
        std::uint32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        }
        bool ok = true;
        if (c < 0x80) {
            ok = put(static_cast<unsigned char>(c));
        } else if (c < 0x800) {
            ok = put(0xC0 | (c >> 6)) && put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            ok = put(0xE0 | (c >> 12)) && put(0x80 | ((c >> 6) & 0x3F)) && put(0x80 | (c & 0x3F));
        } else {
            ok = put(0xF0 | (c >> 18)) && put(0x80 | ((c >> 12) & 0x3F)) &&
                 put(0x80 | ((c >> 6) & 0x3F)) && put(0x80 | (c & 0x3F));
        }
        if (!ok) return false;
    }
    if (capacity == 0) return false;
    out[n] = 0;
    return true;
}

}  // namespace

bool DefaultComDeviceName(unsigned number, char* name, std::size_t capacity) {
    const char* base = nullptr;
    unsigned index = 0;
    if (number >= 1 && number <= 32) {
        base = "ttyS";
        index = number - 1;
    } else if (number >= 33 && number <= 64) {
        base = "ttyUSB";
        index = number - 33;
    } else if (number >= 65 && number <= 96) {
        base = "ttyACM";
        index = number - 65;
    } else {
        return false;
    }
    int n = std::snprintf(name, capacity, "%s%u", base, index);
    return n > 0 && static_cast<std::size_t>(n) < capacity;
}

bool ComPortLink(unsigned number, char* path, std::size_t capacity) {
    const char* dir = std::getenv("ZL_CONFIG_PORTS");
    if (!dir || capacity == 0) return false;
    int n = std::snprintf(path, capacity, "%s/COM%u", dir, number);
    struct stat info;
    if (n > 0 && static_cast<std::size_t>(n) < capacity && lstat(path, &info) == 0) return true;
    path[0] = 0;
    return false;
}

bool ResolveDeviceName(const char16_t* name, char* path, std::size_t capacity) {
    if (capacity == 0) return false;
    path[0] = 0;
    const char16_t* rest = WithoutDevicePrefix(name);
    if (rest[0] == u'/') return ToUtf8(rest, path, capacity);

    unsigned number = ComNumber(rest);
    if (number == 0) return false;
    if (ComPortLink(number, path, capacity)) return true;
    char device[32];
    if (!DefaultComDeviceName(number, device, sizeof device)) return false;
    int n = std::snprintf(path, capacity, "/dev/%s", device);
    return n > 0 && static_cast<std::size_t>(n) < capacity;
}
