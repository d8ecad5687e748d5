// The simulator's control channel: its text, a session's requests and replies, and
// the server that gives each connection a session of its own.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "sim/ControlProtocol.h"
#include "sim/ControlServer.h"
#include "sim/ControlSession.h"

namespace {
// Names every terminal COM7 and counts the ports still held.
class CountedClaim : public PortClaim {
public:
    explicit CountedClaim(std::atomic<int>& held) : held_(held) { ++held_; }
    ~CountedClaim() override { --held_; }
    std::string Name() const override { return "COM7"; }

private:
    std::atomic<int>& held_;
};

PortNamer CountingNamer(std::atomic<int>& held) {
    return [&held](const std::string&) { return std::make_unique<CountedClaim>(held); };
}

// A test's end of a TCP connection to the server.
class Client {
public:
    explicit Client(unsigned port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { close(fd_); }
    bool Connected() const { return connected_; }
    std::string Ask(const std::string& request) {
        std::string line = request + "\n";
        if (send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) return "";
        std::string reply;
        char c;
        while (recv(fd_, &c, 1, 0) == 1 && c != '\n') reply += c;
        return reply;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

bool WaitFor(const std::function<bool()>& condition) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}
}  // namespace

TEST(ControlProtocol, bytes_pass_as_hex_and_text_splits_at_blanks_and_line_feeds) {
    const std::string all = std::string("\0\n\r ok\xff", 7);
    std::string back = "untouched";
    EXPECT_EQ(ToHex(all), "000a0d206f6bff");
    EXPECT_TRUE(FromHex(ToHex(all), &back));
    EXPECT_EQ(back, all);
    for (const char* bad : {"0", "0g", "zz", "0a1"}) {
        back = "untouched";
        EXPECT_FALSE(FromHex(bad, &back)) << bad;
        EXPECT_EQ(back, "untouched");
    }
    EXPECT_EQ(SplitWords("set-value Config Mode 1"), (std::vector<std::string>{"set-value", "Config", "Mode", "1"}));
    EXPECT_EQ(SplitWords("ok"), std::vector<std::string>{"ok"});
    EXPECT_EQ(SplitAtLineFeeds("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitAtLineFeeds("a\n"), std::vector<std::string>{"a"});
}

TEST(ControlSession, makes_one_object_then_serves_its_requests_and_refuses_others) {
    std::atomic<int> held{0};
    {
        ControlSession session(CountingNamer(held));
        EXPECT_EQ(session.Handle("received"), "error first make a controller or a line");
        std::string made = session.Handle("controller 0 1");
        EXPECT_EQ(made.rfind("ok COM7 /dev/pts/", 0), 0u) << made;
        EXPECT_EQ(held.load(), 1);
        const std::pair<const char*, const char*> cases[] = {
            {"value Config Current", "ok 31303030"},  // "1000"
            {"set-value Config Current 5000", "ok"},
            {"value Config Current", "ok 35303030"},
            {"firmware 312e3031", "ok"},
            {"running", "ok 0"},
            {"hung-up", "ok 0"},
            {"received", "ok"},
            {"transcript", "ok"},
            {"wait-received 0a 10", "ok 0"},
            {"line", "error not a controller request: line"},
            {"write 0a", "error not a controller request: write"},
            {"garble", "error not a controller request: garble"},
            {"set-value Config Current lots", "error not a number: lots"},
            {"firmware 1", "error not hex: 1"},
        };
        for (const auto& [request, reply] : cases) EXPECT_EQ(session.Handle(request), reply) << request;
    }
    EXPECT_EQ(held.load(), 0);  // the port went with the session
}

TEST(ControlServer, each_connection_has_its_own_object_until_it_closes) {
    std::atomic<int> held{0};
    ControlServer server(CountingNamer(held));
    auto first = std::make_unique<Client>(server.Port());
    Client second(server.Port());
    ASSERT_TRUE(first->Connected());
    ASSERT_TRUE(second.Connected());
    EXPECT_EQ(first->Ask("line").rfind("ok COM7 /dev/pts/", 0), 0u);
    EXPECT_EQ(second.Ask("controller 0 1").rfind("ok COM7 /dev/pts/", 0), 0u);
    EXPECT_EQ(held.load(), 2);
    EXPECT_EQ(first->Ask("write 41"), "ok");
    EXPECT_EQ(second.Ask("value Status Temperature"), "ok 3335");  // "35"
    first.reset();
    EXPECT_TRUE(WaitFor([&] { return held.load() == 1; }));
    EXPECT_EQ(second.Ask("hung-up"), "ok 0");
}
