#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QStyleOptionGroupBox>
#include <QtTest>

#include "console/TrafficLog.h"
#include "platform/MessageSink.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "support/RecordingSink.h"
#include "ui/AppMessage.h"
#include "ui/MainDialog.h"
#include "ui/TrafficWindow.h"
#include "UiSupport.h"

namespace {
const int kAllControls[] = {
    IdInfoLabel, IdInfo, IdTemperatureLabel, IdTemperature, IdSupplyVoltageLabel, IdSupplyVoltage,
    IdErrorLabel, IdError, IdFlashGroup, IdModeLabel, IdMode, IdCurrentLabel, IdCurrent, IdDelayLabel,
    IdDelay, IdTimeOnLabel, IdTimeOn, IdCycleTimeLabel, IdCycleTime, IdDutyCycleLabel, IdDutyCycle,
    IdStart, IdStop, IdSave, IdControllerGroup, IdTriggerSourceLabel, IdTriggerSource, IdEdgeLabel,
    IdEdge, IdTriggerOutLabel, IdTriggerOut, IdReadyOutLabel, IdReadyOut, IdAutoStart, IdLogout,
};
const int kFlashOnly[] = {IdDelay, IdDelayLabel, IdTimeOn, IdTimeOnLabel, IdCycleTime, IdCycleTimeLabel,
                          IdTriggerSource, IdTriggerSourceLabel, IdEdge, IdEdgeLabel, IdTriggerOut,
                          IdTriggerOutLabel, IdReadyOut, IdReadyOutLabel};

void Store(std::initializer_list<std::pair<int, const char*>> values) {
    for (const auto& [index, text] : values) SetParameterText(index, text);
}
}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

    MainDialog* dialog = nullptr;

    QLineEdit* Edit(int id) { return FindControl<QLineEdit>(dialog, id); }
    QComboBox* List(int id) { return FindControl<QComboBox>(dialog, id); }
    QWidget* Control(int id) { return FindControl<QWidget>(dialog, id); }
    QAction* Menu(int id) { return FindControl<QAction>(dialog, id); }
    // As the worker does: the session flag first, then the message.
    void SendSession(bool open) {
        ControlBlock.loggedIn = open;
        AppMessageEvent event(open ? MsgSessionOpen : MsgSessionClosed, 0, 0);
        QCoreApplication::sendEvent(dialog, &event);
    }
    void SendParameter(unsigned message, int index) {
        AppMessageEvent event(message, static_cast<std::uintptr_t>(index), 0);
        QCoreApplication::sendEvent(dialog, &event);
    }
    void LoggedOutValues() {
        for (int i = 0; i < kParameterCount; ++i) SetParameterText(i, "0");
        SetSessionTextFromString(SlotInfoLine, 139);
    }

private slots:
    void initTestCase() { UseFreshSettings(); }
    void init() {
        ResetSharedState();
        dialog = new MainDialog;
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }
    void cleanup() {
        delete dialog;
        dialog = nullptr;
    }

    void template_controls_start_disabled_and_empty() {
        for (int id : kAllControls) {
            QVERIFY2(Control(id), qPrintable(QString::number(id)));
            QVERIFY2(!Control(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(FindControl<QPushButton>(dialog, kIdCancel)->isEnabled());
        QCOMPARE(FindControl<QPushButton>(dialog, kIdCancel)->text(), QStringLiteral("Exit"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("ZL-Config"));
        QCOMPARE(List(IdTriggerOut)->count(), 6);
        QCOMPARE(List(IdReadyOut)->itemText(5), QStringLiteral("pnp inverted"));
        QCOMPARE(List(IdMode)->itemText(1), QStringLiteral("Continuous"));
        QCOMPARE(List(IdMode)->currentIndex(), -1);
        QCOMPARE(Edit(IdCurrent)->text(), QString());
        for (int id : {MenuOpen, MenuSave, MenuSaveAs, MenuCompare, MenuChangePassword, MenuFactorySettings, MenuLogout}) {
            QVERIFY(!Menu(id)->isEnabled());
        }
        for (int id : {MenuExit, MenuHelp, MenuAbout}) QVERIFY(Menu(id)->isEnabled());
        // Template positions in dialog units keep their proportions on screen.
        QWidget* info = Control(IdInfo);
        QWidget* error = Control(IdError);
        QVERIFY(info->width() > 3 * error->width() && info->width() < 4 * error->width());
        QCOMPARE(Control(IdCurrent)->x(), Control(IdDelay)->x());
        QVERIFY(Control(IdDelay)->y() > Control(IdCurrent)->y());
    }

    void logged_out_shows_zeros_and_not_connected_while_disabled() {
        LoggedOutValues();
        SendSession(false);
        QCOMPARE(Edit(IdInfo)->text(), QStringLiteral("Not connected!"));
        QCOMPARE(Edit(IdTemperature)->text(), QStringLiteral("0"));
        QCOMPARE(Edit(IdSupplyVoltage)->text(), QStringLiteral("0.0"));
        QCOMPARE(Edit(IdDutyCycle)->text(), QStringLiteral("0.00"));
        for (int id : {IdMode, IdTriggerSource, IdEdge, IdTriggerOut, IdReadyOut}) QCOMPARE(List(id)->currentIndex(), 0);
        QCOMPARE(List(IdReadyOut)->currentText(), QStringLiteral("push-pull"));
        QVERIFY(!FindControl<QCheckBox>(dialog, IdAutoStart)->isChecked());
        for (int id : kAllControls) QVERIFY(!Control(id)->isEnabled());
        QVERIFY(Menu(MenuAbout)->isEnabled());
    }

    void display_forms_and_choices() {
        struct Case {
            const char* mode;
            const char* timeOn;
            const char* cycle;
            const char* volts;
            const char* triggerOut;
            const char* autoStart;
            QString duty;
            QString supply;
            int triggerIndex;
            bool ticked;
        };
        const Case cases[] = {
            {"1", "100", "1000", "20000", "5", "1", "100.00", "20.0", 5, true},
            {"0", "100", "1000", "1500", "7", "0", "10.00", "1.5", -1, false},
            {"0", "100", "0", "", "0", "", "0.00", "0.0", 0, false},
        };
        for (const Case& c : cases) {
            Store({{ParamMode, c.mode}, {ParamTimeOn, c.timeOn}, {ParamCycleTime, c.cycle},
                   {ParamSupplyVoltage, c.volts}, {ParamTriggerOut, c.triggerOut}, {ParamAutoStart, c.autoStart}});
            SendSession(true);
            QCOMPARE(Edit(IdDutyCycle)->text(), c.duty);
            QCOMPARE(Edit(IdSupplyVoltage)->text(), c.supply);
            QCOMPARE(List(IdTriggerOut)->currentIndex(), c.triggerIndex);
            QCOMPARE(FindControl<QCheckBox>(dialog, IdAutoStart)->isChecked(), c.ticked);
        }
    }

    void continuous_mode_disables_the_flash_only_controls() {
        Store({{ParamMode, "1"}});
        SendSession(true);
        QCOMPARE(List(IdMode)->currentText(), QStringLiteral("Continuous"));
        for (int id : kFlashOnly) QVERIFY2(!Control(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {IdMode, IdCurrent, IdDutyCycle, IdAutoStart, IdStart, IdTemperature, IdLogout}) {
            QVERIFY(Control(id)->isEnabled());
        }
        QVERIFY(Menu(MenuSaveAs)->isEnabled());
        Store({{ParamMode, "0"}});
        SendParameter(MsgRefreshParameter, ParamMode);
        for (int id : kFlashOnly) QVERIFY(Control(id)->isEnabled());
        SendSession(false);
        for (int id : kAllControls) QVERIFY(!Control(id)->isEnabled());
        QCOMPARE(Edit(IdCurrent)->text(), QString());  // still the stored (empty) text
    }

    void refresh_parameter_updates_only_its_fields() {
        Store({{ParamTimeOn, "100"}, {ParamCycleTime, "1000"}, {ParamCurrent, "5000"}});
        SendSession(true);
        Store({{ParamTimeOn, "200"}, {ParamCurrent, "6000"}, {ParamStatusCurrent, "77"}, {ParamEcho, "1"}});
        for (int index : {11, 14, 15, 16, 18, 41}) SendParameter(MsgRefreshParameter, index);
        QCOMPARE(Edit(IdCurrent)->text(), QStringLiteral("5000"));
        QCOMPARE(Edit(IdTimeOn)->text(), QStringLiteral("100"));
        SendParameter(MsgRefreshParameter, ParamTimeOn);
        QCOMPARE(Edit(IdTimeOn)->text(), QStringLiteral("200"));
        QCOMPARE(Edit(IdDutyCycle)->text(), QStringLiteral("20.00"));
        QCOMPARE(Edit(IdCurrent)->text(), QStringLiteral("5000"));
    }

    // Left on a button, Enter would press it: after a login or a load the keyboard is
    // at the first setting.
    void a_session_opens_with_the_keyboard_at_the_first_setting() {
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, 20000));
        Control(kIdCancel)->setFocus();  // the Exit button
        SendSession(true);
        QTRY_VERIFY(List(IdMode)->hasFocus());
    }

    void focus_parameter_moves_the_focus_and_commits_the_edit_left() {
        Store({{ParamDelay, "100"}, {ParamTemperature, "35"}});
        SendSession(true);
        dialog->activateWindow();
        Edit(IdDelay)->setFocus();
        Edit(IdDelay)->setText("250");
        SendParameter(MsgFocusParameter, ParamTemperature);
        QTRY_VERIFY(Edit(IdTemperature)->hasFocus());
        QVERIFY(ControlBlock.writeRequest);
        QCOMPARE(ControlBlock.pendingWriteIndex, static_cast<std::int32_t>(ParamDelay));
        QCOMPARE(QByteArray(ControlBlock.pendingWriteText), QByteArray("250"));
    }

    void commits_hand_over_changes_and_revert_refused_ones() {
        Store({{ParamCurrent, "5000"}, {ParamAutoStart, "0"}, {ParamEdge, "0"}});
        SendSession(true);
        dialog->activateWindow();
        // Unchanged: nothing is sent.
        Edit(IdCurrent)->setFocus();
        QTest::keyClick(dialog, Qt::Key_Return);
        QVERIFY(!ControlBlock.writeRequest);
        // Changed while another request holds busy: the stored value comes back.
        QVERIFY(TryAcquireBusy());
        Edit(IdCurrent)->setFocus();
        Edit(IdCurrent)->setText("6000");
        QTest::keyClick(dialog, Qt::Key_Return);
        QCOMPARE(Edit(IdCurrent)->text(), QStringLiteral("5000"));
        FindControl<QCheckBox>(dialog, IdAutoStart)->click();
        QVERIFY(!FindControl<QCheckBox>(dialog, IdAutoStart)->isChecked());
        ReleaseBusy();
        // A choice is handed over as its position.
        List(IdEdge)->setCurrentIndex(1);
        emit List(IdEdge)->activated(1);
        QVERIFY(ControlBlock.writeRequest);
        QCOMPARE(ControlBlock.pendingWriteIndex, static_cast<std::int32_t>(ParamEdge));
        QCOMPARE(QByteArray(ControlBlock.pendingWriteText), QByteArray("1"));
    }

    void enter_moves_to_the_next_control_and_commits() {
        Store({{ParamDelay, "100"}, {ParamTimeOn, "50"}});
        SendSession(true);
        dialog->activateWindow();
        Edit(IdDelay)->setFocus();
        QTRY_VERIFY(Edit(IdDelay)->hasFocus());
        QTest::keyClicks(Edit(IdDelay), "7");
        QTest::keyClick(Edit(IdDelay), Qt::Key_Return);
        QTRY_VERIFY(Edit(IdTimeOn)->hasFocus());
        QCOMPARE(QByteArray(ControlBlock.pendingWriteText), QByteArray("1007"));
        QCOMPARE(ControlBlock.pendingWriteIndex, static_cast<std::int32_t>(ParamDelay));
        QTest::keyClicks(Edit(IdTimeOn), "x9");  // entering selected the text; digits only
        QCOMPARE(Edit(IdTimeOn)->text(), QStringLiteral("9"));
    }

    // Scrolling over the window must never change a value: only a focused list takes
    // the wheel (and then sends its new value, as any selection does).
    void the_wheel_changes_a_list_only_while_it_has_the_focus() {
        Store({{ParamEdge, "0"}});
        SendSession(true);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, 20000));
        auto wheel = [](QWidget* target) {
            QPointF at(target->width() / 2.0, target->height() / 2.0);
            QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &event);
        };
        Edit(IdCurrent)->setFocus();
        QTRY_VERIFY(Edit(IdCurrent)->hasFocus());
        wheel(List(IdEdge));
        QCOMPARE(List(IdEdge)->currentIndex(), 0);
        QVERIFY(!ControlBlock.writeRequest);

        List(IdEdge)->setFocus();
        QTRY_VERIFY(List(IdEdge)->hasFocus());
        wheel(List(IdEdge));
        QCOMPARE(List(IdEdge)->currentIndex(), 1);
        QVERIFY(ControlBlock.writeRequest);
        QCOMPARE(QByteArray(ControlBlock.pendingWriteText), QByteArray("1"));
    }

    // A menu takes the keyboard only for a moment: the edit still being typed in
    // commits when the focus really moves on, not when the menu opens.
    void opening_a_menu_does_not_commit_the_edit_being_typed_in() {
        Store({{ParamCurrent, "5000"}});
        SendSession(true);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, 20000));
        Edit(IdCurrent)->setFocus();
        QTRY_VERIFY(Edit(IdCurrent)->hasFocus());
        Edit(IdCurrent)->setText("6000");
        auto* bar = FindControl<QMenuBar>(dialog, kMenuId);
        QAction* file = bar->actions().first();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(file).center());
        QTRY_VERIFY(file->menu()->isVisible());
        QVERIFY(!ControlBlock.writeRequest);
        QTest::keyClick(file->menu(), Qt::Key_Escape);
        QTest::keyClick(bar, Qt::Key_Escape);
        QTRY_VERIFY(!file->menu()->isVisible());
        QVERIFY(!ControlBlock.writeRequest);
        QCOMPARE(Edit(IdCurrent)->text(), QStringLiteral("6000"));

        Edit(IdDelay)->setFocus();  // a real change of focus
        QVERIFY(ControlBlock.writeRequest);
        QCOMPARE(QByteArray(ControlBlock.pendingWriteText), QByteArray("6000"));
    }

    // Under the template's controls, which keep their places: the window grows by the
    // bar, which shows the last action's outcome and the port in use; the title names
    // the file saved or loaded last.
    void the_status_bar_and_title_show_the_last_action_the_port_and_the_file() {
        QWidget* client = Control(IdInfo)->parentWidget();
        auto* bar = dialog->findChild<QStatusBar*>();
        QVERIFY(bar);
        QCOMPARE(dialog->height(), FindControl<QMenuBar>(dialog, kMenuId)->height() + client->height() + bar->height());
        QVERIFY(bar->geometry().top() >= client->geometry().bottom());

        SetStatusText(181, "set.xml", 12, 1);
        SetCurrentFile("/home/lab/set.xml");
        SendParameter(MsgShowStatus, 0);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Loaded set.xml: 12 values sent, 1 refused"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("set.xml - ZL-Config"));
        SetCurrentFile("");
        SendParameter(MsgShowStatus, 0);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("ZL-Config"));

        SetSessionText(SlotPortName, u"COM34");
        SendSession(true);
        auto labels = bar->findChildren<QLabel*>();
        bool shown = std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
            return l->text() == QStringLiteral("COM34: /dev/ttyUSB1 - USB serial");
        });
        QVERIFY(shown);
    }

    // Alt and a letter opens a menu; the usual keys run Open, Save, Save as, Exit and
    // help; each value field says its unit and range, from the help text.
    void menus_have_mnemonics_and_shortcuts_and_fields_say_their_range() {
        auto* bar = FindControl<QMenuBar>(dialog, kMenuId);
        QStringList titles;
        for (QAction* menu : bar->actions()) titles << menu->text();
        QCOMPARE(titles, QStringList({"&File", "&Controller", "&View", "&Help"}));
        const std::pair<int, const char*> keys[] = {{MenuOpen, "Ctrl+O"}, {MenuSave, "Ctrl+S"},
                                                    {MenuSaveAs, "Ctrl+Shift+S"}, {MenuExit, "Ctrl+Q"},
                                                    {MenuHelp, "F1"}};
        for (const auto& [id, sequence] : keys) QCOMPARE(Menu(id)->shortcut(), QKeySequence(QString::fromLatin1(sequence)));
        // Each item has one letter of its own in its menu; the texts stay as they are.
        for (QAction* menu : bar->actions()) {
            QSet<QChar> letters;
            for (QAction* item : menu->menu()->actions()) {
                if (item->isSeparator()) continue;
                const QString text = item->text();
                const auto at = text.indexOf(QLatin1Char('&'));
                QVERIFY2(at >= 0 && text.count(QLatin1Char('&')) == 1 && at + 1 < text.size(), qPrintable(text));
                QVERIFY2(!letters.contains(text[at + 1].toLower()), qPrintable(text));
                letters.insert(text[at + 1].toLower());
                QString shown = text;
                shown.remove(at, 1);
                const int id = item->property("controlId").toInt();
                const auto* entry = std::find_if(kMainMenu, kMainMenu + kMainMenuCount,
                                                 [id](const MenuItemTemplate& t) { return t.id == id; });
                QVERIFY(entry != kMainMenu + kMainMenuCount);
                QCOMPARE(shown, QString::fromUtf16(entry->text));
            }
        }
        QCOMPARE(Menu(MenuSaveAs)->text(), QStringLiteral("Save &as..."));

        // View > Trend opens while logged out, on what the last session recorded.
        Menu(MenuTrend)->trigger();
        auto* trend = dialog->findChild<QWidget*>(QStringLiteral("trend"));
        QVERIFY(trend && trend->isVisible());
        trend->hide();

        // Help > User guide: the guide shipped with the program, in a window of its own.
        Menu(MenuUserGuide)->trigger();
        auto* guide = dialog->findChild<QTextBrowser*>(QStringLiteral("userGuide"));
        QVERIFY(guide && guide->isVisible());
        for (const char* topic : {"Connecting", "Ports", "Editing values", "Files", "Console traffic", "The command line"}) {
            QVERIFY2(guide->toPlainText().contains(QString::fromLatin1(topic)), topic);
        }

        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, 20000));
        QTest::keyClick(dialog, Qt::Key_F1);
        QVERIFY(ControlBlock.helpRequest);
        BoxAnswerer answerer(QMessageBox::No);
        QTest::keyClick(dialog, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(answerer.Seen().size(), 1);
        QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Close ZL-Config?"));

        QCOMPARE(Edit(IdCurrent)->toolTip(), QStringLiteral("Set LED current in mA [100...20000]"));
        QCOMPARE(Edit(IdCycleTime)->toolTip(), QStringLiteral("Set repetition rate (cycle time) in us [100...60000000]"));
        QCOMPARE(List(IdMode)->toolTip(), QStringLiteral("Select flash-mode [0] or continuous-mode [1]"));
        QCOMPARE(Control(IdSave)->toolTip(),
                 QStringLiteral("Check the settings and store them in the unit (File > Save writes a file)"));
        for (int id : {IdDelay, IdTimeOn, IdTriggerSource, IdEdge, IdTriggerOut, IdReadyOut, IdAutoStart, IdDutyCycle,
                       IdStart, IdStop}) {
            QVERIFY2(!Control(id)->toolTip().isEmpty(), qPrintable(QString::number(id)));
        }
    }

    // The frame's top line runs through a group box's title, as the templates draw it.
    void group_box_titles_sit_on_the_frame_line() {
        auto* group = FindControl<QGroupBox>(dialog, IdFlashGroup);
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        QRect frame = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group);
        QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        QVERIFY2(frame.top() > label.top() && frame.top() < label.bottom(),
                 qPrintable(QStringLiteral("frame top %1, title %2..%3").arg(frame.top()).arg(label.top()).arg(label.bottom())));
    }

    // View > Console traffic: the lines sent and received, with time and direction,
    // collected from the start; it can be cleared and saved.
    // The traffic window goes beside the main dialog, never over it while the screen
    // has room on either side.
    void the_traffic_window_is_placed_beside_the_main_dialog() {
        const QRect screen(0, 0, 1280, 900);
        const QSize wanted(400, 500);
        const struct {
            QRect main;
            QRect place;
        } cases[] = {
            {QRect(QPoint(100, 50), QPoint(700, 449)), QRect(709, 50, 400, 500)},   // right
            {QRect(QPoint(800, 50), QPoint(1279, 449)), QRect(392, 50, 400, 500)},  // left
            {QRect(QPoint(300, 50), QPoint(1000, 449)), QRect(0, 50, 292, 500)},    // narrower, left
            {QRect(QPoint(100, 50), QPoint(1200, 449)), QRect(880, 50, 400, 500)},  // no room: the edge
            {QRect(QPoint(100, 700), QPoint(700, 899)), QRect(709, 400, 400, 500)}, // kept on the screen
        };
        for (const auto& c : cases) QCOMPARE(PlaceBeside(c.main, wanted, screen, 8, 250), c.place);
    }

    void the_traffic_window_shows_the_console_lines_live() {
        TrafficLine stale[kTrafficCapacity];
        TakeTraffic(stale, kTrafficCapacity);
        auto* traffic = dialog->findChild<TrafficWindow*>();
        QVERIFY(traffic && !traffic->isVisible());
        LogSent("/Config/Current 5000\n", false);
        LogReceived("<VAL> Current 5000");
        auto* text = traffic->findChild<QPlainTextEdit*>();
        QTRY_VERIFY_WITH_TIMEOUT(text->toPlainText().contains(QStringLiteral("< <VAL> Current 5000")), 20000);  // while hidden too
        QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d > /Config/Current 5000$")).match(lines[0]).hasMatch());
        Menu(MenuTraffic)->trigger();
        QVERIFY(traffic->isVisible());
        LogReceived("<VAL> Delay 7");
        QTRY_VERIFY_WITH_TIMEOUT(text->toPlainText().contains(QStringLiteral("< <VAL> Delay 7")), 20000);

        QString path = QDir::tempPath() + QStringLiteral("/zl-traffic-%1.txt").arg(QCoreApplication::applicationPid());
        QVERIFY(traffic->SaveTo(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("> /Config/Current 5000\n"));
        saved.remove();
        traffic->Clear();
        QCOMPARE(text->toPlainText(), QString());
    }

    void buttons_and_menu_raise_their_requests() {
        SendSession(true);
        const std::pair<int, RequestFlag*> buttons[] = {
            {IdStart, &ControlBlock.startRequest}, {IdStop, &ControlBlock.stopRequest},
            {IdSave, &ControlBlock.saveRequest}, {IdLogout, &ControlBlock.logoutRequest}};
        for (const auto& [id, flag] : buttons) {
            FindControl<QPushButton>(dialog, id)->click();
            QVERIFY(flag->load());
        }
        ResetSharedState();
        const std::pair<int, RequestFlag*> items[] = {
            {MenuChangePassword, &ControlBlock.passwordDialogRequest}, {MenuLogout, &ControlBlock.logoutRequest},
            {MenuHelp, &ControlBlock.helpRequest}, {MenuAbout, &ControlBlock.aboutRequest}};
        for (const auto& [id, flag] : items) {
            Menu(id)->trigger();
            QVERIFY(flag->load());
        }
    }

    void factory_reset_and_exit_ask_first() {
        SendSession(true);
        BoxAnswerer answerer(QMessageBox::No);
        Menu(MenuFactorySettings)->trigger();
        QVERIFY(!ControlBlock.factoryResetRequest);
        answerer.SetAnswer(QMessageBox::Yes);
        Menu(MenuFactorySettings)->trigger();
        QVERIFY(ControlBlock.factoryResetRequest);
        QCOMPARE(answerer.Seen().size(), 2);
        QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Reset all Parameters to Factory Settings?"));
        QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Question);
        QCOMPARE(answerer.Seen()[0].defaultButton, QMessageBox::No);  // an Enter by habit wipes nothing

        // Escape, the Exit button, the close box and File > Exit all ask; No keeps all.
        answerer.SetAnswer(QMessageBox::No);
        answerer.Clear();
        QTest::keyClick(dialog, Qt::Key_Escape);
        FindControl<QPushButton>(dialog, kIdCancel)->click();
        dialog->close();
        Menu(MenuExit)->trigger();
        QCOMPARE(answerer.Seen().size(), 4);
        for (const SeenBox& box : answerer.Seen()) {
            QCOMPARE(box.caption, QStringLiteral("ZL-Config"));
            QCOMPARE(box.text, QStringLiteral("Close ZL-Config?"));
            QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        }
        QVERIFY(dialog->isVisible());
    }

    void a_pending_notice_shows_in_one_warning_box_on_top() {
        BoxAnswerer answerer(QMessageBox::Ok);
        SendParameter(MsgShowNotice, 0);  // nothing pending: no box
        QCOMPARE(answerer.Seen().size(), 0);
        AppendNotice(148);
        AppendNotice(149);
        SendParameter(MsgShowNotice, 0);
        QCOMPARE(answerer.Seen().size(), 1);
        QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Unable to open COM-port\nUnable to set COM-port setting"));
        QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(answerer.Seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(answerer.Seen()[0].onTop);
        QVERIFY(!NoticePending());
    }
};

QTEST_MAIN(MainDialogTest)
#include "MainDialogTest.moc"
