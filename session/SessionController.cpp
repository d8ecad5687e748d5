#include "session/SessionController.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>

#include "console/Commands.h"
#include "console/Login.h"
#include "platform/MessageSink.h"
#include "platform/Threading.h"
#include "resources/ParameterDisplay.h"
#include "serial/SerialReadln.h"
#include "session/Connection.h"
#include "session/StatusPoll.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "state/TextOps.h"

namespace {
enum State : int {
    StateEnd = 0,
    StateStart = 1,
    StateSplash = 2,
    StateSplashEnd = 3,
    StateLoggedOut = 4,
    StateDispatch = 5,
    StateWaitLogin = 6,
    StateConnect = 7,
    StateLoginFailed = 8,
    StateLogIn = 9,
    StateReadOut = 10,
    StateLoggedIn = 11,
    StateShowHelp = 12,
    StateHelpClosed = 13,
    StateShowAbout = 14,
    StateAboutClosed = 15,
    StateQuit = 16,
    StateFactoryReset = 17,
    StateLogout = 18,
    StateClosePort = 19,
    StateLoginDone = 20,
    StateSessionReady = 21,
    StateWriteParameter = 22,
    StatePollTemperature = 23,
    StatePollSupplyVoltage = 24,
    StatePollError = 25,
    StateOpenPasswordDialog = 26,
    StatePasswordDialogClosed = 27,
    StateChangePassword = 28,
    StateSaveFile = 29,
    StateStop = 30,
    StateStartUnit = 31,
    StateSave = 32,
    StateLoadFile = 33,
};

// Logged out nothing falls due; the limit only bounds a ring that went astray.
constexpr int kLoggedOutWaitSteps = 100;

void EmptyPasswordSlots() {
    for (int slot = SlotCurrentPassword; slot <= SlotNewPasswordAgain; ++slot) SetSessionText(slot, u"");
}

bool Send(CommandKind kind, MessageSink* window) { return ExecuteCommand(kind, 0, window, "", 0); }

// The status of a command that went out but met silence, not even its echo: the
// controller's rules count it as done, the status bar does not claim it.
void ReportUnconfirmed(CommandKind kind, MessageSink* window) {
    SetStatusText(169, CommandText(kind));
    window->Post(MsgShowStatus, 0, 0);
}

// A controller command asked for by the user, with its outcome in the status bar.
CommandOutcome SendAndReport(CommandKind kind, unsigned done, MessageSink* window) {
    CommandOutcome outcome = RunCommand(kind, 0, window, "", 0);
    if (outcome == CommandOutcome::Unconfirmed) {
        ReportUnconfirmed(kind, window);
        return outcome;
    }
    SetStatusText(outcome == CommandOutcome::Succeeded ? done : done + 1);
    window->Post(MsgShowStatus, 0, 0);
    return outcome;
}
}  // namespace

SessionController::~SessionController() { Join(); }

bool SessionController::Start(MessageSink* target) {
    window = target;
    try {
        thread = std::thread([this] {
            NameThisThread("zl-worker");
            Run();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SessionController::Join() {
    if (thread.joinable()) thread.join();
}

void SessionController::Run() {
    while (state != StateEnd) {
        idle = IdleWait{};
        state = Step();
        observedState = state;
        Pause();
    }
}

// A step that found nothing to do says for how many 10 ms steps nothing falls due; the
// worker sleeps that long in one wait that any raised flag cuts short, and takes the
// steps that passed off the countdown, so that polls and the splash keep their times.
void SessionController::Pause() {
    if (idle.steps <= 1) {
        SleepMs(10);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    WaitForWorkerBell(static_cast<unsigned>(idle.steps) * 10);
    const auto slept = std::chrono::steady_clock::now() - start;
    const int passed = std::min(idle.steps, static_cast<int>(slept / std::chrono::milliseconds(10)));
    if (idle.countdown) *idle.countdown = std::max(0, *idle.countdown - passed / idle.stepsPerCount);
}

int SessionController::Step() {
    ControlBlockStore& cb = ControlBlock;
    switch (state) {
        case StateStart:
            idleCountdown = 0;
            for (int slot = 0; slot < kSessionTextCount; ++slot) SetSessionText(slot, u"");
            SetSessionText(SlotUserName, kDefaultUserName);
            SetSessionText(SlotPassword, kDefaultPassword);
            ClearNotice();
            FillFileChooser();
            splashCountdown = 300;
            cb.aboutClosed = false;
            window->Post(MsgCreateAbout, 0, 0);
            ScanPorts();
            return StateSplash;

        case StateSplash:
            if (cb.aboutClosed) return StateSplashEnd;
            if (splashCountdown-- <= 0) return StateSplashEnd;
            idle = IdleWait{splashCountdown + 1, &splashCountdown, 1};
            return StateSplash;

        case StateSplashEnd:
            cb.aboutClosed = false;
            window->Post(MsgDestroyAbout, 0, 0);
            window->Post(MsgCreateMain, 0, 0);
            return StateLoggedOut;

        case StateLoggedOut: {
            window->Post(MsgDestroyPassword, 0, 0);
            cb.firmwareCode = 0;
            if (cb.connectionLost) AppendNotice(151);
            // A session that ended says how; a login that never began leaves the status.
            const bool sessionEnded = cb.loggedIn || cb.connectionLost;
            if (sessionEnded) {
                // A line lost after a password change that may have taken keeps saying so.
                if (!(passwordUnconfirmed && cb.connectionLost)) SetStatusText(cb.connectionLost ? 172 : 171);
                SetCurrentFile("");
            }
            passwordUnconfirmed = false;
            EmptyPasswordSlots();
            // Requests that carried data hold busy; a discarded one must give it back.
            bool heldBusy = cb.loginRequest.load();
            heldBusy = TakeHandOvers() || heldBusy;
            for (RequestFlag* flag :
                 {&cb.loggedIn, &cb.connectionLost, &cb.aboutRequest, &cb.aboutClosed,
                  &cb.helpRequest, &cb.helpClosed, &cb.loginRequest, &cb.logoutRequest,
                  &cb.factoryResetRequest, &cb.passwordDialogRequest, &cb.passwordDialogClosed,
                  &cb.passwordChangeRequest, &cb.saveFileRequest, &cb.stopRequest,
                  &cb.startRequest, &cb.saveRequest, &cb.openFileRequest, &cb.writeRequest}) {
                flag->store(false);
            }
            if (heldBusy) ReleaseBusy();
            for (int i = 0; i < kParameterCount; ++i) SetParameterText(i, "0");
            SetSessionTextFromString(SlotInfoLine, 139);
            // An adapter plugged in or pulled out since the last login dialog shows.
            ScanPorts();
            window->Post(MsgSessionClosed, 0, 0);
            if (sessionEnded) window->Post(MsgShowStatus, 0, 0);
            window->Post(MsgCreateLogin, 0, 0);
            FlushNotice(window);
            return StateDispatch;
        }

        case StateDispatch:
            if ((cb.helpRequest)) return StateShowHelp;
            if ((cb.helpClosed)) return StateHelpClosed;
            if ((cb.aboutRequest)) return StateShowAbout;
            if ((cb.aboutClosed)) return StateAboutClosed;
            if (cb.loggedIn) return StateLoggedIn;
            return StateWaitLogin;

        case StateWaitLogin:
            // A hand-over raised just as the session ended is never served: give busy back.
            if (TakeHandOvers()) ReleaseBusy();
            if (cb.quit) return StateQuit;
            if (cb.loginRequest) return StateConnect;
            idle = IdleWait{kLoggedOutWaitSteps, nullptr, 1};
            return StateDispatch;

        case StateConnect:
            window->Post(MsgDestroyLogin, 0, 0);
            SetSessionTextFromString(SlotInfoLine, 154);
            window->Post(MsgShowInfoLine, 0, 0);
            return ConnectPort() ? StateLogIn : StateLoginFailed;

        case StateLoginFailed:
            cb.loginRequest = false;
            ReleaseBusy();
            return StateClosePort;

        case StateLogIn:
            if (Login()) return StateReadOut;
            NoteSilentController();
            return StateLoginFailed;

        case StateReadOut:
            return ReadAllParameters(window) ? StateLoginDone : StateLoginFailed;

        case StateLoggedIn:
            if (cb.connectionLost || cb.quit) return StateClosePort;
            if (cb.logoutRequest) return StateLogout;
            if (cb.factoryResetRequest) return StateFactoryReset;
            if (cb.passwordDialogRequest) return StateOpenPasswordDialog;
            if (cb.passwordDialogClosed) return StatePasswordDialogClosed;
            if (cb.passwordChangeRequest) return StateChangePassword;
            if (cb.saveFileRequest) return StateSaveFile;
            if (cb.stopRequest) return StateStop;
            if (cb.startRequest) return StateStartUnit;
            if (cb.saveRequest) return StateSave;
            if (cb.openFileRequest) return StateLoadFile;
            if (cb.writeRequest) return StateWriteParameter;
            if (idleCountdown-- > 0) {
                // Each count is a pass through Dispatch and here: two steps.
                idle = IdleWait{2 * idleCountdown + 1, &idleCountdown, 2};
                return StateDispatch;
            }
            idleCountdown = 100;
            return nextPoll;

        case StateShowHelp:
            window->Post(MsgCreateHelp, 0, 0);
            cb.helpRequest = false;
            FlushNotice(window);
            return StateDispatch;

        case StateHelpClosed:
            window->Post(MsgDestroyHelp, 0, 0);
            cb.helpClosed = false;
            FlushNotice(window);
            return StateDispatch;

        case StateShowAbout:
            window->Post(MsgCreateAbout, 0, 0);
            cb.aboutRequest = false;
            FlushNotice(window);
            return StateDispatch;

        case StateAboutClosed:
            window->Post(MsgDestroyAbout, 0, 0);
            cb.aboutClosed = false;
            FlushNotice(window);
            return StateDispatch;

        case StateQuit:
            window->Post(MsgDestroyAbout, 0, 0);
            window->Post(MsgDestroyHelp, 0, 0);
            window->Post(MsgDestroyPassword, 0, 0);
            window->Post(MsgDestroyLogin, 0, 0);
            window->Post(MsgDestroyMain, 0, 0);
            return StateEnd;

        case StateFactoryReset:
            Send(CommandFactorySettings, window);
            return StateClosePort;

        case StateLogout:
            return StateClosePort;

        case StateClosePort:
            SerialPort.Close();
            return cb.quit ? StateQuit : StateLoggedOut;

        case StateLoginDone:
            cb.loggedIn = true;
            cb.loginRequest = false;
            SetStatusText(170);
            ownSaveDue = true;
            return StateSessionReady;

        case StateSessionReady:
            ReleaseBusy();
            window->Post(MsgSessionOpen, 0, 0);
            window->Post(MsgShowStatus, 0, 0);  // logged in, or how the load went
            return StateSave;

        case StateWriteParameter: {
            const int index = cb.pendingWriteIndex;
            // In the window's words: "Trigger source set to external".
            const std::string caption = ParameterCaption(index);
            if (ExecuteCommand(CommandParameter, index, window, cb.pendingWriteText, 100)) {
                char value[kValueSize];
                GetParameterText(index, value);
                // An emptied field is read back, not written.
                SetStatusText(cb.pendingWriteText[0] ? 183 : 190, caption.c_str(),
                              ParameterShownValue(index, value).c_str());
                if (cb.pendingWriteText[0]) RecordEvent(ReadingKind::Written, index);
            } else {
                SetStatusText(184, caption.c_str());
            }
            window->Post(MsgShowStatus, 0, 0);
            cb.writeRequest = false;
            ReleaseBusy();
            FlushNotice(window);
            return StateDispatch;
        }

        case StatePollTemperature:
            PollStatus(ParamTemperature, window);
            FlushNotice(window);
            nextPoll = StatePollSupplyVoltage;
            return StateDispatch;

        case StatePollSupplyVoltage:
            PollStatus(ParamSupplyVoltage, window);
            FlushNotice(window);
            nextPoll = StatePollError;
            return StateDispatch;

        case StatePollError:
            PollStatus(ParamError, window);
            FlushNotice(window);
            nextPoll = StatePollTemperature;
            return StateDispatch;

        case StateOpenPasswordDialog:
            window->Post(MsgCreatePassword, 0, 0);
            cb.passwordDialogRequest = false;
            FlushNotice(window);
            return StateDispatch;

        case StatePasswordDialogClosed:
            window->Post(MsgDestroyPassword, 0, 0);
            EmptyPasswordSlots();
            cb.passwordDialogClosed = false;
            FlushNotice(window);
            return StateDispatch;

        case StateChangePassword:
            switch (RunPasswordChange()) {
                case PasswordChange::Changed:
                    EmptyPasswordSlots();
                    SetStatusText(185);
                    break;
                case PasswordChange::Unconfirmed:
                    SetStatusText(189);
                    passwordUnconfirmed = true;
                    break;
                default:
                    SetStatusText(186);
                    break;
            }
            window->Post(MsgShowStatus, 0, 0);
            cb.passwordChangeRequest = false;
            ReleaseBusy();
            window->Post(MsgDestroyPassword, 0, 0);
            FlushNotice(window);
            return StateDispatch;

        case StateSaveFile:
            if (WriteConfigFile()) {
                SetStatusText(179, FileNameOf(fileChooser.path));
                SetCurrentFile(fileChooser.path);
            } else {
                SetStatusText(180, FileNameOf(fileChooser.path));
            }
            window->Post(MsgShowStatus, 0, 0);
            cb.saveFileRequest = false;
            ReleaseBusy();
            FlushNotice(window);
            return StateDispatch;

        case StateStop:
            if (SendAndReport(CommandStop, 175, window) == CommandOutcome::Succeeded) RecordEvent(ReadingKind::Stopped);
            cb.stopRequest = false;
            FlushNotice(window);
            return StateDispatch;

        case StateStartUnit:
            if (SendAndReport(CommandStart, 173, window) == CommandOutcome::Succeeded) RecordEvent(ReadingKind::Started);
            cb.startRequest = false;
            FlushNotice(window);
            return StateDispatch;

        case StateSave:
            // After a login or a load this Save is the program's own: the status keeps
            // what those said.
            if (cb.saveRequest) {
                SendAndReport(CommandSave, 177, window);
            } else if (ownSaveDue && !cb.connectionLost) {
                const bool unconfirmed = RunCommand(CommandSave, 0, window, "", 0) == CommandOutcome::Unconfirmed;
                // After a load, the values it sent may not have been kept.
                if (unconfirmed && loadMessages.accepted) ReportUnconfirmed(CommandSave, window);
            }
            ownSaveDue = false;
            cb.saveRequest = false;
            AppendLoadMessages(loadMessages);
            loadMessages = LoadMessages{};
            FlushNotice(window);
            return StateDispatch;

        case StateLoadFile:
            SetSessionTextFromString(SlotInfoLine, 156);
            window->Post(MsgSessionClosed, 0, 0);
            CopyText(loadedPath, sizeof loadedPath, fileChooser.path, sizeof loadedPath - 1);
            // A refused file sent nothing, and its load ends without a Save.
            ownSaveDue = LoadParameterFile(window, &loadMessages);
            if (loadMessages.accepted) {
                SetStatusText(181, FileNameOf(loadedPath), loadMessages.sent, loadMessages.refused);
                SetCurrentFile(loadedPath);
            } else {
                SetStatusText(182, FileNameOf(loadedPath));
            }
            cb.openFileRequest = false;
            return StateSessionReady;

        default:
            return StateQuit;
    }
}
