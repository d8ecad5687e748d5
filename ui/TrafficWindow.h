#pragma once
// View > Console traffic: every line the program sends to and receives from the
// controller, live, with the time and the direction, passwords masked. It takes the
// lines from the console's traffic log every 100 ms while shown and every 2 s while
// hidden (the log holds far more than a line can bring in that time, and an idle
// program should not wake ten times a second for a view nobody sees), and keeps the
// last 20000; it can be cleared and saved as a text file. User interface thread only.
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;

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
