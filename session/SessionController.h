#pragma once
// The worker thread: a polled state machine that owns the serial port and every
// exchange with the controller, runs file saves and loads, and decides which dialogs
// exist by posting to the hidden main window. Dialogs reach it only through the
// request flags of ControlBlock; one step runs every 10 ms until the state is 0, except
// that an idle worker sleeps until a flag is raised or the next step falls due.
#include <atomic>
#include <thread>

#include "configfile/ConfigFile.h"
#include "state/ControlBlock.h"

class MessageSink;

class SessionController {
public:
    SessionController() = default;
    SessionController(const SessionController&) = delete;
    SessionController& operator=(const SessionController&) = delete;
    ~SessionController();

    // Starts the thread with the hidden main window as the target of its posts.
    bool Start(MessageSink* window);
    // Waits for the thread to end (it ends once ControlBlock.quit is set).
    void Join();
    // The state the thread is in, for observers such as tests.
    int CurrentState() const { return observedState.load(); }

private:
    void Run();
    int Step();
    void Pause();

    // What an idle step leaves for Pause: the steps it may sleep, and the countdown
    // (counting stepsPerCount steps a count) that the sleep stands for.
    struct IdleWait {
        int steps = 0;
        int* countdown = nullptr;
        int stepsPerCount = 1;
    };

    int state = 1;
    MessageSink* window = nullptr;
    int splashCountdown = 0;
    int idleCountdown = 0;
    int nextPoll = 23;
    IdleWait idle;
    LoadMessages loadMessages;  // a file's messages, shown at the end of its load
    char loadedPath[kFilePathSize] = {};  // the file being loaded (the load empties fileChooser's)
    bool ownSaveDue = false;           // the Save that ends a login or a load that sent values
    bool passwordUnconfirmed = false;  // a password change met silence after the new password
    std::atomic<int> observedState{1};
    std::thread thread;
};
