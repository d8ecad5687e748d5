#include <cstring>

#include "console/ReplyReader.h"
#include "fuzz/Check.h"
#include "fuzz/Harnesses.h"
#include "state/ParameterTable.h"

int FuzzReplyLine(const std::uint8_t* data, std::size_t size) {
    // A line as the receive ring hands it over: up to its end (a line feed or a NUL),
    // without carriage returns, at most 99 characters.
    char line[kValueSize];
    std::size_t length = 0;
    for (std::size_t i = 0; i < size && data[i] != '\n' && data[i] != 0 && length < kValueSize - 1; ++i) {
        if (data[i] != '\r') line[length++] = static_cast<char>(data[i]);
    }
    line[length] = 0;

    ReplyCode code = ClassifyLine(line);
    FUZZ_CHECK(code >= ReplyLogin && code <= ReplyNone);
    FUZZ_CHECK((code == ReplyNone) == (length == 0));

    for (int index = -1; index <= kParameterCount; ++index) {
        char value[kValueSize];
        std::memset(value, 'Z', sizeof value);
        if (!ExtractValue(line, index, value)) continue;
        FUZZ_CHECK(index >= 0 && index < kParameterCount);
        FUZZ_CHECK(std::memchr(value, 0, sizeof value) != nullptr);
        std::size_t n = std::strlen(value);
        // The value is the end of the line, after its second blank.
        FUZZ_CHECK(n <= length && std::strcmp(line + length - n, value) == 0);
        FUZZ_CHECK(std::strstr(line, "<VAL>") != nullptr);
    }
    return 0;
}
