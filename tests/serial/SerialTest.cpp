#include <gtest/gtest.h>

#include <chrono>

#include "serial/SerialReadln.h"
#include "support/Simulator.h"
#include "support/System.h"

namespace {
class TestPort : public CSerialEx {
public:
    void HandlePortEvent(std::uint32_t, std::uint32_t) override {}
};
}  // namespace

TEST(Serial, open_reports_missing_and_already_open) {
    BareLine wire;
    CSerial port;
    EXPECT_EQ(port.Open(u"\\\\.\\COM99", 0, 0, true), kErrorFileNotFound);
    EXPECT_FALSE(port.IsOpen());

    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), 0);
    EXPECT_EQ(port.QueryEventMask(), kOpenEventMask);
    EXPECT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), kErrorAlreadyInitialized);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Close(), 0);
    EXPECT_EQ(port.Close(), 0);  // closing a closed port is harmless
    EXPECT_EQ(port.Open(wire.DeviceName().c_str(), 64, 64, true), 0);
}

TEST(Serial, a_port_held_by_another_open_is_denied) {
    if (UnderWine()) GTEST_SKIP() << "wine lets a second CreateFileW open a COM port that is open";
    BareLine wire;
    CSerial port;
    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), 0);
    CSerial other;  // held by another open, even as root
    EXPECT_EQ(other.Open(wire.DeviceName().c_str(), 0, 0, true), kErrorAccessDenied);
    EXPECT_EQ(port.Close(), 0);
    EXPECT_EQ(other.Open(wire.DeviceName().c_str(), 64, 64, true), 0);
}

TEST(Serial, settings_modes_and_queries) {
    BareLine wire;
    CSerial port;
    EXPECT_EQ(port.SetLineSettings(9600, 8, 0, 0), kErrorInvalidHandle);
    EXPECT_EQ(port.QueryBaudRate(), -1);
    EXPECT_EQ(port.LastError(), kErrorInvalidHandle);
    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), 0);

    EXPECT_EQ(port.SetLineSettings(9600, 8, 0, 0), 0);
    EXPECT_EQ(port.QueryParity(), 0);
    EXPECT_EQ(port.QueryDataBits(), 8);
    EXPECT_EQ(port.QueryBaudRate(), 9600);
    EXPECT_EQ(port.SetLineSettings(19200, 8, 0, 2), 0);
    EXPECT_EQ(port.QueryStopBits(), 2);
    EXPECT_EQ(port.QueryBaudRate(), 19200);

    EXPECT_EQ(port.SetFlowControl(FlowSoftware), 0);
    EXPECT_EQ(port.QueryFlowControl(), FlowSoftware);
    EXPECT_EQ(port.SetFlowControl(3), kStatusInvalidArg);
    EXPECT_EQ(port.QueryFlowControl(), FlowSoftware);
    EXPECT_EQ(port.SetFlowControl(FlowNone), 0);
    EXPECT_EQ(port.QueryFlowControl(), FlowNone);

    EXPECT_EQ(port.SetReadMode(2), kStatusInvalidArg);
    char byte;
    std::uint32_t got = 7;
    EXPECT_EQ(port.Read(&byte, 1, &got, nullptr, kInfinite), 0);  // still non-blocking
    EXPECT_EQ(got, 0u);

    EXPECT_EQ(port.SetEventCharacter('\n', true), 0);
    EXPECT_EQ(port.QueryEventMask(), kOpenEventMask | kEventRxFlag);
}

// What the driver keeps of the line state: wine keeps neither a DTR handshake nor an
// event character.
TEST(Serial, hardware_flow_and_the_event_character_are_kept) {
    if (UnderWine()) GTEST_SKIP() << "wine's serial driver keeps neither the DTR handshake nor the event character";
    BareLine wire;
    CSerial port;
    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), 0);
    EXPECT_EQ(port.SetFlowControl(FlowHardware), 0);
    EXPECT_EQ(port.QueryFlowControl(), FlowHardware);
    EXPECT_EQ(port.SetEventCharacter('\n', false), 0);
    EXPECT_EQ(port.QueryEventCharacter(), '\n');
}

TEST(Serial, completion_rules_for_ports_with_and_without_overlap) {
    BareLine wire;
    CSerial plain;
    ASSERT_EQ(plain.Open(wire.DeviceName().c_str(), 0, 0, false), 0);
    std::uint32_t written = 9;
    EXPECT_EQ(plain.Write("abc", 3, &written, nullptr, 100), kErrorInvalidFunction);
    EXPECT_EQ(written, 0u);
    ManualResetEvent event;
    CompletionRecord record{&event};
    char buffer[4];
    EXPECT_EQ(plain.Read(buffer, 1, nullptr, &record, kInfinite), kErrorInvalidFunction);
    EXPECT_EQ(wire.ReadAvailable(20), "");
    EXPECT_EQ(plain.WriteText("ok\n", &written, nullptr, kInfinite), 0);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(wire.ReadAvailable(), "ok\n");
    plain.Close();

    CSerial overlapped;
    ASSERT_EQ(overlapped.Open(wire.DeviceName().c_str(), 0, 0, true), 0);
    ASSERT_EQ(overlapped.SetReadMode(ReadBlocking), 0);
    std::uint32_t got = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(overlapped.Read(buffer, 1, &got, nullptr, 50), kErrorTimeout);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(45));
    EXPECT_EQ(got, 0u);

    // With the caller's record a finished operation signals the record's event.
    wire.Write("z");
    EXPECT_EQ(overlapped.Read(buffer, 1, &got, &record, kInfinite), 0);
    EXPECT_TRUE(event.Wait(0));
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(buffer[0], 'z');
}

TEST(Serial, a_mask_change_wakes_a_pending_event_wait) {
    BareLine wire;
    TestPort port;
    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, false), 0);
    ASSERT_EQ(port.StartListener(), 0);
    EXPECT_TRUE(port.ListenerRunning());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.StopListener(kInfinite), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(port.ListenerRunning());
    EXPECT_EQ(port.Close(), 0);
}
