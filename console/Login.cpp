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

// The same for a password, which the traffic log must not keep. It goes out only once
// the console asks for it: at any other prompt it would be echoed in clear and run.
bool AnswerSecret(ReplyCode prompt, const char* line, int waitRounds, ReplyCode expected) {
    if (!AwaitPrompt(prompt, waitRounds)) return false;
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
            return Outcome(Answer(userLine, 200, ReplyLogin) &&
                           AnswerSecret(ReplyPassword, passwordLine, 200, ReplyPassword) && Accepted(LineEnd));
        case ReplyPrompt:
            return Outcome(Answer(suLine, 200, ReplyPrompt) &&
                           AnswerSecret(ReplyPassword, passwordLine, 300, ReplyPassword) && Accepted("cd /\n"));
        default:
            return Attempt::Failed;
    }
}

// How a passwd attempt ended: `silent` when a step waited in vain for the console
// (the line may be gone); `repeated` once the repeated new password went out, after
// which the unit may have taken it even if its prompt never came back.
struct PasswordAttemptEnd {
    bool silent = false;
    bool repeated = false;  // an attempt fell silent after the repeated new password
};

bool PasswordStep(ReplyCode code, ReplyCode expected, PasswordAttemptEnd& end) {
    if (code == ReplyNone) end.silent = true;
    return code == expected;
}

// A secret after its prompt; nothing within the wait counts as silence.
bool PasswordSecret(ReplyCode prompt, const char* line, ReplyCode expected, PasswordAttemptEnd& end) {
    if (!AwaitPrompt(prompt, 500)) {
        // What came instead: "Access denied!" after a wrong current password.
        ReplyCode code = ClassifyReply(0);
        if (code == ReplyAccessDenied) SetNotice(138);
        if (code == ReplyNone && SerialPort.PendingChars() == 0) end.silent = true;
        return false;
    }
    WriteSecretToConsole(line);
    if (expected == ReplyReenterNewPassword) end.repeated = true;
    return PasswordStep(ClassifyReply(500), expected, end);
}

bool PasswordSteps(const char* currentLine, const char* newLine, PasswordAttemptEnd& end) {
    if (!PasswordStep(ClassifyReply(200), ReplyPrompt, end)) return false;
    WriteToConsole("passwd\n");
    if (!PasswordStep(ClassifyReply(500), ReplyPrompt, end) ||
        !PasswordStep(ClassifyReply(500), ReplyChangingPassword, end)) {
        return false;
    }
    if (!PasswordSecret(ReplyEnterOldPassword, currentLine, ReplyEnterOldPassword, end) ||
        !PasswordSecret(ReplyEnterNewPassword, newLine, ReplyEnterNewPassword, end) ||
        !PasswordSecret(ReplyReenterNewPassword, newLine, ReplyReenterNewPassword, end)) {
        return false;
    }
    WriteToConsole(LineEnd);
    return PasswordStep(ClassifyReply(500), ReplyPrompt, end);
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

PasswordChange RunPasswordChange() {
    char current[100], fresh[100], again[100];
    GetSessionTextNarrow(SlotCurrentPassword, current);
    GetSessionTextNarrow(SlotNewPassword, fresh);
    GetSessionTextNarrow(SlotNewPasswordAgain, again);
    if (std::strcmp(fresh, again) != 0) {
        SetNotice(140);
        return PasswordChange::Refused;
    }
    char currentLine[100], newLine[100];
    MakeLine(currentLine, current);
    MakeLine(newLine, fresh);
    PasswordAttemptEnd last;
    bool repeated = false;  // an attempt fell silent after the repeated new password
    bool changed = Attempts([&] {
        last = PasswordAttemptEnd{};
        if (!BeginAttempt()) {
            last.silent = true;
            return Attempt::Hopeless;
        }
        Attempt result = Outcome(PasswordSteps(currentLine, newLine, last));
        // The unit changes its password on the repeated one; silence after it leaves
        // that open, whatever later attempts meet.
        repeated = repeated || (last.repeated && last.silent);
        return result;
    });
    if (changed) {
        SetNotice(141);
        return PasswordChange::Changed;
    }
    AppendNotice(142);
    if (repeated) return PasswordChange::Unconfirmed;
    return last.silent ? PasswordChange::Unanswered : PasswordChange::Refused;
}

bool ChangePassword() { return RunPasswordChange() == PasswordChange::Changed; }
