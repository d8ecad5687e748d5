#include "session/StatusPoll.h"

#include "console/Commands.h"

namespace {
ReadingKind KindOf(int index) {
    if (index == ParamSupplyVoltage) return ReadingKind::SupplyVoltage;
    if (index == ParamError) return ReadingKind::Error;
    return ReadingKind::Temperature;
}

double Stored(int index, bool* isNumber) {
    char text[kValueSize];
    GetStoredParameterText(index, text);
    double value = 0;
    *isNumber = ParseReadingNumber(text, &value);
    return value;
}
}  // namespace

bool ParseReadingNumber(const char* text, double* value) {
    const char* c = text;
    const bool negative = *c == '-';
    if (*c == '-' || *c == '+') ++c;
    double number = 0;
    int digits = 0;
    for (; *c >= '0' && *c <= '9' && digits < 18; ++c, ++digits) number = number * 10 + (*c - '0');
    if (digits > 0 && *c == '.') {
        const int whole = digits;
        double scale = 0.1;
        for (++c; *c >= '0' && *c <= '9' && digits < 18; ++c, ++digits, scale /= 10) number += (*c - '0') * scale;
        if (digits == whole) return false;  // "12." is no number the controller writes
    }
    if (digits == 0 || *c != 0) return false;
    *value = negative ? -number : number;
    return true;
}

bool PollStatus(int index, MessageSink* window, Reading* kept) {
    if (!ExecuteCommand(CommandParameter, index, window, "", 100)) return false;
    bool isNumber = false;
    Reading reading;
    reading.timeMs = NowMs();
    reading.kind = KindOf(index);
    reading.value = Stored(index, &isNumber);
    if (!isNumber) return false;
    // The controller counts millivolts; the window shows volts.
    if (index == ParamSupplyVoltage) reading.value /= 1000;
    StatusReadings.Add(reading);
    if (kept) *kept = reading;
    return true;
}

void RecordEvent(ReadingKind kind, int index) {
    Reading reading;
    reading.timeMs = NowMs();
    reading.kind = kind;
    if (kind == ReadingKind::Written) {
        bool isNumber = false;
        reading.parameter = index;
        reading.value = Stored(index, &isNumber);
        if (!isNumber) return;
    }
    StatusReadings.Add(reading);
}
