#pragma once
// View > Console traffic on Windows: what went to the controller and came back, as
// the console's log has it (passwords masked there). It collects from the start, shown
// or not, and closing only hides it. User interface thread only.
#include <windows.h>

class TrafficWindow {
public:
    explicit TrafficWindow(HWND owner);
    ~TrafficWindow();
    TrafficWindow(const TrafficWindow&) = delete;
    TrafficWindow& operator=(const TrafficWindow&) = delete;
    void Show();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void TakeLines();
    void LayOut(int width, int height);
    void AskAndSave();

    HWND owner;
    HWND window = nullptr;
    HWND lines = nullptr;
    HWND dropped = nullptr;
    HFONT fixed = nullptr;
};
