// The whole program against the simulator: log in through the login dialog, see the
// values, change Current and leave the field, open Help and About, log out, and exit
// with Yes, all as a user would.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <QElapsedTimer>
#include <QPointer>

#include <csignal>
#include <filesystem>
#include <unistd.h>

#include "app/Application.h"
#include "sim/SimulatedController.h"
#include "state/ControlBlock.h"
#include "support/RecordingSink.h"
#include "ui/MainDialog.h"
#include "ui/SmallDialogs.h"
#include "UiSupport.h"

namespace {
// A simulated controller linked as COM1 in a private folder named by ZL_CONFIG_PORTS.
struct LinkedSimulator {
    explicit LinkedSimulator(const char* name)
        : dir((std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()))).string()) {
        std::filesystem::create_directories(dir);
        linked = sim.LinkAs(dir, 1);
        setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);
    }
    ~LinkedSimulator() { std::filesystem::remove_all(dir); }
    std::string dir;
    SimulatedController sim;
    bool linked = false;
};

// Closes the splash and logs in through the login dialog with the presets and COM1;
// the main dialog once its values are shown, else null.
MainDialog* LogInAsUser() {
    ControlBlock.aboutClosed = true;
    LoginDialog* login = nullptr;
    if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 20000), "login dialog")) return nullptr;
    FindControl<QComboBox>(login, IdComPort)->setEditText("COM1");
    FindControl<QPushButton>(login, kIdOk)->click();
    MainDialog* main = VisibleDialog<MainDialog>(DialogMain);
    if (!Step(main && QTest::qWaitFor([&] { return main->ControlsEnabled() && !IsBusy(); }, 30000), "logged in")) return nullptr;
    main->activateWindow();
    if (!Step(QTest::qWaitForWindowActive(main, 20000), "main dialog active")) return nullptr;
    return main;
}
}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseFreshSettings(); }
    void init() { ResetSharedState(); }

    void log_in_change_a_value_browse_log_out_and_exit() {
        LinkedSimulator linked("zl-e2e");
        QVERIFY(linked.linked);
        SimulatedController& sim = linked.sim;
        BoxAnswerer answerer(QMessageBox::Yes);
        bool scriptDone = false;
        QTimer::singleShot(0, [&] {
            // The splash, closed by the user.
            AboutDialog* splash = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (splash = VisibleDialog<AboutDialog>(DialogAbout)) != nullptr; }, 20000), "splash")) return;
            FindControl<QPushButton>(splash, kIdOk)->click();

            LoginDialog* login = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 20000), "login dialog")) return;
            auto* ports = FindControl<QComboBox>(login, IdComPort);
            if (!Step(ports->findText("COM1") >= 0, "COM1 offered")) return;
            ports->setEditText("COM1");
            FindControl<QPushButton>(login, kIdOk)->click();

            MainDialog* main = VisibleDialog<MainDialog>(DialogMain);
            if (!Step(main != nullptr, "main dialog")) return;
            // A file-size limit must fail a save, not kill the program.
            struct sigaction xfsz {};
            sigaction(SIGXFSZ, nullptr, &xfsz);
            Step(xfsz.sa_handler == SIG_IGN, "file-size signal ignored");
            auto* current = FindControl<QLineEdit>(main, IdCurrent);
            if (!Step(QTest::qWaitFor([&] { return main->ControlsEnabled() && current->text() == "1000"; }, 30000), "values shown")) return;
            Step(FindControl<QLineEdit>(main, IdInfo)->text() == "Firmware-Version ZL-500-40K 1.10", "info line");
            Step(FindControl<QLineEdit>(main, IdSupplyVoltage)->text() == "24.0", "supply voltage");

            // Change Current and leave the field.
            main->activateWindow();
            if (!Step(QTest::qWaitForWindowActive(main, 20000), "main dialog active")) return;
            current->setFocus();
            current->setText("5000");
            FindControl<QLineEdit>(main, IdDelay)->setFocus();
            if (!Step(QTest::qWaitFor([&] { return sim.Received().find("/Config/Current 5000\n") != std::string::npos; }, 30000), "write sent")) return;
            Step(QTest::qWaitFor([&] { return current->text() == "5000" && !IsBusy(); }, 30000), "write shown");

            FindControl<QAction>(main, MenuHelp)->trigger();
            HelpDialog* help = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (help = VisibleDialog<HelpDialog>(DialogHelp)) != nullptr; }, 20000), "help")) return;
            help->close();
            Step(QTest::qWaitFor([&] { return VisibleDialog<HelpDialog>(DialogHelp) == nullptr; }, 20000), "help closed");
            FindControl<QAction>(main, MenuAbout)->trigger();
            AboutDialog* about = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (about = VisibleDialog<AboutDialog>(DialogAbout)) != nullptr; }, 20000), "about")) return;
            FindControl<QPushButton>(about, kIdOk)->click();
            Step(QTest::qWaitFor([&] { return VisibleDialog<AboutDialog>(DialogAbout) == nullptr; }, 20000), "about closed");

            FindControl<QPushButton>(main, IdLogout)->click();
            if (!Step(QTest::qWaitFor([&] { return VisibleDialog<LoginDialog>(DialogLogin) != nullptr && !main->ControlsEnabled(); }, 30000), "logged out")) return;
            Step(current->text() == "0", "values reset");
            scriptDone = true;
            main->close();  // answered Yes
        });
        int code = RunApplication();
        QCOMPARE(code, 0);
        QVERIFY(scriptDone);
        QVERIFY(!answerer.Seen().isEmpty());
        QCOMPARE(answerer.Seen().last().text, QStringLiteral("Close ZL-Config?"));
    }

    void a_refused_value_and_a_lost_connection_reach_the_user_as_notices() {
        LinkedSimulator linked("zl-e2e-lost");
        QVERIFY(linked.linked);
        BoxAnswerer answerer(QMessageBox::Yes);  // notices have only OK, which is taken
        bool scriptDone = false;
        QTimer::singleShot(0, [&] {
            auto sawNotice = [&](const QString& text) {
                for (const SeenBox& box : answerer.Seen()) {
                    if (box.icon == QMessageBox::Warning && box.text == text) return true;
                }
                return false;
            };
            MainDialog* main = LogInAsUser();
            if (!main) return;

            // A delay below the controller's limit: its lines in one box, the field back.
            auto* delay = FindControl<QLineEdit>(main, IdDelay);
            delay->setFocus();
            delay->setText("2");
            FindControl<QLineEdit>(main, IdCurrent)->setFocus();
            if (!Step(QTest::qWaitFor([&] {
                    return sawNotice("Value not accepted!\nLimits: [5...1000000]\n"
                                     "Take notice of further parameter-depended limits");
                }, 15000), "refusal shown")) return;
            Step(QTest::qWaitFor([&] { return delay->text() == "5"; }, 20000), "stored delay shown again");

            // The controller goes away: one box, then the login dialog and zeros.
            linked.sim.HangUpNow();
            if (!Step(QTest::qWaitFor([&] { return sawNotice("Connection Lost!"); }, 20000), "connection lost shown")) return;
            LoginDialog* login = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 20000), "login dialog again")) return;
            Step(!main->ControlsEnabled() && FindControl<QLineEdit>(main, IdCurrent)->text() == "0", "values reset");
            scriptDone = true;
            login->close();  // answered Yes
        });
        QCOMPARE(RunApplication(), 0);
        QVERIFY(scriptDone);
    }

    // Disabling the dialog moves the focus off the value field being edited; that must
    // not hand over a write that no logged-out state serves, or the next login waits
    // for busy for ever.
    void logging_out_or_losing_the_line_with_the_caret_in_a_field_leaves_the_next_login_free() {
        LinkedSimulator linked("zl-e2e-caret");
        QVERIFY(linked.linked);
        BoxAnswerer answerer(QMessageBox::Yes);
        bool scriptDone = false;
        QTimer::singleShot(0, [&] {
            MainDialog* main = LogInAsUser();
            if (!main) return;
            auto* current = FindControl<QLineEdit>(main, IdCurrent);
            current->setFocus();
            if (!Step(QTest::qWaitFor([&] { return current->hasFocus(); }, 20000), "caret in Current")) return;
            FindControl<QAction>(main, MenuLogout)->trigger();  // a menu takes no focus
            LoginDialog* login = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr && !main->ControlsEnabled(); }, 30000), "logged out")) return;
            if (!Step(QTest::qWaitFor([&] { return !IsBusy() && !ControlBlock.writeRequest; }, 20000), "busy free after logout")) return;

            FindControl<QComboBox>(login, IdComPort)->setEditText("COM1");
            FindControl<QPushButton>(login, kIdOk)->click();
            if (!Step(QTest::qWaitFor([&] { return main->ControlsEnabled() && !IsBusy(); }, 30000), "logged in again")) return;
            main->activateWindow();
            if (!Step(QTest::qWaitForWindowActive(main, 20000), "main dialog active again")) return;
            current->setFocus();
            if (!Step(QTest::qWaitFor([&] { return current->hasFocus(); }, 20000), "caret in Current again")) return;
            linked.sim.HangUpNow();
            if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr && !main->ControlsEnabled(); }, 20000), "connection lost")) return;
            if (!Step(QTest::qWaitFor([&] { return !IsBusy() && !ControlBlock.writeRequest; }, 20000), "busy free after the lost line")) return;
            Step(linked.sim.Received().find("/Config/Current 0") == std::string::npos, "no write sent");
            scriptDone = true;
            login->close();  // answered Yes
        });
        QCOMPARE(RunApplication(), 0);
        QVERIFY(scriptDone);
    }

    // "Yes" ends the program even while the interface waits for busy that nobody gives
    // back (here the test holds it, as a worker stuck in a request would).
    void yes_to_close_ends_the_program_while_a_hand_over_waits_for_busy() {
        LinkedSimulator linked("zl-e2e-yes");
        QVERIFY(linked.linked);
        BoxAnswerer answerer(QMessageBox::Yes);
        bool waited = false;
        bool timedOut = false;
        // Would the wait never end, give busy back and fail instead of hanging.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            ReleaseBusy();
            QCoreApplication::exit(1);
        });
        QTimer::singleShot(0, [&] {
            ControlBlock.aboutClosed = true;
            LoginDialog* login = nullptr;
            if (!Step(QTest::qWaitFor([&] { return (login = VisibleDialog<LoginDialog>(DialogLogin)) != nullptr; }, 20000), "login dialog")) return;
            if (!Step(TryAcquireBusy(), "busy taken by the test")) return;
            QPointer<LoginDialog> asking = login;
            QTimer::singleShot(200, [asking] {
                if (asking) asking->close();  // "Close ZL-Config?" answered Yes
            });
            watchdog.start(15000);
            FindControl<QPushButton>(login, kIdOk)->click();  // waits for busy
            waited = true;
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RunApplication(), 0);
        QVERIFY(waited);
        QVERIFY(!timedOut);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(answerer.Seen().last().text, QStringLiteral("Close ZL-Config?"));
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
