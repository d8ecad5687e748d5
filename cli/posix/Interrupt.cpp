#include "cli/Interrupt.h"

#include <csignal>
#include <pthread.h>

#include "state/ControlBlock.h"

namespace {
sigset_t Watched() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
    return set;
}
}  // namespace

InterruptWatch::InterruptWatch() {
    sigset_t set = Watched();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    watcher = std::thread([this, set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0) continue;
            if (stopping) return;
            ControlBlock.quit = true;
        }
    });
}

InterruptWatch::~InterruptWatch() {
    stopping = true;
    pthread_kill(watcher.native_handle(), SIGHUP);
    watcher.join();
}
