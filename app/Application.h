#pragma once
// The program around an existing QApplication: the hidden main window, the event pump
// for hand-overs that wait, the worker, the message loop and the shutdown. Returns the
// exit code (0 in every case).
int RunApplication();
