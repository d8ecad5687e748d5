// The whole program against the simulator: log in through the login dialog, see the
// values, change Current and leave the field, open Help and About, log out, and exit
// with Yes, all as a user would.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <unistd.h>

#include "app/Application.h"
#include "sim/SimulatedController.h"
#include "state/ControlBlock.h"
#include "support/RecordingSink.h"
#include "ui/MainDialog.h"
#include "ui/SmallDialogs.h"
#include "UiSupport.h"

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void log_in_change_a_value_browse_log_out_and_exit() {
        namespace fs = std::filesystem;
        std::string dir = (fs::temp_directory_path() / ("zl-e2e-" + std::to_string(getpid()))).string();
        fs::create_directories(dir);
        SimulatedController sim;
        QVERIFY(sim.LinkAs(dir, 1));
        setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);

        BoxAnswerer answerer(QMessageBox::Yes);
        bool scriptDone = false;
        QTimer::singleShot(0, [&] {
            auto step = [&](bool ok, const char* what) {
                if (!ok) {
                    qWarning("end-to-end step failed: %s", what);
                    QCoreApplication::exit(1);  // ends the program; scriptDone stays false
                }
                return ok;
            };
            // The splash, closed by the user.
            AboutDialog* splash = nullptr;
            if (!step(QTest::qWaitFor([&] { return (splash = VisibleDialog<AboutDialog>(DialogAbout)) != nullptr; }, 5000), "splash")) return;
            FindControl<QPushButton>(splash, kIdOk)->click();

            LoginDialog* login = nullptr;
            if (!step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 5000), "login dialog")) return;
            auto* ports = FindControl<QComboBox>(login, IdComPort);
            if (!step(ports->findText("COM1") >= 0, "COM1 offered")) return;
            ports->setEditText("COM1");
            FindControl<QPushButton>(login, kIdOk)->click();

            MainDialog* main = VisibleDialog<MainDialog>(DialogMain);
            if (!step(main != nullptr, "main dialog")) return;
            auto* current = FindControl<QLineEdit>(main, IdCurrent);
            if (!step(QTest::qWaitFor([&] { return main->ControlsEnabled() && current->text() == "1000"; }, 30000), "values shown")) return;
            step(FindControl<QLineEdit>(main, IdInfo)->text() == "Firmware-Version ZL-500-40K 1.10", "info line");
            step(FindControl<QLineEdit>(main, IdSupplyVoltage)->text() == "24.0", "supply voltage");

            // Change Current and leave the field.
            main->activateWindow();
            if (!step(QTest::qWaitForWindowActive(main), "main dialog active")) return;
            current->setFocus();
            current->setText("5000");
            FindControl<QLineEdit>(main, IdDelay)->setFocus();
            if (!step(QTest::qWaitFor([&] { return sim.Received().find("/Config/Current 5000\n") != std::string::npos; }, 10000), "write sent")) return;
            step(QTest::qWaitFor([&] { return current->text() == "5000" && !IsBusy(); }, 10000), "write shown");

            FindControl<QAction>(main, MenuHelp)->trigger();
            HelpDialog* help = nullptr;
            if (!step(QTest::qWaitFor([&] { return (help = VisibleDialog<HelpDialog>(DialogHelp)) != nullptr; }, 5000), "help")) return;
            help->close();
            step(QTest::qWaitFor([&] { return VisibleDialog<HelpDialog>(DialogHelp) == nullptr; }, 5000), "help closed");
            FindControl<QAction>(main, MenuAbout)->trigger();
            AboutDialog* about = nullptr;
            if (!step(QTest::qWaitFor([&] { return (about = VisibleDialog<AboutDialog>(DialogAbout)) != nullptr; }, 5000), "about")) return;
            FindControl<QPushButton>(about, kIdOk)->click();
            step(QTest::qWaitFor([&] { return VisibleDialog<AboutDialog>(DialogAbout) == nullptr; }, 5000), "about closed");

            FindControl<QPushButton>(main, IdLogout)->click();
            if (!step(QTest::qWaitFor([&] { return VisibleDialog<LoginDialog>(DialogLogin) != nullptr && !main->ControlsEnabled(); }, 10000), "logged out")) return;
            step(current->text() == "0", "values reset");
            scriptDone = true;
            main->close();  // answered Yes
        });
        int code = RunApplication();
        QCOMPARE(code, 0);
        QVERIFY(scriptDone);
        QVERIFY(!answerer.Seen().isEmpty());
        QCOMPARE(answerer.Seen().last().text, QStringLiteral("Close ZL-Config?"));
        fs::remove_all(dir);
    }

    void a_refused_value_and_a_lost_connection_reach_the_user_as_notices() {
        namespace fs = std::filesystem;
        ResetSharedState();
        std::string dir = (fs::temp_directory_path() / ("zl-e2e-lost-" + std::to_string(getpid()))).string();
        fs::create_directories(dir);
        SimulatedController sim;
        QVERIFY(sim.LinkAs(dir, 1));
        setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);

        BoxAnswerer answerer(QMessageBox::Yes);  // notices have only OK, which is taken
        bool scriptDone = false;
        QTimer::singleShot(0, [&] {
            auto step = [&](bool ok, const char* what) {
                if (!ok) {
                    qWarning("end-to-end step failed: %s", what);
                    QCoreApplication::exit(1);
                }
                return ok;
            };
            auto sawNotice = [&](const QString& text) {
                for (const SeenBox& box : answerer.Seen()) {
                    if (box.icon == QMessageBox::Warning && box.text == text) return true;
                }
                return false;
            };
            ControlBlock.aboutClosed = true;  // the splash, closed at once
            LoginDialog* login = nullptr;
            if (!step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 5000), "login dialog")) return;
            FindControl<QComboBox>(login, IdComPort)->setEditText("COM1");
            FindControl<QPushButton>(login, kIdOk)->click();
            MainDialog* main = VisibleDialog<MainDialog>(DialogMain);
            if (!step(main && QTest::qWaitFor([&] { return main->ControlsEnabled() && !IsBusy(); }, 30000), "logged in")) return;

            // A delay below the controller's limit: its lines in one box, the field back.
            main->activateWindow();
            if (!step(QTest::qWaitForWindowActive(main), "main dialog active")) return;
            auto* delay = FindControl<QLineEdit>(main, IdDelay);
            delay->setFocus();
            delay->setText("2");
            FindControl<QLineEdit>(main, IdCurrent)->setFocus();
            if (!step(QTest::qWaitFor([&] {
                    return sawNotice("Value not accepted!\nLimits: [5...1000000]\n"
                                     "Take notice of further parameter-depended limits");
                }, 15000), "refusal shown")) return;
            step(QTest::qWaitFor([&] { return delay->text() == "5"; }, 5000), "stored delay shown again");

            // The controller goes away: one box, then the login dialog and zeros.
            sim.HangUpNow();
            if (!step(QTest::qWaitFor([&] { return sawNotice("Connection Lost!"); }, 20000), "connection lost shown")) return;
            if (!step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 5000), "login dialog again")) return;
            step(!main->ControlsEnabled() && FindControl<QLineEdit>(main, IdCurrent)->text() == "0", "values reset");
            scriptDone = true;
            login->close();  // answered Yes
        });
        QCOMPARE(RunApplication(), 0);
        QVERIFY(scriptDone);
        fs::remove_all(dir);
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
