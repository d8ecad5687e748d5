#pragma once
// What the program knows of the controller's 42 parameters: constant names and
// directories, and the last value text read or written (worker writes, dialogs read).
// One mutex guards the value texts; the constant tables are read without it.
#include <cstdint>

constexpr int kParameterCount = 42;
constexpr int kValueSize = 100;

// Parameter indexes the program uses by name.
enum ParameterIndex : int {
    ParamMode = 0,
    ParamTriggerSource = 1,
    ParamEdge = 2,
    ParamAutoStart = 3,
    ParamCurrent = 4,
    ParamDelay = 5,
    ParamTimeOn = 6,
    ParamCycleTime = 7,
    ParamDutyCycle = 8,
    ParamReadyOut = 9,
    ParamTriggerOut = 10,
    ParamStatusCurrent = 11,
    ParamTemperature = 12,
    ParamSupplyVoltage = 13,
    ParamEcho = 15,
    ParamBaud = 16,
    ParamError = 17,
};

// Directory codes; the name of directory c is kParameterNames[42 + c].
enum DirectoryCode : std::int32_t { DirRoot = 0, DirConfig = 1, DirStatus = 2, DirSystem = 3 };

extern const char kParameterNames[46][kValueSize];
extern const std::int32_t kParameterDirectories[kParameterCount];

// The directory name of parameter `index` (0 ... 41).
const char* ParameterDirectoryName(int index);

// Display form of a parameter into a 100-character buffer: the stored text, except
// DutyCycle (computed, "%.2f") and SupplyVoltage (millivolts as volts, "%.1f").
// False with `out` empty for an index outside 0 ... 41.
bool GetParameterText(int index, char* out);

// The stored text itself, without display conversion.
bool GetStoredParameterText(int index, char* out);

// Stores at most 99 characters of `text`. False for an index outside 0 ... 41.
bool SetParameterText(int index, const char* text);
