#pragma once
// The building blocks of every exchange with the controller's console, on the worker
// thread: take the next complete line into ConsoleLine and classify it, take a value
// out of a "<VAL>" line, and bring the console to a fresh prompt before sending one
// command. Every wait is bounded; nothing the controller sends can overrun a buffer.

// What a console line is, tested in this order; the first match counts.
enum ReplyCode : int {
    ReplyLogin = 0,
    ReplyPassword = 1,
    ReplyFirmwareVersion = 2,
    ReplyPrompt = 3,
    ReplyValue = 4,
    ReplyDirEntry = 5,
    ReplyExeEntry = 6,
    ReplyFileEntry = 7,
    ReplyHelp = 8,
    ReplyChangingPassword = 9,
    ReplyEnterOldPassword = 10,
    ReplyEnterNewPassword = 11,
    ReplyReenterNewPassword = 12,
    ReplyPasswordsMismatch = 13,
    ReplyDirectoryListing = 14,
    ReplyValueNotAccepted = 15,
    ReplyReadOnly = 16,
    ReplyAccessDenied = 17,
    ReplyAccessToDenied = 18,
    ReplyDirectoryUnknown = 19,
    ReplyCommandUnknown = 20,
    ReplyEntryUnknown = 21,
    ReplyOutOfRange = 22,
    ReplyErrorOpening = 23,
    ReplyReboot = 24,
    ReplyOther = 25,
    ReplyNone = 26,
};

// The line end of everything sent: a line feed alone.
extern const char LineEnd[];

// Pure classification of one line.
ReplyCode ClassifyLine(const char* line);

// Waits up to waitRounds + 1 steps of 10 ms for a complete line (fewer once the
// program is ending), leaves it in ConsoleLine and classifies it.
ReplyCode ClassifyReply(int waitRounds);

// Waits up to waitRounds + 1 steps of 10 ms until the console shows `prompt` as an
// unfinished line (it prints "Password:" and its kin without a line end and waits);
// the prompt stays in the receive buffer, to complete with the answer's echo. False
// at once when a complete line arrives first (left for ClassifyReply) or another
// prompt shows, and when the time runs out or the program is ending. A secret goes
// out only after this said true: typed at any other prompt it would be echoed and run.
bool AwaitPrompt(ReplyCode prompt, int waitRounds);

// Pure: the value of a "<VAL>" line naming parameter `index`, everything after the
// second blank, into a 100-character buffer. False for a line of another shape.
bool ExtractValue(const char* line, int index, char* value);

// ExtractValue on ConsoleLine, stored in the ParameterTable when it succeeds.
bool ParseValueLine(int index);

// Writes a whole text to SerialPort and pauses 100 ms, as every write to the console;
// the traffic log keeps it (a secret one, a password, as stars).
void WriteToConsole(const char* text);
void WriteSecretToConsole(const char* text);

// ReadLine into ConsoleLine and DiscardInput, with what they take kept in the traffic
// log.
int ReadConsoleLine();
bool DiscardConsoleInput();

// Sends one command line after seeing a fresh prompt; without the prompt, or when the
// console does not fall quiet first, it sets connectionLost and sends nothing but (at
// most) the empty line.
bool SendCommand(const char* command);
