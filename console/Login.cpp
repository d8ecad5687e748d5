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

void BeginAttempt() {
    WriteToConsole(LineEnd);
    DiscardInput();
    WriteToConsole(LineEnd);
    ClearNotice();
}

// Sends `line` and checks the reply against `expected`.
bool Answer(const char* line, int waitRounds, ReplyCode expected) {
    WriteToConsole(line);
    return ClassifyReply(waitRounds) == expected;
}

// The last step of a login path: the prompt is success, "Access denied!" is noted.
bool Accepted(const char* line) {
    WriteToConsole(line);
    ReplyCode code = ClassifyReply(200);
    if (code == ReplyAccessDenied) SetNotice(138);
    return code == ReplyPrompt;
}

bool LoginAttempt(const char* userLine, const char* passwordLine, const char* suLine) {
    BeginAttempt();
    switch (ClassifyReply(100)) {
        case ReplyLogin:
            return Answer(userLine, 200, ReplyLogin) && Answer(passwordLine, 200, ReplyPassword) &&
                   Accepted(LineEnd);
        case ReplyPrompt:
            return Answer(suLine, 200, ReplyPrompt) && Answer(passwordLine, 300, ReplyPassword) &&
                   Accepted("cd /\n");
        default:
            return false;
    }
}

bool PasswordAttempt(const char* currentLine, const char* newLine) {
    BeginAttempt();
    if (ClassifyReply(200) != ReplyPrompt) return false;
    WriteToConsole("passwd\n");
    if (ClassifyReply(500) != ReplyPrompt || ClassifyReply(500) != ReplyChangingPassword) return false;
    if (!Answer(currentLine, 500, ReplyEnterOldPassword)) return false;
    WriteToConsole(newLine);
    ReplyCode code = ClassifyReply(500);
    if (code == ReplyAccessDenied) SetNotice(138);  // wrong current password
    if (code != ReplyEnterNewPassword) return false;
    return Answer(newLine, 500, ReplyReenterNewPassword) && Answer(LineEnd, 500, ReplyPrompt);
}

bool MayRetry(int attempt) { return attempt < kMaxAttempts - 1 && !ControlBlock.quit; }
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

    for (int attempt = 0;; ++attempt) {
        if (LoginAttempt(userLine, passwordLine, suLine)) {
            SetSessionText(SlotUserName, kDefaultUserName);
            SetSessionText(SlotPassword, kDefaultPassword);
            return true;
        }
        if (!MayRetry(attempt)) break;
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
    for (int attempt = 0;; ++attempt) {
        if (PasswordAttempt(currentLine, newLine)) {
            SetNotice(141);
            return true;
        }
        if (!MayRetry(attempt)) break;
    }
    AppendNotice(142);
    return false;
}
