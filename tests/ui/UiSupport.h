#pragma once
// Helpers for the user interface tests: answering the next message box as a user
// would (and keeping what it showed), and finding dialogs and controls by id.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QString>
#include <QTimer>

#include "ui/DialogBuilder.h"

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool onTop = false;
    QString owner;  // object name of the window it belongs to
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Watches for message boxes and answers each with `answer`, recording it.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer) : answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start(10);
    }
    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    const QList<SeenBox>& Seen() const { return seen_; }
    void Clear() { seen_.clear(); }

private:
    void Poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible() || box->property("answered").toBool()) continue;
            box->setProperty("answered", true);
            seen_.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                          bool(box->windowFlags() & Qt::WindowStaysOnTopHint),
                          box->parentWidget() ? box->parentWidget()->objectName() : QString(),
                          box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton});
            QAbstractButton* button = box->button(answer_);
            if (!button) button = box->buttons().value(0);
            QTimer::singleShot(0, button, &QAbstractButton::click);
        }
    }
    QTimer timer_;
    QMessageBox::StandardButton answer_;
    QList<SeenBox> seen_;
};

template <typename T>
T* VisibleDialog(int templateId) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == QStringLiteral("id%1").arg(templateId)) return dynamic_cast<T*>(w);
    }
    return nullptr;
}

// Runs `action` once on every file chooser that shows up until the returned timer is
// deleted (polling, since a chooser runs its own modal loop).
template <typename Action>
QTimer* OnEachFileChooser(Action action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String("fileChooser") &&
                !w->property("handled").toBool()) {
                w->setProperty("handled", true);
                action(w);
                return;
            }
        }
    });
    timer->start(20);
    return timer;
}

// Keeps what the program remembers between runs in a folder of this test's own, empty
// at first (never in the user's own configuration).
inline void UseFreshSettings() {
    QString dir = QDir::tempPath() + QStringLiteral("/zl-settings-%1").arg(QCoreApplication::applicationPid());
    QDir(dir).removeRecursively();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
}

// A step of a script that runs inside the whole program: a failed one says which and
// ends the program with exit code 1.
inline bool Step(bool ok, const char* what) {
    if (!ok) {
        qWarning("step failed: %s", what);
        QCoreApplication::exit(1);
    }
    return ok;
}

// Runs `action` on the next file chooser that shows up (polling, since the chooser
// runs its own modal loop).
template <typename Action>
void OnNextFileChooser(Action action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String("fileChooser")) {
                timer->stop();
                timer->deleteLater();
                action(w);
                return;
            }
        }
    });
    timer->start(20);
}
