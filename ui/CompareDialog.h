#pragma once
// File > Compare with file...: a parameter file's values beside the controller's
// current ones (what the program last read), differences marked, nothing sent. The
// file goes through the same reader and checks as Open; its messages show above the
// table. User interface thread only.
#include <QDialog>

class QTableWidget;

class CompareDialog : public QDialog {
public:
    explicit CompareDialog(const QString& path, QWidget* owner = nullptr);
    int Differences() const { return differences; }

private:
    int differences = 0;
};

