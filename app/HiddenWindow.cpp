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
    const DialogRoute route = RouteMessage(message);
    if (route.create) Create(*route.create);
    if (route.destroy) Destroy(*route.destroy);
    // Without a main dialog there is nobody to show these to.
    if (route.toMain && Dialog(DialogSlot::Main)) {
        QCoreApplication::postEvent(Dialog(DialogSlot::Main), new AppMessageEvent(message, wParam, lParam));
    }
}

void HiddenWindow::Create(DialogSlot slot) {
    if (At(slot)) return;
    QDialog* dialog = nullptr;
    switch (slot) {
        case DialogSlot::About: dialog = new AboutDialog; break;
        case DialogSlot::Login: dialog = new LoginDialog; break;
        case DialogSlot::Main: dialog = new MainDialog; break;
        case DialogSlot::Help: dialog = new HelpDialog; break;
        case DialogSlot::Password: dialog = new PasswordDialog; break;
    }
    const int templateId = TemplateOf(slot);
    At(slot) = dialog;
    dialog->adjustSize();
    std::optional<QPoint> remembered = slot == DialogSlot::Main ? Remembered::MainPosition() : std::nullopt;
    if (remembered && QGuiApplication::screenAt(*remembered + dialog->rect().center())) {
        dialog->move(*remembered);  // where the user left it, while that is on a screen
    } else if (FindDialogTemplate(templateId)->style & DialogCentered) {
        // Over the main window where it is shown (the user looks there), else on the screen.
        QDialog* main = Dialog(DialogSlot::Main);
        if (main && main != dialog && main->isVisible()) {
            dialog->move(main->frameGeometry().center() - dialog->rect().center());
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            dialog->move(screen->availableGeometry().center() - dialog->rect().center());
        }
    }
    dialog->show();
}

void HiddenWindow::Destroy(DialogSlot slot) {
    if (!At(slot)) return;
    QDialog* dialog = At(slot);
    At(slot) = nullptr;
    dialog->hide();
    // Deleted once control is back in the event loop: its own handler may be on the
    // stack (a hand-over that waited for busy kept events flowing).
    dialog->deleteLater();
}
