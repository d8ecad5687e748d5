#pragma once
// The hidden main window: class and title "ZL-Config", never shown, the one target of
// the worker's posts (WM_USER+1 ... WM_USER+17). It creates and destroys the five
// dialogs on the worker's request and hands the display messages to the main dialog.
// The message loop and the event pump of AcquireBusy run here too.
#include <windows.h>

#include <memory>
#include <vector>

#include "frontend/DialogRoutes.h"
#include "platform/MessageSink.h"

class DialogWindow;
class MainWindow;

class HiddenWindow : public MessageSink {
public:
    HiddenWindow();
    ~HiddenWindow() override;  // destroys the dialogs still open
    bool Create();
    HWND Handle() const { return window; }
    // Any thread.
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The dialog of a slot, or nullptr.
    HWND Dialog(DialogSlot slot) const;

    // Runs the message loop until the program ends (the exit question, or WM_QUIT).
    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Create(DialogSlot slot);
    void Destroy(DialogSlot slot);
    void Collect();
    friend void CollectRetiredDialogs();
    friend void PumpMessages();
    friend HWND ProgramTopWindow(HWND fallback);
    bool Dispatch(MSG& message);

    HWND window = nullptr;
    std::unique_ptr<DialogWindow> dialogs[kDialogSlotCount];
    std::vector<std::unique_ptr<DialogWindow>> retired;
};

// The dialog kept on top while one shows (the login dialog, the About box), else
// `fallback`: what a message box must be owned by to be seen.
HWND ProgramTopWindow(HWND fallback);
// Deletes the retired dialogs none of whose handlers runs any more (posted, so that it
// happens once the handler that asked has returned).
void CollectRetiredDialogs();
// The event pump of a hand-over that waits for busy on this thread.
void PumpMessages();
