#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "platform/Threading.h"
#include "state/ControlBlock.h"
#include "frontend/UserRequests.h"
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
    WidgetPrompts prompts(owner);
    ShowPendingNotice(prompts);
}

void ConfirmFactoryReset(QWidget* owner) {
    WidgetPrompts prompts(owner);
    ConfirmFactoryReset(prompts);
}

void ConfirmExit(QWidget* owner) {
    WidgetPrompts prompts(owner);
    if (ConfirmExit(prompts)) QCoreApplication::exit(0);
}

void WidgetPrompts::ShowWarning(const char16_t* text) { ::ShowWarning(owner, QString::fromUtf16(text)); }

bool WidgetPrompts::AskYesNo(unsigned textId, bool yesByDefault) {
    return ::AskYesNo(owner, textId, yesByDefault ? QMessageBox::Yes : QMessageBox::No);
}

void InstallEventPump() {
    SetEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
}
