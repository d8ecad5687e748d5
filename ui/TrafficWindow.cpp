#include "ui/TrafficWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "console/TrafficLog.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"

namespace {
constexpr int kKeptLines = 20000;
// The worker logs at most a line per 10 ms look: 2 s bring 200 lines, the log holds 2048.
constexpr int kShownIntervalMs = 100;
constexpr int kHiddenIntervalMs = 2000;
}  // namespace

TrafficWindow::TrafficWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("traffic"));
    setWindowTitle(QStringLiteral("Console traffic - ") + LoadQString(135));
    lines = new QPlainTextEdit(this);
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setMaximumBlockCount(kKeptLines);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    dropped = new QLabel(this);
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    auto* save = new QPushButton(QStringLiteral("Save..."), this);
    connect(clear, &QPushButton::clicked, this, [this] { Clear(); });
    connect(save, &QPushButton::clicked, this, [this] { AskAndSave(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("> sent    < received"), this));
    buttons->addWidget(dropped, 1);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines);
    layout->addLayout(buttons);
    resize(560, 420);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { TakeLines(); });
    timer->start(kHiddenIntervalMs);
}

void TrafficWindow::showEvent(QShowEvent* event) {
    TakeLines();
    timer->start(kShownIntervalMs);
    QWidget::showEvent(event);
}

void TrafficWindow::hideEvent(QHideEvent* event) {
    timer->start(kHiddenIntervalMs);
    QWidget::hideEvent(event);
}

void TrafficWindow::TakeLines() {
    TrafficLine taken[256];
    for (int n; (n = TakeTraffic(taken, 256)) > 0;) {
        for (int i = 0; i < n; ++i) {
            char text[kTrafficTextSize];
            FormatTrafficLine(taken[i], text);
            lines->appendPlainText(QString::fromLatin1(text));
        }
    }
    // The worker never waits for this view: what it could not keep is counted.
    if (std::uint64_t lost = TrafficDropped()) {
        dropped->setText(QStringLiteral("%1 lines lost while the view was behind").arg(lost));
    }
}

void TrafficWindow::Clear() { lines->clear(); }

bool TrafficWindow::SaveTo(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray text = lines->toPlainText().toUtf8() + '\n';
    return file.write(text) == text.size() && file.flush();
}

void TrafficWindow::AskAndSave() {
    QFileDialog chooser(this);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setNameFilters({QStringLiteral("Text (*.txt)"), QStringLiteral("All (*)")});
    chooser.setDefaultSuffix(QStringLiteral("txt"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    if (!SaveTo(chooser.selectedFiles().first())) ShowWarning(this, LoadQString(143));
}

void TrafficWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // it keeps collecting; the menu shows it again
    hide();
}

QRect PlaceBeside(const QRect& main, const QSize& wanted, const QRect& screen, int gap, int minWidth) {
    const int top = std::max(screen.top(), std::min(main.top(), screen.bottom() - wanted.height() + 1));
    const int rightRoom = screen.right() - main.right() - gap;
    const int leftRoom = main.left() - screen.left() - gap;
    if (rightRoom >= wanted.width()) return QRect(QPoint(main.right() + 1 + gap, top), wanted);
    if (leftRoom >= wanted.width()) return QRect(QPoint(main.left() - gap - wanted.width(), top), wanted);
    const int room = std::max(rightRoom, leftRoom);
    if (room >= minWidth) {
        QSize narrow(room, wanted.height());
        return rightRoom >= leftRoom ? QRect(QPoint(main.right() + 1 + gap, top), narrow)
                                     : QRect(QPoint(main.left() - gap - room, top), narrow);
    }
    return QRect(QPoint(screen.right() + 1 - wanted.width(), top), wanted);
}
