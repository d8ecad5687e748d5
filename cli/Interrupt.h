#pragma once
// Ctrl+C (and a request to terminate or a hang-up of the terminal) ends a zl-cli run:
// a watcher of its own takes the signal and sets ControlBlock.quit, on which every
// wait of the core ends. Nothing runs in a signal handler: raising quit rings the
// worker's bell, which takes a mutex, and a handler that interrupted the same thread
// inside that mutex would wait for itself forever.
#include <atomic>
#include <thread>

// How an interrupted run exits: 128 + the first signal taken (130 for Ctrl+C, 143 for a
// request to terminate, 129 for a hang-up); 130 when none was taken.
int InterruptExitCode();

class InterruptWatch {
public:
    // Before any other thread starts: threads made later leave the signals to it.
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    std::atomic<bool> stopping{false};
    std::thread watcher;
};
