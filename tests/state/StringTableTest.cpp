#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "resources/StringTable.h"

namespace {
std::string Narrow(unsigned id) {
    char buffer[2000];
    LoadString(id, buffer, sizeof buffer);
    return buffer;
}
}  // namespace

TEST(StringTable, holds_110_to_191_without_155) {
    for (unsigned id = 110; id <= 192; ++id) {
        EXPECT_EQ(StringText(id) == nullptr, id == 155 || id == 192) << id;
    }
    EXPECT_EQ(Narrow(139), "Not connected!");
    EXPECT_EQ(Narrow(153), "Close ZL-Config?");
    char16_t small[5];
    EXPECT_EQ(LoadString(139, small, 5), 4u);
    EXPECT_EQ(std::u16string(small), u"Not ");
    EXPECT_EQ(LoadString(155, small, 5), 0u);
    EXPECT_EQ(small[0], 0);
}

TEST(StringTable, help_text_has_heading_and_22_entries_in_order) {
    std::string help = Narrow(116);
    ASSERT_EQ(help.size(), 1633u);
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < help.size();) {
        std::size_t end = help.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(help.substr(pos, end - pos));
        pos = end + 2;
    }
    const char* names[] = {"AutoStart", "Baud", "Cd", "Current", "CycleTime", "Delay",
                           "Dir", "DutyCycle", "Echo", "Edge", "FactorySettings", "Help",
                           "Mode", "Passwd", "ReadyOut", "Save", "Start", "Stop", "TimeOn",
                           "TriggerOut", "TriggerSource", "Ver"};
    ASSERT_EQ(lines.size(), 2u + 22u * 3u - 1u);
    EXPECT_EQ(lines[0], "Help for commands/parameters:");
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(lines[2 + 3 * i], names[i]);
        EXPECT_FALSE(lines[3 + 3 * i].empty());
        if (i < 21) {
            EXPECT_EQ(lines[4 + 3 * i], "");
        }
    }
}
