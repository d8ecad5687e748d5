#pragma once
// The File menu's choosers. Each takes busy first (waiting, with events flowing, for
// a request in progress), shows its dialog on the shared fileChooser record and hands
// the request to the worker, or gives busy back when the user cancels.
class QFileDialog;
class QWidget;

void OpenConfigFile(QWidget* owner);
void SaveConfigFile(QWidget* owner);
void SaveConfigFileAs(QWidget* owner);

// The chooser as configured for opening or saving, preset with the current file.
QFileDialog* MakeFileChooser(QWidget* owner, bool save);
