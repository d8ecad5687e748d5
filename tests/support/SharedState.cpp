#include "support/SharedState.h"

#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"

void ResetSharedState() {
    ControlBlockStore& cb = ControlBlock;
    {
        std::lock_guard<std::mutex> lock(cb.mutex);
        cb.busy = false;
    }
    for (RequestFlag* flag :
         {&cb.quit, &cb.loggedIn, &cb.connectionLost, &cb.aboutRequest, &cb.aboutClosed,
          &cb.helpRequest, &cb.helpClosed, &cb.loginRequest, &cb.logoutRequest,
          &cb.factoryResetRequest, &cb.passwordDialogRequest, &cb.passwordDialogClosed,
          &cb.passwordChangeRequest, &cb.saveFileRequest, &cb.stopRequest, &cb.startRequest,
          &cb.saveRequest, &cb.openFileRequest, &cb.writeRequest}) {
        flag->store(false);
    }
    cb.firmwareCode = 0;
    cb.pendingWriteIndex = 0;
    cb.pendingWriteText[0] = 0;
    cb.baud = 0;
    for (int i = 0; i < kParameterCount; ++i) SetParameterText(i, "");
    for (int i = 0; i < kSessionTextCount; ++i) SetSessionText(i, u"");
    ClearNotice();
    ConsoleLine[0] = 0;
    FillFileChooser();
    SetStatusText(0);  // no such string: empty
    SetCurrentFile("");
}

namespace {
std::string Utf8(const char16_t* text) {
    std::string out;
    for (; *text; ++text) {
        char16_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
}  // namespace

std::string PendingNoticeText() {
    char16_t text[kNoticeSize];
    CopyPendingNotice(text);
    return Utf8(text);
}

std::string SessionTextUtf8(int slot) {
    char16_t text[kSessionTextSize];
    GetSessionText(slot, text);
    return Utf8(text);
}

std::string ParameterValue(int index) {
    char text[kValueSize];
    GetParameterText(index, text);
    return text;
}

std::string StatusText() {
    char16_t text[kStatusTextSize];
    GetStatusText(text);
    return Utf8(text);
}

std::string CurrentFile() {
    char16_t text[kStatusTextSize];
    GetCurrentFile(text);
    return Utf8(text);
}
