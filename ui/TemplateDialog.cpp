#include "ui/TemplateDialog.h"

#include <QKeyEvent>
#include <QPushButton>

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            Ok();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}
