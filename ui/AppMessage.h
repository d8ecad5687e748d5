#pragma once
// A posted message of the hidden main window (WM_USER+1 ... WM_USER+17) as a Qt event.
#include <QEvent>
#include <cstdint>

class AppMessageEvent : public QEvent {
public:
    AppMessageEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(Type()), message(message), wParam(wParam), lParam(lParam) {}
    static QEvent::Type Type() {
        static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    const unsigned message;
    const std::uintptr_t wParam;
    const std::intptr_t lParam;
};
