#pragma once
// The worker's only way to reach the user interface: one posted message with two
// parameters. The Qt hidden main window implements it; tests implement a recorder.
// Post must be callable from any thread and must never wait for the receiver.
#include <cstdint>

constexpr unsigned kWmUser = 0x0400;

// The messages of the hidden main window, WM_USER+1 ... WM_USER+17.
enum AppMessage : unsigned {
    MsgCreateAbout = kWmUser + 1,
    MsgCreateLogin = kWmUser + 2,
    MsgCreateMain = kWmUser + 3,
    MsgCreateHelp = kWmUser + 4,
    MsgCreatePassword = kWmUser + 5,  // also closes the About box
    MsgDestroyAbout = kWmUser + 6,
    MsgDestroyLogin = kWmUser + 7,
    MsgDestroyMain = kWmUser + 8,
    MsgDestroyHelp = kWmUser + 9,
    MsgDestroyPassword = kWmUser + 10,
    MsgSessionOpen = kWmUser + 11,
    MsgSessionClosed = kWmUser + 12,
    MsgShowInfoLine = kWmUser + 13,
    MsgRefreshParameter = kWmUser + 14,
    MsgShowNotice = kWmUser + 15,
    MsgFocusParameter = kWmUser + 16,
    // Beyond the original window: the status bar and title have news (StatusLine).
    MsgShowStatus = kWmUser + 17,
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};
