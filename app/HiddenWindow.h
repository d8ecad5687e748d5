#pragma once
// The hidden main window: never shown, the one target of the worker's posts. On the
// user interface thread it creates and destroys the five dialogs on the worker's
// request and forwards the display messages to the main dialog.
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include "frontend/DialogRoutes.h"
#include "platform/MessageSink.h"

class QDialog;

class HiddenWindow : public QWidget, public MessageSink {
public:
    HiddenWindow();
    ~HiddenWindow() override;  // closes the dialogs still open when the program ends
    // Any thread: queues the message for the user interface thread.
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    QDialog* Dialog(DialogSlot slot) const { return dialogs[static_cast<int>(slot)]; }

protected:
    void customEvent(QEvent* event) override;

private:
    void Handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void Create(DialogSlot slot);
    void Destroy(DialogSlot slot);
    QPointer<QDialog>& At(DialogSlot slot) { return dialogs[static_cast<int>(slot)]; }

    QPointer<QDialog> dialogs[kDialogSlotCount];
};
