#pragma once
// The hidden main window's table: which of the five dialogs a worker's message creates
// or destroys, and which messages go on to the main dialog. Both front ends keep one
// window per slot and follow this table.
#include <optional>

enum class DialogSlot : int { About, Login, Main, Help, Password };
constexpr int kDialogSlotCount = 5;

struct DialogRoute {
    std::optional<DialogSlot> create;
    std::optional<DialogSlot> destroy;
    bool toMain = false;  // a display message for the main dialog (dropped without one)
};

DialogRoute RouteMessage(unsigned message);

// The template of a slot's dialog.
int TemplateOf(DialogSlot slot);
