#pragma once
// A template dialog's controls as the shared logic sees them: found by their template
// ids below `root`. User interface thread only.
#include "frontend/DialogView.h"

class QWidget;

class WidgetView : public DialogView {
public:
    explicit WidgetView(QWidget* root) : root(root) {}
    void EnableControl(int id, bool enable) override;
    void SetControlText(int id, const char16_t* text) override;
    void GetControlText(int id, char16_t* text, std::size_t capacity) override;
    void SetChoice(int id, int index) override;
    int GetChoice(int id) override;
    void SetChecked(int id, bool checked) override;
    bool GetChecked(int id) override;
    void FocusControl(int id) override;
    void AddListEntry(int id, const char16_t* text, const char16_t* tip) override;

private:
    QWidget* root;
};
