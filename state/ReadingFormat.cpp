#include "state/ReadingFormat.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/LocalTime.h"
#include "resources/ParameterDisplay.h"
#include "resources/StringTable.h"
#include "state/ParameterTable.h"
#include "state/TextOps.h"

const char kReadingsCsvHeader[] = "time,temperature_c,supply_voltage_v,error,event";

namespace {
// Days since 1970-01-01 to a civil date, for any day and without the C library's
// shared state.
void CivilFromDays(std::int64_t days, int* year, unsigned* month, unsigned* day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Whole numbers without a fraction; others as the controller would write them.
std::string NumberText(double value) {
    char text[40];
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::floor(value)) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.6g", value);
    }
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Loaded(unsigned id) {
    char text[100];
    LoadString(id, text, sizeof text);
    return text;
}

const char* JsonKey(ReadingKind kind) {
    switch (kind) {
        case ReadingKind::Temperature: return "temperature";
        case ReadingKind::SupplyVoltage: return "supply_voltage";
        case ReadingKind::Error: return "error";
        default: return "event";
    }
}
}  // namespace

std::string IsoTimeUtc(std::int64_t timeMs) {
    const std::int64_t seconds = FloorDiv(timeMs, 1000);
    const std::int64_t days = FloorDiv(seconds, 86400);
    const auto inDay = static_cast<unsigned>(seconds - days * 86400);
    int year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02u:%02u:%02uZ", year, month, day, inDay / 3600,
                  inDay / 60 % 60, inDay % 60);
    return text;
}

std::string ReadingValueText(const Reading& reading) {
    if (reading.kind == ReadingKind::SupplyVoltage) {
        char text[40];
        // Rounded as the window rounds it, to single precision first.
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(static_cast<float>(reading.value)));
        return text;
    }
    return NumberText(reading.value);
}

std::string ReadingCaption(ReadingKind kind) {
    switch (kind) {
        case ReadingKind::Temperature: return ParameterCaption(ParamTemperature);
        case ReadingKind::SupplyVoltage: return ParameterCaption(ParamSupplyVoltage);
        case ReadingKind::Error: return ParameterCaption(ParamError);
        default: return std::string();
    }
}

std::string EventText(const Reading& reading) {
    switch (reading.kind) {
        case ReadingKind::Written: {
            const std::string value = NumberText(reading.value);
            char text[300];
            const std::string format = Loaded(183);
            std::snprintf(text, sizeof text, format.c_str(), ParameterCaption(reading.parameter).c_str(),
                          ParameterShownValue(reading.parameter, value.c_str()).c_str());
            return text;
        }
        case ReadingKind::Started: return Loaded(173);
        case ReadingKind::Stopped: return Loaded(175);
        default: return std::string();
    }
}

std::string CsvLine(const Reading& reading) {
    std::string line = IsoTimeUtc(reading.timeMs);
    const std::string value = ReadingValueText(reading);
    switch (reading.kind) {
        case ReadingKind::Temperature: return line + "," + value + ",,,";
        case ReadingKind::SupplyVoltage: return line + ",," + value + ",,";
        case ReadingKind::Error: return line + ",,," + value + ",";
        default: return line + ",,,," + CsvField(EventText(reading));
    }
}

std::string JsonLine(const Reading& reading) {
    const bool poll = reading.kind <= ReadingKind::Error;
    return "{\"time\":" + JsonQuoted(IsoTimeUtc(reading.timeMs)) + ",\"" + JsonKey(reading.kind) +
           "\":" + (poll ? ReadingValueText(reading) : JsonQuoted(EventText(reading))) + "}";
}

std::string TextLine(const Reading& reading) {
    std::tm local{};
    char when[40] = "";
    if (ToLocalTime(static_cast<std::time_t>(FloorDiv(reading.timeMs, 1000)), &local)) {
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    }
    if (reading.kind > ReadingKind::Error) return std::string(when) + "  " + EventText(reading);
    return std::string(when) + "  " + ReadingCaption(reading.kind) + ": " + ReadingValueText(reading);
}
