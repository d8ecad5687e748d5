#pragma once
// What the program remembers between runs, in its XDG config file through QSettings
// (~/.config/ZL-Config/zl-config.conf): the last user name given at login, the port
// of the last login that succeeded, the folder of the last parameter file, the main
// window's position. Never a password. Nothing remembered yet: everything as on a first start. User interface
// thread only.
#include <QPoint>
#include <QString>
#include <optional>

#include "frontend/DialogView.h"

namespace Remembered {
QString Port();
QString UserName();
void SetUserName(const QString& userName);
// The port of the last login that succeeded (not the last one tried).
void SetPort(const QString& port);

QString Folder();
void SetFolder(const QString& folder);

std::optional<QPoint> MainPosition();
void SetMainPosition(const QPoint& position);
}  // namespace Remembered

// The same store as the shared logic's Memory.
class SettingsMemory : public Memory {
public:
    void Recall(RememberedItem item, char16_t* text, std::size_t capacity) override;
    void Remember(RememberedItem item, const char16_t* text) override;
};
