#pragma once
// The program's SerialPort opened on a fresh simulator, with the shared stores reset.
#include <gtest/gtest.h>

#include <string>

#include "serial/SerialReadln.h"
#include "support/RecordingSink.h"
#include "support/Simulator.h"

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        ASSERT_EQ(SerialPort.OpenWithListener(sim.DeviceName().c_str(), 0, 0), 0);
    }
    void TearDown() override { SerialPort.Close(); }

    // How often `text` was received since the transcript was cleared.
    int Sent(const std::string& text) const {
        std::string all = sim.Received();
        int n = 0;
        for (std::size_t pos = all.find(text); pos != std::string::npos; pos = all.find(text, pos + 1)) ++n;
        return n;
    }

    Simulator sim;
    RecordingSink sink;
};
