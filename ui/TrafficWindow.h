#pragma once
// View > Console traffic: every line the program sends to and receives from the
// controller, live, with the time and the direction, passwords masked. It takes the
// lines from the console's traffic log every 100 ms while shown and every 2 s while
// hidden (the log holds far more than a line can bring in that time, and an idle
// program should not wake ten times a second for a view nobody sees), and keeps the
// last 20000; it can be cleared and saved as a text file. User interface thread only.
#include <QRect>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;

// Where a window of `wanted` size goes beside `main` on `screen`: to its right, else to
// its left, else on the side with more room made narrower (down to minWidth), never over
// it; only a screen with no room on either side puts it at the screen's right edge.
QRect PlaceBeside(const QRect& main, const QSize& wanted, const QRect& screen, int gap, int minWidth);

class TrafficWindow : public QWidget {
    Q_OBJECT

public:
    explicit TrafficWindow(QWidget* owner = nullptr);

    // Takes what the log holds now (the timer does this too).
    void TakeLines();
    void Clear();
    // The lines shown, as a text file; false when it could not be written.
    bool SaveTo(const QString& path) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AskAndSave();

    QPlainTextEdit* lines = nullptr;
    QLabel* dropped = nullptr;
    QTimer* timer = nullptr;
};
