#pragma once
// The status polls of an open session, kept: one of Temperature, SupplyVoltage and
// Error at a time, in that rotation, each reading kept in the status store with its
// time; and the session's events beside them. Used by the worker and by zl-cli monitor,
// so both take the same readings.
#include "state/ParameterTable.h"
#include "state/Readings.h"

class MessageSink;

constexpr int kPolledParameters[3] = {ParamTemperature, ParamSupplyVoltage, ParamError};

// Reads parameter `index` (one of the three) as any read goes, and keeps the reading
// when the controller gave a number. True, with the reading in `kept` if given, when
// one was kept.
bool PollStatus(int index, MessageSink* window, Reading* kept = nullptr);

// Keeps an event: a write of parameter `index` the controller confirmed (its value as
// now stored), or a start or stop.
void RecordEvent(ReadingKind kind, int index = -1);

// A value text as a number: an optional sign, digits, an optional fraction, nothing
// else; false for anything else.
bool ParseReadingNumber(const char* text, double* value);
