#pragma once
// The program's message boxes: the pending notice (warning, OK, on top) and the two
// questions, all captioned "ZL-Config". User interface thread only.
#include <QPointer>
#include <QWidget>

#include "frontend/DialogView.h"

class QString;

// The shared logic's questions and notices as Qt boxes and choosers over `owner`.
class WidgetPrompts : public Prompts {
public:
    explicit WidgetPrompts(QWidget* owner) : owner(owner) {}
    void ShowWarning(const char16_t* text) override;
    bool AskYesNo(unsigned textId, bool yesByDefault) override;
    bool ChooseFile(bool save, const char16_t* title, std::string* path) override;  // FileChoosers.cpp

private:
    QPointer<QWidget> owner;
};


// Shows the pending notice, if any, and empties it once the box is closed; the empty
// notice releases the waiting worker.
void ShowNotice(QWidget* owner);
// A notice of the user interface's own, in the same box (warning, OK, on top).
void ShowWarning(QWidget* owner, const QString& text);
// "Reset all Parameters to Factory Settings?" Yes raises factoryResetRequest.
void ConfirmFactoryReset(QWidget* owner);
// "Close ZL-Config?" Yes sets quit and ends the message loop with exit code 0.
void ConfirmExit(QWidget* owner);

// Lets a hand-over that waits for busy on this thread keep events flowing, so the
// notice box the worker may be waiting for can still show.
void InstallEventPump();
