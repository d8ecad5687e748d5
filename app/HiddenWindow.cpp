#include "app/HiddenWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "resources/DialogTemplates.h"
#include "ui/AppMessage.h"
#include "ui/MainDialog.h"
#include "ui/Remembered.h"
#include "ui/SmallDialogs.h"

HiddenWindow::HiddenWindow() { setWindowTitle(QStringLiteral("ZL-Config")); }

HiddenWindow::~HiddenWindow() {
    // The worker's destroy messages after the loop has ended are never processed.
    for (QPointer<QDialog>& dialog : dialogs) delete dialog.data();
}

void HiddenWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    QCoreApplication::postEvent(this, new AppMessageEvent(message, wParam, lParam));
}

void HiddenWindow::customEvent(QEvent* event) {
    if (event->type() != AppMessageEvent::Type()) return;
    auto* m = static_cast<AppMessageEvent*>(event);
    Handle(m->message, m->wParam, m->lParam);
}

void HiddenWindow::Handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case MsgCreateAbout: Create(SlotAbout); break;
        case MsgCreateLogin: Create(SlotLogin); break;
        case MsgCreateMain: Create(SlotMain); break;
        case MsgCreateHelp: Create(SlotHelp); break;
        case MsgCreatePassword:
            Create(SlotPassword);
            Destroy(SlotAbout);
            break;
        case MsgDestroyAbout: Destroy(SlotAbout); break;
        case MsgDestroyLogin: Destroy(SlotLogin); break;
        case MsgDestroyMain: Destroy(SlotMain); break;
        case MsgDestroyHelp: Destroy(SlotHelp); break;
        case MsgDestroyPassword: Destroy(SlotPassword); break;
        case MsgSessionOpen:
        case MsgSessionClosed:
        case MsgShowInfoLine:
        case MsgRefreshParameter:
        case MsgShowNotice:
        case MsgFocusParameter:
        case MsgShowStatus:
            // Without a main dialog there is nobody to show these to.
            if (dialogs[SlotMain]) {
                QCoreApplication::postEvent(dialogs[SlotMain], new AppMessageEvent(message, wParam, lParam));
            }
            break;
        default: break;
    }
}

void HiddenWindow::Create(Slot slot) {
    if (dialogs[slot]) return;
    QDialog* dialog = nullptr;
    int templateId = 0;
    switch (slot) {
        case SlotAbout: dialog = new AboutDialog; templateId = DialogAbout; break;
        case SlotLogin: dialog = new LoginDialog; templateId = DialogLogin; break;
        case SlotMain: dialog = new MainDialog; templateId = DialogMain; break;
        case SlotHelp: dialog = new HelpDialog; templateId = DialogHelp; break;
        case SlotPassword: dialog = new PasswordDialog; templateId = DialogPassword; break;
        case SlotCount: return;
    }
    dialogs[slot] = dialog;
    dialog->adjustSize();
    std::optional<QPoint> remembered = slot == SlotMain ? Remembered::MainPosition() : std::nullopt;
    if (remembered && QGuiApplication::screenAt(*remembered + dialog->rect().center())) {
        dialog->move(*remembered);  // where the user left it, while that is on a screen
    } else if (FindDialogTemplate(templateId)->style & DialogCentered) {
        // Over the main window where it is shown (the user looks there), else on the screen.
        QDialog* main = dialogs[SlotMain];
        if (main && main != dialog && main->isVisible()) {
            dialog->move(main->frameGeometry().center() - dialog->rect().center());
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            dialog->move(screen->availableGeometry().center() - dialog->rect().center());
        }
    }
    dialog->show();
}

void HiddenWindow::Destroy(Slot slot) {
    if (!dialogs[slot]) return;
    QDialog* dialog = dialogs[slot];
    dialogs[slot] = nullptr;
    dialog->hide();
    // Deleted once control is back in the event loop: its own handler may be on the
    // stack (a hand-over that waited for busy kept events flowing).
    dialog->deleteLater();
}
