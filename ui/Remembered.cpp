#include "ui/Remembered.h"

#include <QSettings>

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
