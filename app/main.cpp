// zl-config: the configuration program for the ZL-500-40K LED flash controller.
#include <QApplication>

#include <optional>

#include "app/Application.h"
#include "app/Startup.h"

int main(int argc, char** argv) {
    if (std::optional<int> done = HandleCommandLine(Arguments(argc, argv), false)) return *done;
    std::optional<QApplication> application;
    {
        DisplayGuard display;
        if (std::optional<int> missing = display.Missing()) return *missing;
        application.emplace(argc, argv);
    }
    if (std::optional<int> done = HandleCommandLine(QApplication::arguments(), true)) return *done;
    QApplication::setApplicationName(QStringLiteral("ZL-Config"));
    return RunApplication();
}
