#include <gtest/gtest.h>

#include "serial/Serial.h"
#include "serial/posix/Termios.h"
#include "support/Simulator.h"

namespace {
LineState Line(std::uint32_t baud, std::uint8_t bits, std::uint8_t parity, std::uint8_t stop) {
    LineState state;
    state.baudRate = baud;
    state.byteSize = bits;
    state.parity = parity;
    state.stopBits = stop;
    return state;
}

termios RawTermios() {
    termios t{};
    MakeRaw(&t);
    cfsetospeed(&t, B9600);
    cfsetispeed(&t, B9600);
    return t;
}
}  // namespace

TEST(Termios, line_states_round_trip_through_termios) {
    struct Case {
        std::uint32_t baud;
        std::uint8_t bits, parity, stop;
        bool check;
    };
    const Case cases[] = {
        {19200, 8, 0, 0, false}, {9600, 7, 2, 0, true}, {115200, 5, 1, 2, true},
        {1200, 6, 3, 0, true},   {38400, 8, 4, 2, false},
    };
    for (const Case& c : cases) {
        termios t = RawTermios();
        LinePolicy policy;
        LineState in = Line(c.baud, c.bits, c.parity, c.stop);
        in.fParity = c.check;
        ASSERT_EQ(TermiosFromLineState(in, &t, &policy), kErrorSuccess) << c.baud;
        LineState out;
        LineStateFromTermios(t, policy, &out);
        EXPECT_EQ(out.baudRate, c.baud);
        EXPECT_EQ(out.byteSize, c.bits);
        EXPECT_EQ(out.parity, c.parity);
        EXPECT_EQ(out.stopBits, c.stop);
        EXPECT_EQ(out.fParity, c.check);
    }
}

TEST(Termios, refused_settings_leave_the_termios_unchanged) {
    struct Case {
        std::uint32_t baud;
        std::uint8_t bits, parity, stop;
    };
    const Case cases[] = {{12345, 8, 0, 0}, {9600, 9, 0, 0}, {9600, 4, 0, 0},
                          {9600, 8, 5, 0},  {9600, 8, 0, 1}, {9600, 8, 0, 3}};
    for (const Case& c : cases) {
        termios t = RawTermios();
        termios before = t;
        LinePolicy policy;
        LineState in = Line(c.baud, c.bits, c.parity, c.stop);
        EXPECT_EQ(TermiosFromLineState(in, &t, &policy), kErrorInvalidParameter) << c.baud;
        EXPECT_EQ(t.c_cflag, before.c_cflag);
        EXPECT_EQ(cfgetospeed(&t), cfgetospeed(&before));
    }
}

TEST(Termios, flow_control_bits_map_to_crtscts_and_xon_xoff) {
    termios t = RawTermios();
    LinePolicy policy;
    LineState hardware;
    hardware.baudRate = 9600;
    hardware.fOutxCtsFlow = true;
    hardware.fDtrControl = 2;
    hardware.fRtsControl = 2;
    ASSERT_EQ(TermiosFromLineState(hardware, &t, &policy), kErrorSuccess);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    LineState out;
    LineStateFromTermios(t, policy, &out);
    EXPECT_EQ(out.fRtsControl, 2);
    EXPECT_EQ(out.fDtrControl, 2);

    LineState software;
    software.baudRate = 9600;
    software.fOutX = software.fInX = true;
    ASSERT_EQ(TermiosFromLineState(software, &t, &policy), kErrorSuccess);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF));
    LineStateFromTermios(t, policy, &out);
    EXPECT_EQ(out.fRtsControl, 0);
}

// A pseudo-terminal forces 8 bits without parity and knows neither 1.5 stop bits nor
// odd rates: such settings are refused and leave the line as it was.
TEST(Termios, a_pseudo_terminal_refuses_settings_it_cannot_hold) {
    BareLine wire;
    CSerial port;
    ASSERT_EQ(port.Open(wire.DeviceName().c_str(), 0, 0, true), 0);
    ASSERT_EQ(port.SetLineSettings(19200, 8, 0, 2), 0);
    EXPECT_EQ(port.SetLineSettings(9600, 8, 2, 0), kErrorInvalidParameter);
    EXPECT_EQ(port.SetLineSettings(19200, 7, 0, 0), kErrorInvalidParameter);
    EXPECT_EQ(port.SetLineSettings(19200, 8, 0, 1), kErrorInvalidParameter);
    EXPECT_EQ(port.SetLineSettings(12345, 8, 0, 0), kErrorInvalidParameter);
    EXPECT_EQ(port.QueryParity(), 0);
    EXPECT_EQ(port.QueryDataBits(), 8);
    EXPECT_EQ(port.QueryStopBits(), 2);
    EXPECT_EQ(port.QueryBaudRate(), 19200);
}
