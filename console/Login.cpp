#include "console/Login.h"

#include <cstring>

#include "console/ReplyReader.h"
#include "serial/SerialReadln.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

namespace {
constexpr int kMaxAttempts = 4;

// A line to send: the text, then a line end unless it already has one.
void MakeLine(char* line, const char* text) {
    CopyText(line, 100, text, 99);
    std::size_t length = std::strlen(line);
    if (length == 0 || line[length - 1] != '\n') AppendText(line, LineEnd, 1);
}

enum class Attempt { Succeeded, Failed, Hopeless };

// The start of every attempt: two empty lines around a drain, and a clean notice.
// False when the console never fell quiet: another attempt would fare no better.
bool BeginAttempt() {
    WriteToConsole(LineEnd);
    bool quiet = DiscardConsoleInput();
    if (quiet) WriteToConsole(LineEnd);
    ClearNotice();
    return quiet;
}

// Sends `line` and checks the reply against `expected`.
bool Answer(const char* line, int waitRounds, ReplyCode expected) {
    WriteToConsole(line);
    return ClassifyReply(waitRounds) == expected;
}

// The same for a password, which the traffic log must not keep.
bool AnswerSecret(const char* line, int waitRounds, ReplyCode expected) {
    WriteSecretToConsole(line);
    return ClassifyReply(waitRounds) == expected;
}

// The last step of a login path: the prompt is success, "Access denied!" is noted.
bool Accepted(const char* line) {
    WriteToConsole(line);
    ReplyCode code = ClassifyReply(200);
    if (code == ReplyAccessDenied) SetNotice(138);
    return code == ReplyPrompt;
}

Attempt Outcome(bool succeeded) { return succeeded ? Attempt::Succeeded : Attempt::Failed; }

Attempt LoginAttempt(const char* userLine, const char* passwordLine, const char* suLine) {
    if (!BeginAttempt()) return Attempt::Hopeless;
    switch (ClassifyReply(100)) {
        case ReplyLogin:
            return Outcome(Answer(userLine, 200, ReplyLogin) && AnswerSecret(passwordLine, 200, ReplyPassword) &&
                           Accepted(LineEnd));
        case ReplyPrompt:
            return Outcome(Answer(suLine, 200, ReplyPrompt) && AnswerSecret(passwordLine, 300, ReplyPassword) &&
                           Accepted("cd /\n"));
        default:
            return Attempt::Failed;
    }
}

bool PasswordSteps(const char* currentLine, const char* newLine) {
    if (ClassifyReply(200) != ReplyPrompt) return false;
    WriteToConsole("passwd\n");
    if (ClassifyReply(500) != ReplyPrompt || ClassifyReply(500) != ReplyChangingPassword) return false;
    if (!AnswerSecret(currentLine, 500, ReplyEnterOldPassword)) return false;
    WriteSecretToConsole(newLine);
    ReplyCode code = ClassifyReply(500);
    if (code == ReplyAccessDenied) SetNotice(138);  // wrong current password
    if (code != ReplyEnterNewPassword) return false;
    return AnswerSecret(newLine, 500, ReplyReenterNewPassword) && Answer(LineEnd, 500, ReplyPrompt);
}

Attempt PasswordAttempt(const char* currentLine, const char* newLine) {
    if (!BeginAttempt()) return Attempt::Hopeless;
    return Outcome(PasswordSteps(currentLine, newLine));
}

// Up to four attempts; none more once the console proved hopeless or the program ends.
template <typename Run>
bool Attempts(Run run) {
    for (int attempt = 0;; ++attempt) {
        Attempt result = run();
        if (result == Attempt::Succeeded) return true;
        if (result == Attempt::Hopeless || attempt >= kMaxAttempts - 1 || ControlBlock.quit) return false;
    }
}
}  // namespace

bool Login() {
    char user[100], password[100], su[100] = "su ";
    GetSessionTextNarrow(SlotUserName, user);
    GetSessionTextNarrow(SlotPassword, password);
    AppendText(su, user, 100);
    char userLine[100], passwordLine[100], suLine[100];
    MakeLine(userLine, user);
    MakeLine(passwordLine, password);
    MakeLine(suLine, su);

    if (Attempts([&] { return LoginAttempt(userLine, passwordLine, suLine); })) {
        SetSessionText(SlotUserName, kDefaultUserName);
        SetSessionText(SlotPassword, kDefaultPassword);
        return true;
    }
    AppendNotice(139);
    return false;
}

bool ChangePassword() {
    char current[100], fresh[100], again[100];
    GetSessionTextNarrow(SlotCurrentPassword, current);
    GetSessionTextNarrow(SlotNewPassword, fresh);
    GetSessionTextNarrow(SlotNewPasswordAgain, again);
    if (std::strcmp(fresh, again) != 0) {
        SetNotice(140);
        return false;
    }
    char currentLine[100], newLine[100];
    MakeLine(currentLine, current);
    MakeLine(newLine, fresh);
    if (Attempts([&] { return PasswordAttempt(currentLine, newLine); })) {
        SetNotice(141);
        return true;
    }
    AppendNotice(142);
    return false;
}
