// Windows, under wine: the simulator is zl-sim --control on the Linux side, reached
// over TCP on 127.0.0.1 at the port in ZL_SIM_CONTROL. Its terminals are COM ports of
// the wine prefix.
#include "support/ControlChannel.h"

#include <cstdlib>
#include <stdexcept>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace {
class SocketChannel : public ControlChannel {
public:
    SocketChannel() {
        static const bool started = [] {
            WSADATA data;
            return WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }();
        const char* port = std::getenv("ZL_SIM_CONTROL");
        if (!started || !port) {
            throw std::runtime_error("no simulator: run the test through tests/support/wine/with-simulators");
        }
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (socket_ == INVALID_SOCKET ||
            connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            if (socket_ != INVALID_SOCKET) closesocket(socket_);
            throw std::runtime_error(std::string("cannot reach the simulator at port ") + port);
        }
        BOOL on = TRUE;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    }
    ~SocketChannel() override { closesocket(socket_); }

    std::string Ask(const std::string& request) override {
        std::string line = request + "\n";
        for (std::size_t sent = 0; sent < line.size();) {
            int n = send(socket_, line.data() + sent, static_cast<int>(line.size() - sent), 0);
            if (n <= 0) throw std::runtime_error("the simulator's channel broke");
            sent += static_cast<std::size_t>(n);
        }
        for (;;) {
            std::size_t end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string reply = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return reply;
            }
            char buffer[4096];
            int n = recv(socket_, buffer, sizeof buffer, 0);
            if (n <= 0) throw std::runtime_error("the simulator's channel broke");
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
    std::string pending_;
};
}  // namespace

std::unique_ptr<ControlChannel> ControlChannel::Open() { return std::make_unique<SocketChannel>(); }

std::string DeviceOnThisSystem(const std::string& port, const std::string&) { return port; }
