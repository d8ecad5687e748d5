// zl-screenshot MAIN.png [TRAFFIC.png]: logs the program in to the simulator without a
// display and saves a picture of the main dialog showing the controller's values and,
// when asked, one of the console traffic window beside it.
#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/Application.h"
#include "sim/SimulatedController.h"
#include "state/ControlBlock.h"
#include "ui/MainDialog.h"
#include "ui/SmallDialogs.h"
#include "ui/TrafficWindow.h"
#include "UiSupport.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: zl-screenshot MAIN.png [TRAFFIC.png]\n");
        return 2;
    }
    QApplication application(argc, argv);
    UseFreshSettings();
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / ("zl-shot-" + std::to_string(getpid()))).string();
    fs::create_directories(dir);
    SimulatedController sim;
    sim.WithConsole([](ControllerConsole& c) {
        c.SetValue("Config", "Current", 5000);
        c.SetValue("Config", "TimeOn", 1000);
        c.SetValue("Config", "CycleTime", 20000);
        c.SetValue("Config", "Delay", 100);
        c.SetValue("Config", "TriggerSource", 1);
        c.SetValue("Config", "Edge", 1);
        c.SetValue("Config", "ReadyOut", 2);
        c.SetValue("Config", "AutoStart", 1);
    });
    sim.LinkAs(dir, 1);
    setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);

    bool saved = false;
    QTimer::singleShot(0, [&] {
        AboutDialog* splash = nullptr;
        (void)QTest::qWaitFor([&] { return (splash = VisibleDialog<AboutDialog>(DialogAbout)) != nullptr; }, 5000);
        if (splash) FindControl<QPushButton>(splash, kIdOk)->click();
        LoginDialog* login = nullptr;
        (void)QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 5000);
        if (login) {
            FindControl<QComboBox>(login, IdComPort)->setEditText(QStringLiteral("COM1"));
            FindControl<QPushButton>(login, kIdOk)->click();
        }
        MainDialog* main = VisibleDialog<MainDialog>(DialogMain);
        if (main && QTest::qWaitFor([&] { return main->ControlsEnabled() && !IsBusy(); }, 30000)) {
            QTest::qWait(100);  // the status bar lays out the port it now shows
            saved = main->grab().save(QString::fromLocal8Bit(argv[1]));
            if (argc == 3) {
                FindControl<QAction>(main, MenuTraffic)->trigger();
                auto* traffic = main->findChild<TrafficWindow*>();
                traffic->resize(traffic->width(), main->height());
                QTest::qWait(300);  // a poll or two shows up in it
                traffic->TakeLines();
                QPixmap left = main->grab();
                QPixmap right = traffic->grab();
                QPixmap both(left.width() + 16 + right.width(), std::max(left.height(), right.height()));
                both.fill(QColor(0x50, 0x50, 0x50));
                QPainter painter(&both);
                painter.drawPixmap(0, 0, left);
                painter.drawPixmap(left.width() + 16, 0, right);
                painter.end();
                saved = saved && both.save(QString::fromLocal8Bit(argv[2]));
            }
        }
        QCoreApplication::exit(0);
    });
    RunApplication();
    fs::remove_all(dir);
    return saved ? 0 : 1;
}
