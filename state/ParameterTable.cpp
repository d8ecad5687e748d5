#include "state/ParameterTable.h"

#include <cstdlib>
#include <mutex>

#include "state/TextOps.h"

const char kParameterNames[46][kValueSize] = {
    "Mode", "TriggerSource", "Edge", "AutoStart", "Current", "Delay", "TimeOn",
    "CycleTime", "DutyCycle", "ReadyOut", "TriggerOut", "Current", "Temperature",
    "SupplyVoltage", "", "Echo", "Baud", "Error", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "Config", "Status", "System",
};

const std::int32_t kParameterDirectories[kParameterCount] = {
    DirConfig, DirConfig, DirConfig, DirConfig, DirConfig, DirConfig, DirConfig,
    DirConfig, DirConfig, DirConfig, DirConfig, DirStatus, DirStatus, DirStatus,
    DirStatus, DirSystem, DirSystem, DirStatus,
    // 18 ... 41: unnamed, in the root
};

namespace {
std::mutex valueMutex;
char valueTable[kParameterCount][kValueSize];

bool ValidIndex(int index) { return index >= 0 && index < kParameterCount; }

// Caller holds valueMutex.
int StoredInteger(int index) { return TextToInteger(valueTable[index]); }
}  // namespace

const char* ParameterDirectoryName(int index) {
    if (!ValidIndex(index)) return kParameterNames[42];
    return kParameterNames[42 + kParameterDirectories[index]];
}

bool GetParameterText(int index, char* out) {
    out[0] = 0;
    if (!ValidIndex(index)) return false;
    std::lock_guard<std::mutex> lock(valueMutex);
    if (index == ParamDutyCycle) {
        float duty = 0.0f;
        if (StoredInteger(ParamMode) != 0) {
            duty = 100.0f;
        } else {
            float cycle = static_cast<float>(StoredInteger(ParamCycleTime));
            if (cycle > 0.0f) duty = static_cast<float>(StoredInteger(ParamTimeOn)) * 100.0f / cycle;
        }
        FormatText(out, kValueSize, "%.2f", static_cast<double>(duty));
    } else if (index == ParamSupplyVoltage) {
        float volts = static_cast<float>(StoredInteger(ParamSupplyVoltage)) / 1000.0f;
        FormatText(out, kValueSize, "%.1f", static_cast<double>(volts));
    } else {
        CopyText(out, kValueSize, valueTable[index], kValueSize - 1);
    }
    return true;
}

bool GetStoredParameterText(int index, char* out) {
    out[0] = 0;
    if (!ValidIndex(index)) return false;
    std::lock_guard<std::mutex> lock(valueMutex);
    CopyText(out, kValueSize, valueTable[index], kValueSize - 1);
    return true;
}

bool SetParameterText(int index, const char* text) {
    if (!ValidIndex(index)) return false;
    std::lock_guard<std::mutex> lock(valueMutex);
    CopyText(valueTable[index], kValueSize, text, kValueSize - 1);
    return true;
}
