#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialReadln.h"
#include "state/ControlBlock.h"
#include "support/Simulator.h"
#include "support/System.h"

namespace {
using namespace std::chrono_literals;

// Waits until the listener has moved `chars` bytes into the ring.
bool WaitPending(CSerialReadln& port, std::uint32_t chars, std::chrono::milliseconds limit = 2s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (port.PendingChars() == chars) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

class ReceiveRing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(port.OpenWithListener(wire.DeviceName().c_str(), 0, 0), 0); }
    void TearDown() override { port.Close(); }
    BareLine wire;
    CSerialReadln port;
};
}  // namespace

TEST_F(ReceiveRing, lines_come_out_without_cr_and_cut_to_99_characters) {
    struct Case {
        std::string received;
        std::vector<std::string> lines;
        std::uint32_t leftOver;
    };
    const Case cases[] = {
        {"xyz\r\n", {"xyz"}, 0},
        {std::string("a\0b\n", 4), {"a", "b"}, 0},
        {"\r\n", {""}, 0},
        {std::string(150, 'q') + "\nnext\n", {std::string(99, 'q'), "next"}, 0},
        {"Login: ", {}, 7},
    };
    for (const Case& c : cases) {
        wire.Write(c.received);
        auto total = static_cast<std::uint32_t>(c.received.size());
        ASSERT_TRUE(WaitPending(port, total)) << c.received;
        for (const std::string& expected : c.lines) {
            char line[kLineBufferSize];
            int n = port.TakeLine(line);
            EXPECT_EQ(n, static_cast<int>(std::min<std::size_t>(expected.size() + 1, 100)));
            EXPECT_EQ(std::string(line), expected);
        }
        char line[kLineBufferSize] = "untouched";
        EXPECT_EQ(port.TakeLine(line), 0);
        EXPECT_STREQ(line, "untouched");
        EXPECT_EQ(port.PendingChars(), c.leftOver);
        EXPECT_EQ(port.PendingLines(), 0u);
    }
    // The pending prompt completes with the echoed name.
    wire.Write("user\n");
    ASSERT_TRUE(WaitPending(port, 12));
    char line[kLineBufferSize];
    EXPECT_EQ(port.TakeLine(line), 12);
    EXPECT_STREQ(line, "Login: user");
}

TEST_F(ReceiveRing, a_full_ring_drops_bytes_until_a_line_is_taken) {
    wire.Write("123456789\n" + std::string(990, 'f'));
    ASSERT_TRUE(WaitPending(port, 1000));
    wire.Write("X");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(port.PendingChars(), 1000u);
    char line[kLineBufferSize];
    EXPECT_EQ(port.TakeLine(line), 10);
    EXPECT_STREQ(line, "123456789");
    wire.Write("abcdefghi\n");
    ASSERT_TRUE(WaitPending(port, 1000));
    EXPECT_EQ(port.PendingLines(), 1u);
}

TEST_F(ReceiveRing, close_empties_the_ring_and_a_reopen_starts_empty) {
    wire.Write("one\ntwo");
    ASSERT_TRUE(WaitPending(port, 7));
    EXPECT_EQ(port.Close(), 0);
    EXPECT_EQ(port.PendingChars(), 0u);
    EXPECT_EQ(port.PendingLines(), 0u);
    wire.Write("late\n");  // received while closed: never reaches the ring
    ASSERT_EQ(port.OpenWithListener(wire.DeviceName().c_str(), 0, 0), 0);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(port.PendingChars(), 0u);
    wire.Write("fresh\n");
    ASSERT_TRUE(WaitPending(port, 6));
}

TEST_F(ReceiveRing, a_hang_up_ends_the_listener_by_itself) {
    wire.Write("partial");
    ASSERT_TRUE(WaitPending(port, 7));
    wire.HangUp();
    auto end = std::chrono::steady_clock::now() + 10s;
    while (port.ListenerRunning() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(port.ListenerRunning());
    char line[kLineBufferSize];
    EXPECT_EQ(port.TakeLine(line), 0);
    EXPECT_EQ(port.Close(), 0);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortLines, discard_input_takes_lines_and_keeps_a_partial_one) {
    BareLine wire;
    ASSERT_EQ(SerialPort.OpenWithListener(wire.DeviceName().c_str(), 0, 0), 0);
    wire.Write("a\nbb\nccc\nprompt> ");
    ASSERT_TRUE(WaitPending(SerialPort, 17));
    auto start = std::chrono::steady_clock::now();
    DiscardInput();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(SerialPort.PendingChars(), 8u);
    char line[kLineBufferSize];
    EXPECT_EQ(ReadLine(line), 0);
    wire.Write("\n");
    ASSERT_TRUE(WaitPending(SerialPort, 9));
    EXPECT_EQ(ReadLine(line), 9);
    EXPECT_STREQ(line, "prompt> ");
    SerialPort.Close();
}

// A console that never falls quiet must not hold the drain, nor may the drain outlast
// the program.
TEST(SerialPortLines, discard_input_gives_up_on_endless_lines_and_on_quit) {
    Simulator sim;
    sim.Chatter(20);
    ASSERT_EQ(SerialPort.OpenWithListener(sim.DeviceName().c_str(), 0, 0), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DiscardInput());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // bounded at about 2 s

    // Without looking at quit it would end only at its bound, 2 s after it began.
    std::atomic<std::chrono::steady_clock::time_point> quitAt{};
    std::thread quitter([&] {
        std::this_thread::sleep_for(200ms);
        quitAt = std::chrono::steady_clock::now();
        ControlBlock.quit = true;
    });
    EXPECT_FALSE(DiscardInput());
    auto returned = std::chrono::steady_clock::now();
    quitter.join();
    EXPECT_LT(returned - quitAt.load(), 1s);
    ControlBlock.quit = false;

    sim.Chatter(0);
    EXPECT_TRUE(DiscardInput());  // quiet again: every line taken
    EXPECT_EQ(SerialPort.PendingLines(), 0u);
    SerialPort.Close();
}

// The listener fills the ring while the consumer takes lines; every line comes out
// intact and in order. The writer keeps fewer than 1000 bytes in flight so the ring
// never has to drop.
TEST(ReceiveRingStress, many_random_lines_arrive_intact_and_in_order) {
    if (UnderWine()) {
        GTEST_SKIP() << "the listener reads a byte per ReadFile, about half a millisecond each under wine: "
                        "the five megabytes would take most of an hour (the ring is the same code as on Linux)";
    }
    BareLine wire;
    CSerialReadln port;
    ASSERT_EQ(port.OpenWithListener(wire.DeviceName().c_str(), 0, 0), 0);
    constexpr int kLines = 100000;
    std::mt19937 random(12345);
    std::vector<std::string> lines(kLines);
    for (int i = 0; i < kLines; ++i) {
        std::string text = std::to_string(i) + ":";
        int extra = static_cast<int>(random() % 90);
        for (int k = 0; k < extra; ++k) text += static_cast<char>('a' + random() % 26);
        lines[i] = text.substr(0, 99);
    }
    std::atomic<long> bytesTaken{0};
    std::atomic<int> mismatches{0};
    std::thread consumer([&] {
        char line[kLineBufferSize];
        for (int i = 0; i < kLines;) {
            int n = port.TakeLine(line);
            if (n == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(20));
                continue;
            }
            if (lines[i] != line) ++mismatches;
            bytesTaken += static_cast<long>(lines[i].size() + 1);
            ++i;
        }
    });
    long bytesSent = 0;
    std::string batch;
    for (int i = 0; i < kLines; ++i) {
        long size = static_cast<long>(lines[i].size() + 1);
        while (bytesSent + size - bytesTaken.load() > 900) {
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        wire.Write(lines[i] + "\n");
        bytesSent += size;
    }
    consumer.join();
    EXPECT_EQ(mismatches.load(), 0);
    port.Close();
}
