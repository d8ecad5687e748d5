#include "ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "platform/Threading.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "ui/DialogBuilder.h"

namespace {
bool AskYesNo(QWidget* owner, unsigned textId) {
    QMessageBox box(QMessageBox::Question, LoadQString(135), LoadQString(textId),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName(QStringLiteral("question"));
    return box.exec() == QMessageBox::Yes;
}
}  // namespace

void ShowNotice(QWidget* owner) {
    // Once the program is ending the worker drops its notice instead of waiting.
    if (!NoticePending() || ControlBlock.quit) return;
    static char16_t text[kNoticeSize];  // user interface thread only
    CopyPendingNotice(text);
    QMessageBox box(QMessageBox::Warning, LoadQString(135), QString::fromUtf16(text), QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("notice"));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    EmptyNotice();
}

void ConfirmFactoryReset(QWidget* owner) {
    if (AskYesNo(owner, 152)) ControlBlock.factoryResetRequest = true;
}

void ConfirmExit(QWidget* owner) {
    if (!AskYesNo(owner, 153)) return;
    // Every wait ends on quit (a hand-over waiting for busy, the worker waiting for the
    // controller or for a notice box); set now, none of them can hold the program.
    ControlBlock.quit = true;
    QCoreApplication::exit(0);
}

void InstallEventPump() {
    SetEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
}
