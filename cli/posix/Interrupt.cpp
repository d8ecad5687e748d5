#include "cli/Interrupt.h"

#include <csignal>
#include <pthread.h>

#include "state/ControlBlock.h"

namespace {
std::atomic<int> firstSignal{0};

sigset_t Watched() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
    return set;
}
}  // namespace

int InterruptExitCode() {
    int signal = firstSignal.load();
    return 128 + (signal != 0 ? signal : SIGINT);
}

InterruptWatch::InterruptWatch() {
    sigset_t set = Watched();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    watcher = std::thread([this, set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0) continue;
            if (stopping) return;
            int none = 0;
            firstSignal.compare_exchange_strong(none, signal);
            ControlBlock.quit = true;
        }
    });
}

InterruptWatch::~InterruptWatch() {
    stopping = true;
    pthread_kill(watcher.native_handle(), SIGHUP);
    watcher.join();
}
