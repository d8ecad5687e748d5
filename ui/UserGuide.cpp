#include "ui/UserGuide.h"

#include <QFile>
#include <QTextBrowser>

#include "ui/DialogBuilder.h"

void ShowUserGuide(QWidget* owner) {
    auto* guide = owner->findChild<QTextBrowser*>(QStringLiteral("userGuide"));
    if (!guide) {
        guide = new QTextBrowser(owner);
        guide->setObjectName(QStringLiteral("userGuide"));
        guide->setWindowFlag(Qt::Window);
        guide->setWindowTitle(QStringLiteral("User guide - ") + LoadQString(135));
        guide->setOpenLinks(false);
        QFile text(QStringLiteral(":/user-guide.html"));
        if (text.open(QIODevice::ReadOnly)) guide->setHtml(QString::fromUtf8(text.readAll()));
        guide->resize(560, 620);
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
}
