#include "ui/Remembered.h"

#include <QSettings>

#include "state/TextOps.h"

namespace {
QSettings Settings() { return QSettings(QStringLiteral("ZL-Config"), QStringLiteral("zl-config")); }
}  // namespace

namespace Remembered {
QString Port() { return Settings().value(QStringLiteral("login/port")).toString(); }

QString UserName() { return Settings().value(QStringLiteral("login/user")).toString(); }

void SetUserName(const QString& userName) { Settings().setValue(QStringLiteral("login/user"), userName); }

void SetPort(const QString& port) { Settings().setValue(QStringLiteral("login/port"), port); }

QString Folder() { return Settings().value(QStringLiteral("files/folder")).toString(); }

void SetFolder(const QString& folder) { Settings().setValue(QStringLiteral("files/folder"), folder); }

std::optional<QPoint> MainPosition() {
    QVariant position = Settings().value(QStringLiteral("window/position"));
    if (!position.isValid()) return std::nullopt;
    return position.toPoint();
}

void SetMainPosition(const QPoint& position) { Settings().setValue(QStringLiteral("window/position"), position); }
}  // namespace Remembered

void SettingsMemory::Recall(RememberedItem item, char16_t* text, std::size_t capacity) {
    QString value;
    switch (item) {
        case RememberedItem::Port: value = Remembered::Port(); break;
        case RememberedItem::UserName: value = Remembered::UserName(); break;
        case RememberedItem::Folder: value = Remembered::Folder(); break;
    }
    CopyText(text, capacity, reinterpret_cast<const char16_t*>(value.utf16()), static_cast<std::size_t>(value.size()));
}

void SettingsMemory::Remember(RememberedItem item, const char16_t* text) {
    const QString value = QString::fromUtf16(text);
    switch (item) {
        case RememberedItem::Port: Remembered::SetPort(value); break;
        case RememberedItem::UserName: Remembered::SetUserName(value); break;
        case RememberedItem::Folder: Remembered::SetFolder(value); break;
    }
}
