#include "sim/ControlServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "sim/WinePort.h"

namespace {
bool SendAll(int fd, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

ControlServer::ControlServer(PortNamer namer) : namer_(std::move(namer)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) close(listener_);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
}

ControlServer::~ControlServer() {
    stop_ = true;
    shutdown(listener_, SHUT_RDWR);  // ends the accept
    acceptor_.join();
    close(listener_);
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : connections_) shutdown(fd, SHUT_RDWR);  // ends each read
        threads.swap(threads_);
    }
    for (std::thread& t : threads) t.join();
}

void ControlServer::Accept() {
    while (!stop_) {
        int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;
        }
        int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) {
            close(fd);
            return;
        }
        connections_.push_back(fd);
        threads_.emplace_back([this, fd] { Serve(fd); });
    }
}

void ControlServer::Serve(int connection) {
    {
        ControlSession session(namer_);
        std::string pending;
        char buffer[4096];
        for (;;) {
            std::size_t end = pending.find('\n');
            if (end != std::string::npos) {
                std::string request = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!SendAll(connection, session.Handle(request) + "\n")) break;
                continue;
            }
            ssize_t n = recv(connection, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(n));
        }
    }  // the session, its simulator and its port end with the connection
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.erase(std::find(connections_.begin(), connections_.end(), connection));
    close(connection);
}

int ServeControlChannel() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before any thread starts
    ControlServer server(ClaimWineComPort);
    std::printf("%u\n", server.Port());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    return 0;
}
