// The anchor for start-up, memory and idle figures: the least Qt 6 Widgets program
// with a window, a dialog with one label and one button, nothing else.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("bare dialog");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("A bare Qt 6 dialog"));
    auto* close = new QPushButton("Close");
    layout->addWidget(close);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    return app.exec();
}
