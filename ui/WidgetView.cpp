#include "ui/WidgetView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "state/TextOps.h"
#include "ui/DialogBuilder.h"

void WidgetView::EnableControl(int id, bool enable) {
    if (QWidget* w = FindControl<QWidget>(root, id)) w->setEnabled(enable);
}

void WidgetView::SetControlText(int id, const char16_t* text) {
    const QString value = QString::fromUtf16(text);
    if (auto* edit = FindControl<QLineEdit>(root, id)) {
        edit->setText(value);
    } else if (auto* combo = FindControl<QComboBox>(root, id)) {
        combo->setEditText(value);
    } else if (auto* label = FindControl<QLabel>(root, id)) {
        label->setText(value);
    }
}

void WidgetView::GetControlText(int id, char16_t* text, std::size_t capacity) {
    QString value;
    if (auto* edit = FindControl<QLineEdit>(root, id)) {
        value = edit->text();
    } else if (auto* combo = FindControl<QComboBox>(root, id)) {
        value = combo->currentText();
    }
    CopyText(text, capacity, reinterpret_cast<const char16_t*>(value.utf16()), static_cast<std::size_t>(value.size()));
}

void WidgetView::SetChoice(int id, int index) {
    if (auto* combo = FindControl<QComboBox>(root, id)) combo->setCurrentIndex(index < combo->count() ? index : -1);
}

int WidgetView::GetChoice(int id) {
    auto* combo = FindControl<QComboBox>(root, id);
    return combo ? combo->currentIndex() : -1;
}

void WidgetView::SetChecked(int id, bool checked) {
    if (auto* box = FindControl<QCheckBox>(root, id)) box->setChecked(checked);
}

bool WidgetView::GetChecked(int id) {
    auto* box = FindControl<QCheckBox>(root, id);
    return box && box->checkState() != Qt::Unchecked;
}

void WidgetView::FocusControl(int id) {
    if (QWidget* w = FindControl<QWidget>(root, id)) w->setFocus(Qt::OtherFocusReason);
}

void WidgetView::AddListEntry(int id, const char16_t* text, const char16_t* tip) {
    auto* combo = FindControl<QComboBox>(root, id);
    if (!combo) return;
    combo->addItem(QString::fromUtf16(text));
    if (tip[0]) combo->setItemData(combo->count() - 1, QString::fromUtf16(tip), Qt::ToolTipRole);
}
