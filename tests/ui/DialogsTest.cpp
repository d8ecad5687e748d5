#include <QAbstractItemView>
#include <cstdlib>
#include <memory>

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/HiddenWindow.h"
#include "platform/MessageSink.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "support/RecordingSink.h"
#include "ui/AppMessage.h"
#include "ui/CompareDialog.h"
#include "ui/FileChoosers.h"
#include "ui/MessageBoxes.h"
#include "ui/MainDialog.h"
#include "ui/SmallDialogs.h"
#include "UiSupport.h"

class DialogsTest : public QObject {
    Q_OBJECT

    // Delivers what the hidden window posts and what it forwards in turn.
    static void Deliver() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
    }

private slots:
    void initTestCase() {
        UseFreshSettings();
        InstallEventPump();
    }
    void init() { ResetSharedState(); }

    void hidden_window_creates_destroys_and_forwards_by_its_table() {
        HiddenWindow window;
        QVERIFY(!window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("ZL-Config"));
        // Forwarded messages without a main dialog are dropped; destroying nothing is harmless.
        window.Post(MsgRefreshParameter, 4, 0);
        window.Post(MsgDestroyHelp, 0, 0);
        Deliver();
        QVERIFY(!window.Dialog(DialogSlot::Main));

        window.Post(MsgCreateMain, 0, 0);
        Deliver();
        QPointer<QDialog> main = window.Dialog(DialogSlot::Main);
        QVERIFY(main && main->isVisible());
        window.Post(MsgCreateMain, 0, 0);
        Deliver();
        QCOMPARE(window.Dialog(DialogSlot::Main), main.data());

        SetParameterText(4, "1234");
        window.Post(MsgRefreshParameter, 4, 0);
        Deliver();
        QCOMPARE(FindControl<QLineEdit>(main, IdCurrent)->text(), QStringLiteral("1234"));

        window.Post(MsgCreateAbout, 0, 0);
        Deliver();
        QVERIFY(window.Dialog(DialogSlot::About));
        window.Post(MsgCreatePassword, 0, 0);  // also closes the About box
        Deliver();
        QVERIFY(window.Dialog(DialogSlot::Password));
        QVERIFY(!window.Dialog(DialogSlot::About));

        window.Post(MsgDestroyMain, 0, 0);
        window.Post(MsgDestroyPassword, 0, 0);
        Deliver();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main);
        QVERIFY(!window.Dialog(DialogSlot::Password));
    }

    void login_dialog_shows_defaults_and_ports_and_submits_once() {
        SetSessionText(SlotUserName, u"user");
        SetSessionText(SlotPassword, u"ta-vimek");
        ControlBlock.portList[0] = 1;
        ControlBlock.portList[1] = 3;
        ControlBlock.portList[2] = 0;
        LoginDialog dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Login"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(FindControl<QLineEdit>(&dialog, IdUserName)->text(), QStringLiteral("user"));
        QCOMPARE(FindControl<QLineEdit>(&dialog, IdPassword)->echoMode(), QLineEdit::Password);
        auto* ports = FindControl<QComboBox>(&dialog, IdComPort);
        QCOMPARE(ports->count(), 2);
        QCOMPARE(ports->itemText(1), QStringLiteral("COM3"));
        // The entry keeps the COM name; which device it is shows beside it.
        QCOMPARE(ports->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyS2 - built-in serial port"));
        // The drop-down shows it beside the name, wide enough to read.
        QCOMPARE(PortEntryText(ports, 1), QStringLiteral("COM3 - /dev/ttyS2 - built-in serial port"));
        QVERIFY(ports->view()->minimumWidth() > ports->fontMetrics().horizontalAdvance(PortEntryText(ports, 1)));
        QCOMPARE(ports->currentText(), QString());  // the stored name, empty at first
        QCOMPARE(ControlBlock.portCount.load(), 2);
        QVERIFY(!FindControl<QComboBox>(&dialog, IdBaud)->isVisible());

        FindControl<QLineEdit>(&dialog, IdUserName)->setText("operator1234");
        ports->setEditText("COM3");
        FindControl<QComboBox>(&dialog, IdBaud)->setCurrentIndex(0);  // hidden: the user never does
        FindControl<QComboBox>(&dialog, IdBaud)->setCurrentIndex(1);
        FindControl<QPushButton>(&dialog, kIdOk)->click();
        QVERIFY(ControlBlock.loginRequest);
        QCOMPARE(ControlBlock.baud, 19200);
        QCOMPARE(QString::fromStdString(SessionTextUtf8(SlotUserName)), QStringLiteral("operator"));
        QCOMPARE(QString::fromStdString(SessionTextUtf8(SlotPortName)), QStringLiteral("COM3"));
        ControlBlock.loginRequest = false;
        ReleaseBusy();
        FindControl<QPushButton>(&dialog, kIdOk)->click();  // a second OK does nothing
        QVERIFY(!ControlBlock.loginRequest);

        BoxAnswerer answerer(QMessageBox::No);
        FindControl<QPushButton>(&dialog, kIdCancel)->click();
        QCOMPARE(answerer.Seen().size(), 1);
        QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Close ZL-Config?"));
        QVERIFY(dialog.isVisible());
    }

    void password_dialog_hands_over_and_closing_raises_its_flag() {
        ControlBlock.loggedIn = true;
        SetSessionText(SlotCurrentPassword, u"old");
        PasswordDialog dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Password"));
        QCOMPARE(FindControl<QLineEdit>(&dialog, IdCurrentPassword)->text(), QStringLiteral("old"));
        FindControl<QLineEdit>(&dialog, IdNewPassword)->setText("new-password");
        FindControl<QLineEdit>(&dialog, IdNewPasswordAgain)->setText("new-passwort");
        FindControl<QPushButton>(&dialog, kIdOk)->click();
        QVERIFY(ControlBlock.passwordChangeRequest);
        QCOMPARE(QString::fromStdString(SessionTextUtf8(SlotNewPassword)), QStringLiteral("new-pass"));
        // The controller's limit: the fields take no more than 8 characters.
        for (int id : {IdCurrentPassword, IdNewPassword, IdNewPasswordAgain}) {
            QCOMPARE(FindControl<QLineEdit>(&dialog, id)->maxLength(), 8);
        }
        QVERIFY(dialog.isVisible());  // the worker closes it
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(ControlBlock.passwordDialogClosed);
        QVERIFY(dialog.isVisible());
    }

    // Enter on a focused push button clicks that button; anywhere else it is the
    // dialog's OK: Cancel must never submit a password change.
    void enter_clicks_the_focused_button_and_is_ok_elsewhere() {
        ControlBlock.loggedIn = true;
        PasswordDialog password;
        FindControl<QLineEdit>(&password, IdNewPassword)->setText(QStringLiteral("Secret1"));
        FindControl<QLineEdit>(&password, IdNewPasswordAgain)->setText(QStringLiteral("Secret1"));
        password.show();
        password.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&password, 20000));
        FindControl<QPushButton>(&password, kIdCancel)->setFocus();
        QTRY_VERIFY(FindControl<QPushButton>(&password, kIdCancel)->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(ControlBlock.passwordDialogClosed);
        QVERIFY(!ControlBlock.passwordChangeRequest);
        FindControl<QLineEdit>(&password, IdNewPassword)->setFocus();
        QTRY_VERIFY(FindControl<QLineEdit>(&password, IdNewPassword)->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(ControlBlock.passwordChangeRequest);

        AboutDialog about;
        about.show();
        about.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&about, 20000));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &about, Qt::Key_Return);
        QVERIFY(ControlBlock.aboutClosed);

        HelpDialog help;
        help.show();
        help.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&help, 20000));
        FindControl<QPlainTextEdit>(&help, IdHelpText)->setFocus();
        QTRY_VERIFY(FindControl<QPlainTextEdit>(&help, IdHelpText)->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(ControlBlock.helpClosed);
    }

    // The login dialog opens over the main window, where the user looks, wherever that is.
    void the_login_dialog_opens_centred_on_the_main_window() {
        HiddenWindow window;
        window.Post(MsgCreateMain, 0, 0);
        Deliver();
        QDialog* main = window.Dialog(DialogSlot::Main);
        QVERIFY(main);
        main->move(40, 60);
        window.Post(MsgCreateLogin, 0, 0);
        Deliver();
        QDialog* login = window.Dialog(DialogSlot::Login);
        QVERIFY(login);
        QPoint offset = login->frameGeometry().center() - main->frameGeometry().center();
        // Within the rounding of two centres.
        QVERIFY2(std::abs(offset.x()) <= 2 && std::abs(offset.y()) <= 2,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    // An empty user name or new password is refused with a notice before anything is
    // handed over: the console would take the password at its "Login:" prompt in clear,
    // or the unit would be left without a password.
    void empty_user_names_and_new_passwords_are_refused_with_a_notice() {
        struct Case {
            bool login;
            QString text;
            QString notice;
        };
        const Case cases[] = {
            {true, QString(), QStringLiteral("Enter a user name!")},
            {true, QStringLiteral("   "), QStringLiteral("Enter a user name!")},
            {false, QString(), QStringLiteral("The new password must not be empty!")},
            {false, QStringLiteral(" \t"), QStringLiteral("The new password must not be empty!")},
        };
        for (const Case& c : cases) {
            ResetSharedState();
            ControlBlock.loggedIn = true;
            BoxAnswerer answerer(QMessageBox::Ok);
            std::unique_ptr<QDialog> dialog;
            if (c.login) {
                dialog = std::make_unique<LoginDialog>(nullptr);
                FindControl<QLineEdit>(dialog.get(), IdUserName)->setText(c.text);
                FindControl<QComboBox>(dialog.get(), IdComPort)->setEditText(QStringLiteral("COM1"));
            } else {
                dialog = std::make_unique<PasswordDialog>(nullptr);
                FindControl<QLineEdit>(dialog.get(), IdCurrentPassword)->setText(QStringLiteral("ta-vimek"));
                FindControl<QLineEdit>(dialog.get(), IdNewPassword)->setText(c.text);
                FindControl<QLineEdit>(dialog.get(), IdNewPasswordAgain)->setText(c.text);
            }
            dialog->show();
            FindControl<QPushButton>(dialog.get(), kIdOk)->click();
            QTRY_COMPARE(answerer.Seen().size(), 1);
            QCOMPARE(answerer.Seen()[0].text, c.notice);
            QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Warning);
            QVERIFY(!ControlBlock.loginRequest && !ControlBlock.passwordChangeRequest);
            QVERIFY(!IsBusy());
        }
    }

    // A notice belongs above the login dialog, which is kept on top: owned by the main
    // dialog it would open behind it. Closed, it leaves the keyboard in the user name.
    void a_notice_opens_above_the_login_dialog_and_gives_the_keyboard_back() {
        MainDialog main;
        main.show();
        LoginDialog login;
        login.show();
        login.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&login, 20000));
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main, 20000));
        BoxAnswerer answerer(QMessageBox::Ok);
        AppendNotice(148);
        ShowNotice(&main);
        QCOMPARE(answerer.Seen().size(), 1);
        QCOMPARE(answerer.Seen()[0].owner, QStringLiteral("id%1").arg(DialogLogin));
        QTRY_VERIFY(login.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), FindControl<QLineEdit>(&login, IdUserName));
    }

    // The decorations the templates give: the login dialog a title and nothing to close
    // it by (Cancel and Escape are its ways out), the main dialog close and minimise
    // but no maximise, the About box no caption, the Help window resizable.
    void window_decorations_follow_the_templates() {
        LoginDialog login;
        Qt::WindowFlags flags = login.windowFlags();
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        MainDialog main;
        flags = main.windowFlags();
        QVERIFY((flags & Qt::WindowCloseButtonHint) && (flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(AboutDialog().windowFlags() & Qt::FramelessWindowHint);

        HelpDialog help;
        help.show();
        QVERIFY(help.minimumSize() != help.maximumSize());
        auto* text = FindControl<QPlainTextEdit>(&help, IdHelpText);
        int margin = text->x();
        help.resize(help.width() + 200, help.height() + 100);
        QTRY_COMPARE(text->width(), help.width() - 2 * margin);
        QCOMPARE(text->height(), help.height() - 2 * margin);
    }

    void about_box_lines_and_help_text() {
        AboutDialog about;
        about.show();
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(FindControl<QLabel>(&about, IdAboutName)->text(), QStringLiteral("ZL-Config V1.0"));
        QCOMPARE(FindControl<QLabel>(&about, IdAboutBlank)->text(), QStringLiteral(" "));
        QCOMPARE(FindControl<QLabel>(&about, IdAboutProduct)->text(), QStringLiteral("Configuration program for ZL-500-40K"));
        QVERIFY(!FindControl<QLabel>(&about, IdAboutMaker)->text().isEmpty());
        auto* picture = about.findChild<QLabel*>(QStringLiteral("picture"));
        QVERIFY(!picture->pixmap().isNull());
        // Top to bottom: logo, name, blank, product, maker, OK.
        QList<int> order = {picture->y(), FindControl<QLabel>(&about, IdAboutName)->y(),
                            FindControl<QLabel>(&about, IdAboutBlank)->y(), FindControl<QLabel>(&about, IdAboutProduct)->y(),
                            FindControl<QLabel>(&about, IdAboutMaker)->y(), FindControl<QPushButton>(&about, kIdOk)->y()};
        QVERIFY(std::is_sorted(order.begin(), order.end()));
        FindControl<QPushButton>(&about, kIdOk)->click();
        QVERIFY(ControlBlock.aboutClosed);

        HelpDialog help;
        help.show();
        auto* text = FindControl<QPlainTextEdit>(&help, IdHelpText);
        QVERIFY(text->isReadOnly());
        QStringList lines = text->toPlainText().split('\n');
        QCOMPARE(lines.first(), QStringLiteral("Help for commands/parameters:"));
        QCOMPARE(lines[2], QStringLiteral("AutoStart"));
        QCOMPARE(lines[lines.size() - 3], QStringLiteral("Ver"));  // the text ends with a line end
        help.close();
        QVERIFY(ControlBlock.helpClosed);
    }

    void file_choosers_offer_the_filters_and_hand_over_or_give_busy_back() {
        ControlBlock.loggedIn = true;
        FillFileChooser();
        QScopedPointer<QFileDialog> save(MakeFileChooser(nullptr, true));
        QCOMPARE(save->nameFilters(), QStringList({"ZL-Config XML (*.xml)", "All (*)"}));
        QCOMPARE(save->defaultSuffix(), QStringLiteral("xml"));
        QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(save->selectedNameFilter(), QStringLiteral("ZL-Config XML (*.xml)"));

        // Another request holds busy: the chooser waits for it with events flowing (the
        // timer that ends the other request fires meanwhile). Cancelled: busy is free
        // again, no request.
        QVERIFY(TryAcquireBusy());
        QTimer::singleShot(100, [] { ReleaseBusy(); });
        OnNextFileChooser([](QWidget* chooser) { QMetaObject::invokeMethod(chooser, "reject"); });
        SaveConfigFileAs(nullptr);
        QVERIFY(!ControlBlock.saveFileRequest);
        QVERIFY(!IsBusy());

        // Confirmed with a name without extension: ".xml" is added, the request keeps busy.
        QString dir = QDir::tempPath();
        OnNextFileChooser([dir](QWidget* w) {
            auto* chooser = static_cast<QFileDialog*>(w);
            chooser->setDirectory(dir);  // typed into the name field, as a user does
            chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("zl-chooser-test"));
            QMetaObject::invokeMethod(chooser, "accept");
        });
        SaveConfigFile(nullptr);
        QVERIFY(ControlBlock.saveFileRequest);
        QVERIFY(IsBusy());
        QCOMPARE(QString::fromLocal8Bit(fileChooser.path), dir + QStringLiteral("/zl-chooser-test.xml"));
        ControlBlock.saveFileRequest = false;
        ReleaseBusy();
        SaveConfigFile(nullptr);  // a name is set: no dialog
        QVERIFY(ControlBlock.saveFileRequest);
    }

    // The last port, user name, file folder and window position come back in the
    // next run; the password never is written down.
    void remembers_login_folder_and_position_but_never_the_password() {
        UseFreshSettings();
        SetSessionText(SlotUserName, u"user");
        {
            LoginDialog first;  // nothing remembered: as on every first start
            QCOMPARE(FindControl<QLineEdit>(&first, IdUserName)->text(), QStringLiteral("user"));
            QCOMPARE(FindControl<QComboBox>(&first, IdComPort)->currentText(), QString());
            FindControl<QLineEdit>(&first, IdUserName)->setText(QStringLiteral("service"));
            FindControl<QLineEdit>(&first, IdPassword)->setText(QStringLiteral("secret12"));
            FindControl<QComboBox>(&first, IdComPort)->setEditText(QStringLiteral("COM34"));
            FindControl<QPushButton>(&first, kIdOk)->click();
            ControlBlock.loginRequest = false;
            ReleaseBusy();
        }
        ResetSharedState();
        SetSessionText(SlotUserName, u"user");  // a new run's start
        {
            // The port only once a login on it succeeded.
            LoginDialog tried;
            QCOMPARE(FindControl<QLineEdit>(&tried, IdUserName)->text(), QStringLiteral("service"));
            QCOMPARE(FindControl<QComboBox>(&tried, IdComPort)->currentText(), QString());
            MainDialog main;
            SetSessionText(SlotPortName, u"COM34");
            ControlBlock.loggedIn = true;
            AppMessageEvent open(MsgSessionOpen, 0, 0);
            QCoreApplication::sendEvent(&main, &open);
        }
        ResetSharedState();
        SetSessionText(SlotUserName, u"user");
        LoginDialog next;
        QCOMPARE(FindControl<QLineEdit>(&next, IdUserName)->text(), QStringLiteral("service"));
        QCOMPARE(FindControl<QComboBox>(&next, IdComPort)->currentText(), QStringLiteral("COM34"));

        ControlBlock.loggedIn = true;
        QString folder = QDir::tempPath() + QStringLiteral("/zl-folder-%1").arg(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(folder));
        std::unique_ptr<QTimer> choosers(OnEachFileChooser([folder](QWidget* w) {
            auto* chooser = static_cast<QFileDialog*>(w);
            chooser->setDirectory(folder);
            chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("set"));
            QMetaObject::invokeMethod(chooser, "accept");
        }));
        SaveConfigFileAs(nullptr);
        QVERIFY(ControlBlock.saveFileRequest);
        ControlBlock.saveFileRequest = false;
        ReleaseBusy();
        fileChooser.path[0] = 0;  // as after a load
        QScopedPointer<QFileDialog> chooser(MakeFileChooser(nullptr, false));
        QCOMPARE(chooser->directory().absolutePath(), QDir(folder).absolutePath());

        {
            HiddenWindow window;
            window.Post(MsgCreateMain, 0, 0);
            Deliver();
            window.Dialog(DialogSlot::Main)->move(137, 121);
        }
        HiddenWindow window;
        window.Post(MsgCreateMain, 0, 0);
        Deliver();
        QCOMPARE(window.Dialog(DialogSlot::Main)->pos(), QPoint(137, 121));

        QDirIterator files(QDir::tempPath() + QStringLiteral("/zl-settings-%1").arg(QCoreApplication::applicationPid()),
                           QDir::Files, QDirIterator::Subdirectories);
        int checked = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(!file.readAll().contains("secret12"));
            ++checked;
        }
        QVERIFY(checked > 0);
        QDir(folder).removeRecursively();
    }

    // A file's values beside the controller's, differences marked, through the same
    // checks as Open; nothing sent, nothing held.
    void compare_shows_the_files_values_beside_the_controllers() {
        const std::pair<int, const char*> controller[] = {
            {ParamEcho, "0"}, {ParamBaud, "19200"}, {ParamMode, "0"}, {ParamCurrent, "5000"},
            {ParamDelay, "100"}, {ParamTimeOn, "1000"}, {ParamCycleTime, "20000"}, {ParamTriggerSource, "1"},
            {ParamEdge, "1"}, {ParamTriggerOut, "0"}, {ParamReadyOut, "2"}, {ParamAutoStart, "1"}};
        for (const auto& [index, text] : controller) SetParameterText(index, text);
        QString path = QDir::tempPath() + QStringLiteral("/zl-compare-%1.xml").arg(QCoreApplication::applicationPid());
        auto write = [&](const char* config) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("<?xml version=\"1.0\"?><ZL-Config><Program><Version>1.0</Version></Program>"
                                  "<Controller><Version>Firmware-Version ZL-500-40K 1.10</Version>"
                                  "<System><Baud>19200</Baud><Echo>0</Echo></System><Config>") + config +
                       "</Config></Controller></ZL-Config>");
        };
        write("<Mode>0</Mode><Current>7000</Current><Delay> 100 </Delay>");
        CompareDialog same(path);
        QCOMPARE(same.Differences(), 1);
        auto* table = same.findChild<QTableWidget*>(QStringLiteral("values"));
        QCOMPARE(table->item(3, 0)->text(), QStringLiteral("Current [mA]"));  // the window's words
        QCOMPARE(table->item(7, 0)->text(), QStringLiteral("Trigger source"));
        QCOMPARE(table->item(7, 2)->text(), QStringLiteral("external"));
        QCOMPARE(table->item(3, 1)->text(), QStringLiteral("7000"));
        QCOMPARE(table->item(3, 2)->text(), QStringLiteral("5000"));
        QVERIFY(table->item(3, 1)->data(Qt::UserRole).toBool());
        QVERIFY(!table->item(4, 1)->data(Qt::UserRole).toBool());  // Delay, blanks around
        QCOMPARE(table->item(5, 1)->text(), QStringLiteral("(none)"));  // TimeOn is not in it

        write("<Mode>1&#10;FactorySettings</Mode>");
        CompareDialog refused(path);
        QCOMPARE(refused.Differences(), 0);
        QCOMPARE(refused.findChild<QLabel*>(QStringLiteral("summary"))->text(), QStringLiteral("Unexpected XML structure"));
        QVERIFY(!IsBusy());
        QVERIFY(!ControlBlock.openFileRequest && !ControlBlock.writeRequest);
        QFile::remove(path);

        // Its chooser says what it is for: it opens nothing.
        QString title;
        OnNextFileChooser([&title](QWidget* chooser) {
            title = chooser->windowTitle();
            QMetaObject::invokeMethod(chooser, "reject");
        });
        MainDialog main;
        main.RefreshMainDialog(true);
        FindControl<QAction>(&main, MenuCompare)->trigger();
        QCOMPARE(title, QStringLiteral("Compare with file"));
    }

    // A path that does not fit the 1000-byte path buffer would be cut into another
    // file's name: refused, and said so (not silently, like a cancel).
    void a_chosen_path_of_1000_bytes_or_more_is_refused_with_a_notice() {
        ControlBlock.loggedIn = true;
        QString deep = QDir::tempPath() + QStringLiteral("/zl-deep-%1").arg(QCoreApplication::applicationPid());
        for (int i = 0; i < 5; ++i) deep += QLatin1Char('/') + QString(200, QLatin1Char('d'));
        QVERIFY(QDir().mkpath(deep));
        std::unique_ptr<QTimer> choosers(OnEachFileChooser([deep](QWidget* w) {
            auto* chooser = static_cast<QFileDialog*>(w);
            chooser->setDirectory(deep);
            chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("set"));
            QMetaObject::invokeMethod(chooser, "accept");
        }));
        BoxAnswerer answerer(QMessageBox::Ok);
        SaveConfigFileAs(nullptr);
        QCOMPARE(answerer.Seen().size(), 1);
        QCOMPARE(answerer.Seen()[0].text,
                 QStringLiteral("Unable to save File!\nThe file's path is too long (999 bytes at most)."));
        QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Warning);
        QVERIFY(!ControlBlock.saveFileRequest);
        QVERIFY(!IsBusy());
        QDir(QDir::tempPath() + QStringLiteral("/zl-deep-%1").arg(QCoreApplication::applicationPid())).removeRecursively();
    }

    void file_commands_run_one_at_a_time_and_only_in_a_session() {
        std::unique_ptr<QTimer> choosers;
        int shown = 0;
        auto rejectEach = [&] {
            choosers.reset(OnEachFileChooser([&shown](QWidget* w) {
                ++shown;
                QMetaObject::invokeMethod(w, "reject");
            }));
        };

        // Logged out: no chooser, busy stays free.
        rejectEach();
        OpenConfigFile(nullptr);
        SaveConfigFileAs(nullptr);
        QCOMPARE(shown, 0);
        QVERIFY(!IsBusy());

        // The session ends while the chooser is open: choosing hands nothing over.
        ControlBlock.loggedIn = true;
        QString dir = QDir::tempPath();
        choosers.reset(OnEachFileChooser([dir](QWidget* w) {
            ControlBlock.loggedIn = false;  // the worker's logged-out state
            auto* chooser = static_cast<QFileDialog*>(w);
            chooser->setDirectory(dir);
            chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("zl-late"));
            QMetaObject::invokeMethod(chooser, "accept");
        }));
        SaveConfigFileAs(nullptr);
        QVERIFY(!ControlBlock.saveFileRequest);
        QVERIFY(!IsBusy());

        // A second command given while the first waits for busy returns at once.
        ControlBlock.loggedIn = true;
        rejectEach();
        QVERIFY(TryAcquireBusy());
        bool secondReturned = false;
        bool returnedWhileWaiting = false;
        QTimer::singleShot(50, [&] {
            SaveConfigFileAs(nullptr);
            secondReturned = true;
        });
        QTimer::singleShot(300, [&] {
            returnedWhileWaiting = secondReturned;
            ReleaseBusy();
        });
        OpenConfigFile(nullptr);
        QVERIFY(returnedWhileWaiting);
        QTRY_VERIFY(secondReturned);
        QCOMPARE(shown, 1);
        QVERIFY(!ControlBlock.openFileRequest && !ControlBlock.saveFileRequest);
        QVERIFY(!IsBusy());
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
