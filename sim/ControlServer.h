#pragma once
// zl-sim --control: serves a ControlSession to each connection on a TCP port of
// 127.0.0.1, one thread a connection; a closed connection ends its session and so its
// simulator. Windows tests under wine reach it through Winsock.
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/ControlSession.h"

// zl-sim --control: a server whose simulators take free COM ports of the wine prefix
// in WINEPREFIX; prints the TCP port and serves until SIGINT or SIGTERM.
int ServeControlChannel();

class ControlServer {
public:
    // Listens on any free port; throws when it cannot.
    explicit ControlServer(PortNamer namer);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    unsigned Port() const { return port_; }

private:
    void Accept();
    void Serve(int connection);

    PortNamer namer_;
    int listener_ = -1;
    unsigned port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<int> connections_;  // under mutex_
    std::vector<std::thread> threads_;  // under mutex_
    std::thread acceptor_;
};
