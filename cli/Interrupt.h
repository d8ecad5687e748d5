#pragma once
// Ctrl+C (and a request to terminate or a hang-up of the terminal) ends a zl-cli run:
// a watcher of its own takes the signal and sets ControlBlock.quit, on which every
// wait of the core ends. Nothing runs in a signal handler: raising quit rings the
// worker's bell, which takes a mutex, and a handler that interrupted the same thread
// inside that mutex would wait for itself forever.
#include <atomic>
#include <thread>

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
