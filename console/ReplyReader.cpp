#include "console/ReplyReader.h"

#include <cstring>

#include "console/TrafficLog.h"
#include "platform/Event.h"
#include "platform/Threading.h"
#include "serial/SerialReadln.h"
#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/TextOps.h"

const char LineEnd[] = "\n";

namespace {
struct ReplyTest {
    ReplyCode code;
    const char* first;
    const char* second;  // must also be present when not null
};

constexpr ReplyTest kReplyTests[] = {
    {ReplyLogin, "Login:", nullptr},
    {ReplyPassword, "Password:", nullptr},
    {ReplyFirmwareVersion, "Firmware-Version", nullptr},
    {ReplyPrompt, "ZL-500-40K", ">"},
    {ReplyValue, "<VAL>", nullptr},
    {ReplyDirEntry, "<DIR>", nullptr},
    {ReplyExeEntry, "<EXE>", nullptr},
    {ReplyFileEntry, "<FIL>", nullptr},
    {ReplyHelp, "Help for commands/parameters:", nullptr},
    {ReplyChangingPassword, "Changing password for ", nullptr},
    {ReplyEnterOldPassword, "Enter old password:", nullptr},
    {ReplyEnterNewPassword, "Enter new password:", nullptr},
    {ReplyReenterNewPassword, "Re-enter new password:", nullptr},
    {ReplyPasswordsMismatch, "Passwords mismatch!", nullptr},
    {ReplyDirectoryListing, "Directory listing of ", nullptr},
    {ReplyValueNotAccepted, "Value not accepted!", nullptr},
    {ReplyReadOnly, "Read-only parameter!", nullptr},
    {ReplyAccessDenied, "Access denied!", nullptr},
    {ReplyAccessToDenied, "Access to '", "' denied!"},
    {ReplyDirectoryUnknown, "Directory '", "' unknown!"},
    {ReplyCommandUnknown, "Command/parameter '", "' unknown!"},
    {ReplyEntryUnknown, "Entry '", "' unknown!"},
    {ReplyOutOfRange,
     "Failure! One or more values of this configuration out of range! Refer manual for the limits.",
     nullptr},
    {ReplyErrorOpening, "Error opening '", nullptr},
    {ReplyReboot, "Reboot...", nullptr},
};
static_assert(sizeof kReplyTests / sizeof kReplyTests[0] == 25, "codes 0 ... 24 are tested");
}  // namespace

ReplyCode ClassifyLine(const char* line) {
    if (line[0] == 0) return ReplyNone;
    for (const ReplyTest& test : kReplyTests) {
        if (std::strstr(line, test.first) && (!test.second || std::strstr(line, test.second))) {
            return test.code;
        }
    }
    return ReplyOther;
}

ReplyCode ClassifyReply(int waitRounds) {
    ConsoleLine[0] = 0;
    while (ReadConsoleLine() == 0) {
        // A program that is ending does not wait out the controller.
        if (waitRounds < 0 || ControlBlock.quit.load()) break;
        --waitRounds;
        SleepMs(10);
    }
    return ClassifyLine(ConsoleLine);
}

bool AwaitPrompt(ReplyCode prompt, int waitRounds) {
    for (;; --waitRounds) {
        char unfinished[kLineBufferSize];
        if (!SerialPort.PeekUnfinishedLine(unfinished)) return false;
        ReplyCode shown = ClassifyLine(unfinished);
        if (shown == prompt) return true;
        // Still arriving ("Pass"), or nothing yet; any other prompt is a wrong turn.
        if (shown != ReplyOther && shown != ReplyNone) return false;
        if (waitRounds < 0 || ControlBlock.quit.load()) return false;
        SleepMs(10);
    }
}

int ReadConsoleLine() {
    int count = ReadLine(ConsoleLine);
    if (count != 0) LogReceived(ConsoleLine);
    return count;
}

bool DiscardConsoleInput() { return DiscardInput(LogReceived); }

bool ExtractValue(const char* line, int index, char* value) {
    if (index < 0 || index >= kParameterCount) return false;
    if (!std::strstr(line, "<VAL>") || !std::strstr(line, kParameterNames[index])) return false;
    int blanks = 0;
    int position = 0;
    while (position < kValueSize && line[position] != 0 && blanks < 2) {
        if (line[position] == ' ') ++blanks;
        ++position;
    }
    if (blanks != 2) return false;
    CopyText(value, kValueSize, line + position, kValueSize - 1);
    return true;
}

bool ParseValueLine(int index) {
    char value[kValueSize];
    if (!ExtractValue(ConsoleLine, index, value)) return false;
    return SetParameterText(index, value);
}

namespace {
void Write(const char* text, bool secret) {
    LogSent(text, secret);
    SerialPort.Write(text, static_cast<std::uint32_t>(std::strlen(text)), nullptr, nullptr, kInfinite);
    SleepMs(100);
}
}  // namespace

void WriteToConsole(const char* text) { Write(text, false); }

void WriteSecretToConsole(const char* text) { Write(text, true); }

bool SendCommand(const char* command) {
    char line[100];
    CopyText(line, sizeof line, command, 99);
    if (std::strlen(line) < 99) AppendText(line, LineEnd, 1);
    // A console that never falls quiet is as good as one that shows no prompt.
    if (!DiscardConsoleInput()) {
        ControlBlock.connectionLost = true;
        return false;
    }
    WriteToConsole(LineEnd);
    if (ClassifyReply(100) != ReplyPrompt) {
        ControlBlock.connectionLost = true;
        return false;
    }
    WriteToConsole(line);
    return true;
}
