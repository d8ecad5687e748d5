#include "console/Commands.h"

#include <cstring>

#include "console/ReplyReader.h"
#include "platform/MessageSink.h"
#include "platform/Threading.h"
#include "serial/SerialReadln.h"
#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

const char* const kKnownFirmwareLines[3] = {
    "Firmware-Version ZL-500-40K 1.01",
    "Firmware-Version ZL-500-40K 1.02",
    "Firmware-Version ZL-500-40K 1.10",
};

namespace {
constexpr int kMaxAttempts = 4;
// Lines that merely continue an answer (echo, chatter); a controller that never stops
// talking would otherwise hold the exchange forever.
constexpr int kMaxLinesPerAttempt = 50;

const char* const kCommandTexts[] = {"", "Ver", "Stop", "Start", "Save", "FactorySettings"};

struct Attempt {
    bool success = false;
    bool error = false;
    bool retry = false;
    bool echoed = false;  // a line holding the command came back
};

// Takes up to 10 further lines of a controller message into the notice.
void Drain(Attempt& attempt) {
    attempt.error = true;
    AppendNoticeLine();
    int counter = 0;
    while (counter < 10) {
        ++counter;
        if (ReadConsoleLine() != 0) {
            AppendNoticeLine();
        } else {
            ++counter;
        }
        SleepMs(10);
    }
}

// The line of a parameter access, cut to 99 characters; false when the whole line and
// its line end do not fit into 99 (SendCommand would send a cut line without its end).
bool BuildParameterLine(char* line, int index, const char* value, std::size_t valueLength,
                        bool withPath) {
    line[0] = 0;
    if (withPath) {
        AppendText(line, "/", 1);
        AppendText(line, ParameterDirectoryName(index), kValueSize);
        AppendText(line, "/", 1);
    }
    AppendText(line, kParameterNames[index], kValueSize);
    AppendText(line, " ", 1);
    AppendText(line, value, valueLength);
    return strnlen(value, valueLength + 1) <= valueLength && std::strlen(line) + std::strlen(LineEnd) <= 99;
}

void StoreFirmwareLine() {
    SetSessionTextFromLine(SlotInfoLine);
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(ConsoleLine, kKnownFirmwareLines[i]) == 0) code = i + 1;
    }
    ControlBlock.firmwareCode = code;
    if (code == 0) AppendNotice(136);
}

// Follows the reply to one sent command line.
void FollowReply(CommandKind kind, int index, const char* value, Attempt& attempt) {
    const bool parameter = kind == CommandParameter;
    const char* name = parameter ? kParameterNames[index] : kCommandTexts[kind];
    auto holdsCommand = [&] {
        if (!std::strstr(ConsoleLine, name)) return false;
        return !parameter || std::strstr(ConsoleLine, value) != nullptr;
    };
    const bool slowReply = kind >= CommandStart;
    for (int lines = 0; lines < kMaxLinesPerAttempt && !ControlBlock.quit; ++lines) {
        if (slowReply) SleepMs(100);
        ReplyCode code = ClassifyReply(slowReply ? 300 : 100);
        switch (code) {
            case ReplyLogin:
            case ReplyPassword:
                ControlBlock.connectionLost = true;
                return;
            case ReplyFirmwareVersion:
                if (kind == CommandVer) {
                    StoreFirmwareLine();
                    attempt.success = true;
                } else {
                    attempt.error = true;
                }
                return;
            case ReplyPrompt:
                if (!holdsCommand()) {
                    attempt.retry = true;
                    return;
                }
                attempt.echoed = true;
                break;  // the echo of what was sent: the answer follows
            case ReplyValue:
                if (!parameter) {
                    Drain(attempt);
                } else if (holdsCommand()) {
                    if (ParseValueLine(index)) {
                        attempt.success = true;
                    } else {
                        attempt.error = true;
                    }
                } else {
                    attempt.retry = true;
                }
                return;
            case ReplyReboot:
                AppendNotice(137);
                ControlBlock.connectionLost = true;
                return;
            case ReplyOther:
                if (holdsCommand()) {
                    attempt.echoed = true;
                    break;
                }
                if (parameter) {
                    Drain(attempt);
                } else {
                    attempt.retry = true;
                }
                return;
            case ReplyNone:
                if (kind == CommandStop || kind == CommandStart || kind == CommandSave) {
                    attempt.success = true;
                } else {
                    attempt.retry = true;
                }
                return;
            default:
                if (code >= ReplyValueNotAccepted && code <= ReplyErrorOpening) {
                    Drain(attempt);
                } else {
                    attempt.error = true;  // listings, help and password prompts
                }
                return;
        }
        if (ControlBlock.connectionLost) return;
    }
    attempt.retry = true;
}
}  // namespace

CommandOutcome RunCommand(CommandKind kind, int index, MessageSink* window, const char* value,
                          std::size_t valueLength) {
    if (kind < CommandParameter || kind > CommandFactorySettings) return CommandOutcome::Unanswered;
    if (kind == CommandParameter && (index < 0 || index >= kParameterCount)) return CommandOutcome::Unanswered;
    char line[100];
    // The oldest firmware knows no paths: it is sent the bare name after a "cd".
    const bool changeDirectory = kind == CommandParameter && ControlBlock.firmwareCode == 1;
    if (kind == CommandParameter) {
        if (!BuildParameterLine(line, index, value, valueLength, !changeDirectory)) {
            AppendNotice(157);
            window->Post(MsgRefreshParameter, static_cast<std::uintptr_t>(index), 0);
            window->Post(MsgFocusParameter, static_cast<std::uintptr_t>(index), 0);
            return CommandOutcome::TooLong;
        }
    } else {
        CopyText(line, sizeof line, kCommandTexts[kind], 99);
    }

    Attempt attempt;
    for (int retries = 0;; ++retries) {
        ClearNotice();
        attempt = Attempt{};
        if (changeDirectory) {
            char cd[100] = "cd /";
            AppendText(cd, ParameterDirectoryName(index), kValueSize);
            AppendText(cd, LineEnd, 1);
            WriteToConsole(cd);
        }
        if (!SendCommand(line)) {
            ControlBlock.connectionLost = true;
            break;
        }
        FollowReply(kind, index, value, attempt);
        if (!DiscardConsoleInput()) {
            ControlBlock.connectionLost = true;  // the console never fell quiet
            break;
        }
        if (!attempt.retry || retries >= kMaxAttempts - 1 || ControlBlock.quit) break;
    }

    bool succeeded = attempt.success && !attempt.error && !attempt.retry &&
                     !ControlBlock.connectionLost;
    if (kind == CommandParameter) {
        window->Post(MsgRefreshParameter, static_cast<std::uintptr_t>(index), 0);
        if (!succeeded) window->Post(MsgFocusParameter, static_cast<std::uintptr_t>(index), 0);
    }
    if (ControlBlock.firmwareCode == 1) WriteToConsole("cd /\n");
    if (succeeded) return attempt.echoed || kind == CommandVer || kind == CommandParameter
                              ? CommandOutcome::Succeeded
                              : CommandOutcome::Unconfirmed;
    return attempt.error && !ControlBlock.connectionLost ? CommandOutcome::Refused : CommandOutcome::Unanswered;
}

const char* CommandText(CommandKind kind) {
    return kind > CommandParameter && kind <= CommandFactorySettings ? kCommandTexts[kind] : "";
}

bool FitsCommandLine(int index, const char* value) {
    if (index < 0 || index >= kParameterCount) return false;
    char line[100];
    return BuildParameterLine(line, index, value, kValueSize, ControlBlock.firmwareCode != 1);
}

bool ExecuteCommand(CommandKind kind, int index, MessageSink* window, const char* value,
                    std::size_t valueLength) {
    CommandOutcome outcome = RunCommand(kind, index, window, value, valueLength);
    return outcome == CommandOutcome::Succeeded || outcome == CommandOutcome::Unconfirmed;
}
