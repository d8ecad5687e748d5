#include "frontend/UserRequests.h"

#include <string>

#include "frontend/DialogView.h"
#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "state/TextOps.h"

bool ConfirmExit(Prompts& prompts) {
    if (!prompts.AskYesNo(153, true)) return false;
    // Set before the loop ends: a hand-over waiting for busy, the worker waiting for
    // the controller or for a notice box, all end on it.
    ControlBlock.quit = true;
    return true;
}

void ConfirmFactoryReset(Prompts& prompts) {
    // An Enter by habit must not wipe the unit.
    if (prompts.AskYesNo(152, false)) ControlBlock.factoryResetRequest = true;
}

void ShowPendingNotice(Prompts& prompts) {
    if (!NoticePending() || ControlBlock.quit) return;
    static char16_t text[kNoticeSize];  // user interface thread only
    CopyPendingNotice(text);
    prompts.ShowWarning(text);
    EmptyNotice();
}

namespace {
bool fileCommandActive = false;  // user interface thread only

// The chosen path into the chooser record; a path that does not fit is refused, said
// so: cut, it would name another file.
bool Choose(Prompts& prompts, bool save) {
    std::string path;
    if (!prompts.ChooseFile(save, nullptr, &path)) return false;
    if (path.size() >= static_cast<std::size_t>(kFilePathSize)) {
        char16_t text[400];
        LoadString(save ? 143 : 147, text, 200);
        std::size_t length = WideLength(text);
        text[length++] = u'\n';
        LoadString(161, text + length, sizeof text / sizeof text[0] - length);
        prompts.ShowWarning(text);
        return false;
    }
    CopyText(fileChooser.path, kFilePathSize, path.c_str(), kFilePathSize - 1);
    return true;
}
}  // namespace

void RequestFileCommand(Prompts& prompts, bool save, bool reuseName) {
    if (fileCommandActive) return;
    fileCommandActive = true;
    if (AcquireBusyForSession()) {
        bool chosen = (reuseName && fileChooser.path[0] != 0) || Choose(prompts, save);
        // The session may have ended while the chooser was open.
        if (chosen && ControlBlock.loggedIn) {
            (save ? ControlBlock.saveFileRequest : ControlBlock.openFileRequest) = true;
        } else {
            ReleaseBusy();
        }
    }
    fileCommandActive = false;
}
