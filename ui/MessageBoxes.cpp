#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "platform/Threading.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "ui/DialogBuilder.h"

namespace {
bool AskYesNo(QWidget* owner, unsigned textId, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::Question, LoadQString(135), LoadQString(textId),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName(QStringLiteral("question"));
    box.setDefaultButton(defaultButton);
    return box.exec() == QMessageBox::Yes;
}

// The program's top-most window: a dialog kept on top (the login dialog, the About
// box) while one is shown, else `owner`. A window manager keeps a box in its owner's
// layer, so a box owned by the main dialog would open behind the login dialog, which
// then ignores every click: the program looks frozen.
QWidget* TopWindow(QWidget* owner) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint) && qobject_cast<QDialog*>(w) &&
            !qobject_cast<QMessageBox*>(w)) {
            return w;
        }
    }
    return owner;
}
}  // namespace

void ShowWarning(QWidget* owner, const QString& text) {
    QPointer<QWidget> top = TopWindow(owner);
    QMessageBox box(QMessageBox::Warning, LoadQString(135), text, QMessageBox::Ok, top);
    box.setObjectName(QStringLiteral("notice"));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    box.exec();
    // The window below takes the keyboard back (the login dialog in its user name).
    if (top) {
        top->raise();
        top->activateWindow();
    }
}

void ShowNotice(QWidget* owner) {
    // Once the program is ending the worker drops its notice instead of waiting.
    if (!NoticePending() || ControlBlock.quit) return;
    static char16_t text[kNoticeSize];  // user interface thread only
    CopyPendingNotice(text);
    ShowWarning(owner, QString::fromUtf16(text));
    EmptyNotice();
}

void ConfirmFactoryReset(QWidget* owner) {
    // It wipes the controller's settings and password: an Enter by habit must not do it.
    if (AskYesNo(owner, 152, QMessageBox::No)) ControlBlock.factoryResetRequest = true;
}

void ConfirmExit(QWidget* owner) {
    if (!AskYesNo(owner, 153, QMessageBox::Yes)) return;
    // Every wait ends on quit (a hand-over waiting for busy, the worker waiting for the
    // controller or for a notice box); set now, none of them can hold the program.
    ControlBlock.quit = true;
    QCoreApplication::exit(0);
}

void InstallEventPump() {
    SetEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
}
