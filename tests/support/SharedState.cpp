#include "support/SharedState.h"

#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "state/TextOps.h"

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


std::string PendingNoticeText() {
    char16_t text[kNoticeSize];
    CopyPendingNotice(text);
    return Utf8Of(text);
}

std::string SessionTextUtf8(int slot) {
    char16_t text[kSessionTextSize];
    GetSessionText(slot, text);
    return Utf8Of(text);
}

std::string ParameterValue(int index) {
    char text[kValueSize];
    GetParameterText(index, text);
    return text;
}

std::string StatusText() {
    char16_t text[kStatusTextSize];
    GetStatusText(text);
    return Utf8Of(text);
}

std::string CurrentFile() {
    char16_t text[kStatusTextSize];
    GetCurrentFile(text);
    return Utf8Of(text);
}
