#include "state/TextOps.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {
template <typename Char>
ErrorCode CopyBounded(Char* dest, std::size_t capacity, const Char* source,
                      std::size_t maxSource) {
    if (capacity == 0 || capacity > kMaxTextCapacity) return kStatusInvalidArg;
    std::size_t i = 0;
    while (i < maxSource && source[i] != 0) {
        if (i + 1 >= capacity) {
            dest[i] = 0;
            return kStatusInsufficientBuffer;
        }
        dest[i] = source[i];
        ++i;
    }
    dest[i] = 0;
    return kStatusOk;
}
}  // namespace

ErrorCode CopyText(char* dest, std::size_t capacity, const char* source, std::size_t maxSource) {
    return CopyBounded(dest, capacity, source, maxSource);
}

ErrorCode CopyText(char16_t* dest, std::size_t capacity, const char16_t* source,
                   std::size_t maxSource) {
    return CopyBounded(dest, capacity, source, maxSource);
}

ErrorCode AppendText(char* dest, const char* source, std::size_t maxSource) {
    constexpr std::size_t kCapacity = 100;
    if (maxSource > kMaxTextCapacity - 1) return kStatusInvalidArg;
    std::size_t length = 0;
    while (length < kCapacity && dest[length] != 0) ++length;
    if (length == kCapacity) return kStatusInvalidArg;
    return CopyText(dest + length, kCapacity - length, source, maxSource);
}

ErrorCode FormatText(char* dest, std::size_t capacity, const char* format, ...) {
    if (capacity == 0 || capacity > kMaxTextCapacity) return kStatusInvalidArg;
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(dest, capacity, format, args);
    va_end(args);
    if (written < 0) {
        dest[0] = 0;
        return kStatusInsufficientBuffer;
    }
    return static_cast<std::size_t>(written) >= capacity ? kStatusInsufficientBuffer : kStatusOk;
}

ErrorCode FormatText(char16_t* dest, std::size_t capacity, const char16_t* format, ...) {
    if (capacity == 0 || capacity > kMaxTextCapacity) return kStatusInvalidArg;
    constexpr std::size_t kScratch = 1024;
    char narrowFormat[kScratch];
    NarrowText(narrowFormat, kScratch, format);
    char output[kScratch];
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(output, kScratch, narrowFormat, args);
    va_end(args);
    if (written < 0) {
        dest[0] = 0;
        return kStatusInsufficientBuffer;
    }
    WidenText(dest, capacity, output);
    bool cut = static_cast<std::size_t>(written) >= capacity ||
               static_cast<std::size_t>(written) >= kScratch;
    return cut ? kStatusInsufficientBuffer : kStatusOk;
}

std::size_t WideLength(const char16_t* text) {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void WidenText(char16_t* dest, std::size_t capacity, const char* source) {
    if (capacity == 0) return;
    std::size_t i = 0;
    for (; i + 1 < capacity && source[i] != 0; ++i) {
        dest[i] = static_cast<char16_t>(static_cast<unsigned char>(source[i]));
    }
    dest[i] = 0;
}

namespace {
void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}  // namespace

std::string Utf8Of(const char16_t* text) {
    std::string out;
    for (; *text; ++text) AppendUtf8(out, *text);
    return out;
}

std::string Latin1ToUtf8(const char* text) {
    std::string out;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) AppendUtf8(out, *c);
    return out;
}

void WidenUtf8(char16_t* dest, std::size_t capacity, const char* source) {
    if (capacity == 0) return;
    const auto* s = reinterpret_cast<const unsigned char*>(source);
    std::size_t n = 0;
    auto put = [&](char32_t c) {
        if (c >= 0x10000) {
            if (n + 2 >= capacity) return false;
            c -= 0x10000;
            dest[n++] = static_cast<char16_t>(0xD800 + (c >> 10));
            dest[n++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            return true;
        }
        if (n + 1 >= capacity) return false;
        dest[n++] = static_cast<char16_t>(c);
        return true;
    };
    while (*s) {
        int extra = *s >= 0xF0 && *s < 0xF5 ? 3 : *s >= 0xE0 ? 2 : *s >= 0xC2 && *s < 0xE0 ? 1 : 0;
        char32_t c = extra == 3 ? (*s & 0x07) : extra == 2 ? (*s & 0x0F) : (*s & 0x1F);
        int k = 1;
        for (; extra > 0 && k <= extra && (s[k] & 0xC0) == 0x80; ++k) c = (c << 6) | (s[k] & 0x3F);
        bool valid = extra > 0 && k == extra + 1 && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF &&
                     !(extra == 2 && c < 0x800) && !(extra == 3 && c < 0x10000);
        if (!put(valid ? c : static_cast<char32_t>(*s))) break;
        s += valid ? extra + 1 : 1;
    }
    dest[n] = 0;
}

void NarrowText(char* dest, std::size_t capacity, const char16_t* source) {
    if (capacity == 0) return;
    std::size_t i = 0;
    for (; i + 1 < capacity && source[i] != 0; ++i) {
        char16_t c = source[i];
        dest[i] = c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
    }
    dest[i] = 0;
}

int TextToInteger(const char* text) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (value > 2147483647L) return 2147483647;
    if (value < -2147483647L - 1) return -2147483647 - 1;
    return static_cast<int>(value);
}

namespace {
// The length of the well-formed UTF-8 sequence at `at` (no overlong form, no
// surrogate, nothing above U+10FFFF), 0 when the bytes there do not decode.
std::size_t Utf8SequenceAt(const unsigned char* at, const unsigned char* end) {
    if (at[0] < 0x80) return 1;
    std::size_t length = at[0] >= 0xF0 ? 4 : at[0] >= 0xE0 ? 3 : at[0] >= 0xC2 ? 2 : 0;
    if (length == 0 || at[0] > 0xF4 || static_cast<std::size_t>(end - at) < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80) return 0;
    }
    if (at[0] == 0xE0 && at[1] < 0xA0) return 0;  // overlong
    if (at[0] == 0xED && at[1] >= 0xA0) return 0;  // surrogate
    if (at[0] == 0xF0 && at[1] < 0x90) return 0;  // overlong
    if (at[0] == 0xF4 && at[1] >= 0x90) return 0;  // above U+10FFFF
    return length;
}
}  // namespace

// A JSON string: valid UTF-8 whatever the bytes (a path or an argument in another
// encoding); a byte that does not decode stands for its Latin-1 character, as the
// controller's text does.
std::string JsonQuoted(const std::string& text) {
    std::string out = "\"";
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        const unsigned char c = *at;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (std::size_t length = Utf8SequenceAt(at, end)) {
            out.append(reinterpret_cast<const char*>(at), length);
            at += length;
            continue;
        } else {
            const char latin1[2] = {static_cast<char>(c), 0};
            out += Latin1ToUtf8(latin1);
        }
        ++at;
    }
    return out + "\"";
}
