#pragma once
// One exchange with the controller: read or write a parameter, ask for the firmware
// version, or Stop, Start, Save, FactorySettings. Sends the line, follows the reply
// line by line, retries up to three times, stores what it learnt and leaves the
// controller's complaints in the pending notice. Worker thread only.
#include <cstddef>

class MessageSink;

enum CommandKind : int {
    CommandParameter = 0,
    CommandVer = 1,
    CommandStop = 2,
    CommandStart = 3,
    CommandSave = 4,
    CommandFactorySettings = 5,
};

// The three firmware lines the program knows, as firmwareCode 1, 2 and 3.
extern const char* const kKnownFirmwareLines[3];

// True only on success. `window` gets MsgRefreshParameter (and MsgFocusParameter on
// failure) for parameter accesses.
bool ExecuteCommand(CommandKind kind, int index, MessageSink* window, const char* value,
                    std::size_t valueLength);
