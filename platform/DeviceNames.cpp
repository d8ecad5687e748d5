#include "platform/DeviceNames.h"

unsigned ComNumber(const char16_t* name) {
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; };
    if (upper(name[0]) != u'C' || upper(name[1]) != u'O' || upper(name[2]) != u'M') return 0;
    const char16_t* digits = name + 3;
    if (*digits < u'1' || *digits > u'9') return 0;
    unsigned number = 0;
    for (int i = 0; digits[i]; ++i) {
        if (i >= 3 || digits[i] < u'0' || digits[i] > u'9') return 0;
        number = number * 10 + static_cast<unsigned>(digits[i] - u'0');
    }
    return number;
}

const char16_t* WithoutDevicePrefix(const char16_t* name) {
    const char16_t prefix[] = u"\\\\.\\";
    for (int i = 0; i < 4; ++i) {
        if (name[i] != prefix[i]) return name;
    }
    return name + 4;
}
