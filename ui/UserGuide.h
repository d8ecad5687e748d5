#pragma once
// Help > User guide: a short guide to the program, shipped with it and shown in a window
// of its own (nothing is fetched). The controller's commands stay in the Help window.
// User interface thread only.
class QWidget;

// Shows the guide window of `owner` (made on first use), raised.
void ShowUserGuide(QWidget* owner);
