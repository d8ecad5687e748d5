#include "frontend/SmallDialogsLogic.h"

#include <string>

#include "frontend/UserRequests.h"
#include "platform/SerialPorts.h"
#include "resources/DialogTemplates.h"
#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

namespace {
// A control's text as a terminated wide text of at most 99 characters.
struct ControlText {
    ControlText(DialogView& view, int id) { view.GetControlText(id, buffer, 100); }
    char16_t buffer[100];
};

void ShowSessionText(DialogView& view, int slot, int control) {
    char16_t text[kSessionTextSize];
    GetSessionText(slot, text);
    view.SetControlText(control, text);
}

bool Equal(const char16_t* a, const char16_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}
}  // namespace

LoginLogic::LoginLogic(DialogView& view, Prompts& prompts, Memory& memory)
    : view(view), prompts(prompts), memory(memory) {}

void LoginLogic::Fill() {
    ShowSessionText(view, SlotUserName, IdUserName);
    ShowSessionText(view, SlotPassword, IdPassword);
    for (int i = 0; i < 100 && ControlBlock.portList[i] != 0; ++i) {
        ControlBlock.portCount = i + 1;
        const unsigned number = static_cast<unsigned>(ControlBlock.portList[i]);
        char16_t name[32];
        FormatText(name, 32, u"COM%u", number);
        // Which device the number is: the entry keeps the name the user types and stores.
        char16_t device[300];
        WidenUtf8(device, 300, DescribeComPort(number).c_str());
        view.AddListEntry(IdComPort, name, device);
    }
    ShowSessionText(view, SlotPortName, IdComPort);
    char16_t session[kSessionTextSize];
    char16_t remembered[kSessionTextSize];
    GetSessionText(SlotUserName, session);
    memory.Recall(RememberedItem::UserName, remembered, kSessionTextSize);
    if (Equal(session, kDefaultUserName) && remembered[0]) view.SetControlText(IdUserName, remembered);
    GetSessionText(SlotPortName, session);
    memory.Recall(RememberedItem::Port, remembered, kSessionTextSize);
    if (!session[0]) view.SetControlText(IdComPort, remembered);
    view.AddListEntry(IdBaud, u"9600", u"");
    view.AddListEntry(IdBaud, u"19200", u"");
    view.SetChoice(IdBaud, 1);
    view.FocusControl(IdUserName);
}

void LoginLogic::Submit() {
    if (submitted) return;
    submitted = true;
    ControlText user(view, IdUserName);
    ControlText password(view, IdPassword);
    ControlText port(view, IdComPort);
    ControlText baudText(view, IdBaud);
    char narrow[100];
    NarrowText(narrow, sizeof narrow, baudText.buffer);
    const int baud = TextToInteger(narrow);
    // The worker may close this dialog while the hand-over waits: only copies after it.
    if (unsigned refused = SubmitLogin(user.buffer, password.buffer, port.buffer, baud > 0 ? baud : 0)) {
        submitted = false;
        char16_t text[1000];
        LoadString(refused, text, 1000);
        prompts.ShowWarning(text);
        view.FocusControl(IdUserName);
        return;
    }
    memory.Remember(RememberedItem::UserName, user.buffer);
}

bool LoginLogic::Close() { return ConfirmExit(prompts); }

PasswordLogic::PasswordLogic(DialogView& view, Prompts& prompts) : view(view), prompts(prompts) {}

void PasswordLogic::Fill() {
    ShowSessionText(view, SlotCurrentPassword, IdCurrentPassword);
    ShowSessionText(view, SlotNewPassword, IdNewPassword);
    ShowSessionText(view, SlotNewPasswordAgain, IdNewPasswordAgain);
}

void PasswordLogic::Submit() {
    if (submitting) return;
    submitting = true;
    ControlText current(view, IdCurrentPassword);
    ControlText fresh(view, IdNewPassword);
    ControlText again(view, IdNewPasswordAgain);
    unsigned refused = SubmitPasswordChange(current.buffer, fresh.buffer, again.buffer);
    submitting = false;
    if (refused) {
        char16_t text[1000];
        LoadString(refused, text, 1000);
        prompts.ShowWarning(text);
        view.FocusControl(IdNewPassword);
    }
}

void PasswordLogic::Close() { ControlBlock.passwordDialogClosed = true; }

void FillAboutBox(DialogView& view) {
    char16_t name[100];
    char16_t part[100];
    LoadString(110, name, 100);
    for (unsigned id : {111u, 112u}) {
        LoadString(id, part, 100);
        std::size_t length = WideLength(name);
        CopyText(name + length, 100 - length, part, 100);
    }
    view.SetControlText(IdAboutName, name);
    const std::pair<int, unsigned> lines[] = {{IdAboutBlank, 113}, {IdAboutProduct, 114}, {IdAboutMaker, 115}};
    for (const auto& [control, id] : lines) {
        LoadString(id, part, 100);
        view.SetControlText(control, part);
    }
}

void CloseAboutBox() { ControlBlock.aboutClosed = true; }

void CloseHelp() { ControlBlock.helpClosed = true; }
