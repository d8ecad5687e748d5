#pragma once
// Turns a dialog template into widgets: each control at its rectangle in dialog units,
// converted with the dialog font's metrics (x unit = average character width / 4,
// y unit = character height / 8). Controls keep their template ids as object names
// ("id1009") and in the "controlId" property, so code and tests find them by id.
#include <QDialog>
#include <QString>

#include "resources/DialogTemplates.h"

class QMenuBar;

// Sets title, font, window flags and fixed size of `dialog` and creates its controls
// on `client` (the dialog itself, or a widget below a menu bar).
void BuildDialog(const DialogTemplate& tmpl, QDialog* dialog, QWidget* client);

// Builds menu IDR_MENU; items carry their ids like controls do. The menus open with
// Alt and their first letter, each item by its own letter once open; Open, Save,
// Save as, Exit and help have the usual keys.
QMenuBar* BuildMainMenu(QWidget* parent);

// The control (or menu action) with template id `id` below `root`.
template <typename T>
T* FindControl(QObject* root, int id) {
    return root->findChild<T*>(QStringLiteral("id%1").arg(id));
}

QString FromUtf16(const char16_t* text);

// The text of a session slot (empty for a slot outside 0 ... 6).
QString SessionText(int slot);
// Sets a session slot's text on the line edit or combo box `control` of `dialog`.
void ShowSessionText(int slot, QWidget* dialog, int control);
QString LoadQString(unsigned id);

