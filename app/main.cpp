// zl-config: the configuration program for the ZL-500-40K LED flash controller.
#include <QApplication>

#include "app/Application.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZL-Config"));
    return RunApplication();
}
