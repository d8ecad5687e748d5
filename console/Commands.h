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

// How an exchange ended, for callers that tell the user more than success.
enum class CommandOutcome {
    Succeeded,
    Refused,     // the controller answered with a complaint (its lines are in the notice)
    Unanswered,  // no usable answer after every attempt, or the line was lost
    TooLong,     // the command line does not fit with its line end: nothing was sent
    // Stop, Start, Save: sent, but not even the echo came back. Silence after a command
    // is the controller's success, so ExecuteCommand says true; a report says the truth.
    Unconfirmed,
};

// "Stop", "Start", ... for the commands that have a text of their own.
const char* CommandText(CommandKind kind);

// One exchange. `window` gets MsgRefreshParameter (and MsgFocusParameter on failure)
// for parameter accesses. A parameter line that does not fit a console line with its
// line end is never sent (a cut line would set another value): that access fails at
// once with string 157 appended to the notice.
CommandOutcome RunCommand(CommandKind kind, int index, MessageSink* window, const char* value,
                          std::size_t valueLength);

// True when a write of `value` to parameter `index` fits one console line with its line
// end (as RunCommand would build it for the firmware known now).
bool FitsCommandLine(int index, const char* value);

// RunCommand, true on success (an unconfirmed Stop, Start or Save included).
bool ExecuteCommand(CommandKind kind, int index, MessageSink* window, const char* value,
                    std::size_t valueLength);
