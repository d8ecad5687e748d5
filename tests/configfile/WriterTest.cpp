// Saving: the document byte for byte, its display forms and escapes, and a failed save
// that leaves the old file. (What only POSIX has, permissions, owners, links and
// limits: tests/configfile/PosixFilesTest.)
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "configfile/Fixtures.h"

TEST_F(Writer, a_saved_file_is_the_documented_example_byte_for_byte) {
    StoreExampleValues();
    SaveTo(dir / "saved.xml");
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_EQ(ReadFile(dir / "saved.xml"), ReadFile(fs::path(FIXTURES) / "saved-example.xml"));
}

TEST_F(Writer, display_forms_and_empty_values) {
    struct Case {
        const char* mode;
        const char* cycle;
        const char* volts;
        const char* expected[3];
    };
    const Case cases[] = {
        {"1", "20000", "1500", {"<DutyCycle>100.00</DutyCycle>", "<SupplyVoltage>1.5</SupplyVoltage>", "<Mode>1</Mode>"}},
        {"0", "0", "", {"<DutyCycle>0.00</DutyCycle>", "<SupplyVoltage>0.0</SupplyVoltage>", "<CycleTime>0</CycleTime>"}},
        {"", "", "", {"<Mode></Mode>", "<Baud></Baud>", "<Error></Error>"}},
    };
    for (const Case& c : cases) {
        ResetSharedState();
        SetParameterText(ParamMode, c.mode);
        SetParameterText(ParamTimeOn, "500");
        SetParameterText(ParamCycleTime, c.cycle);
        SetParameterText(ParamSupplyVoltage, c.volts);
        char text[32768];
        std::size_t length = 0;
        ASSERT_TRUE(PrintConfigDocument(text, sizeof text, &length));
        for (const char* line : c.expected) EXPECT_NE(std::strstr(text, line), nullptr) << line;
        EXPECT_EQ(std::strlen(text), length);
    }
}

TEST_F(Writer, markup_in_values_is_escaped_and_still_fits) {
    StoreExampleValues();
    std::string markup(99, '&');
    SetParameterText(ParamCurrent, markup.c_str());
    SetSessionText(SlotInfoLine, u"<Firmware & \"more\">");
    SaveTo(dir / "escaped.xml");
    EXPECT_EQ(PendingNoticeText(), "");
    std::string saved = ReadFile(dir / "escaped.xml");
    EXPECT_NE(saved.find("<Version>&lt;Firmware &amp; \"more\"&gt;</Version>"), std::string::npos);
}

TEST_F(Writer, a_file_is_replaced_whole_and_utf8_names_work) {
    StoreExampleValues();
    fs::path target = dir / fs::u8path("Pr\xc3\xbc" "fstand.xml");
    std::ofstream(target) << "old";
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_EQ(ReadFile(target).substr(0, 5), "<?xml");
    EXPECT_TRUE(OnlyFileIn(dir, target.filename()));
}

TEST_F(Writer, failures_report_143_and_leave_the_old_file) {
    StoreExampleValues();
    fs::path target = dir / "kept.xml";

    // A read-only file, which a rename could replace: refused (no write bit binds root too).
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read);
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "Unable to save File!");
    EXPECT_EQ(ReadFile(target), "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ClearNotice();

    // A folder that vanished.
    SaveTo(dir / "missing" / "x.xml");
    EXPECT_EQ(PendingNoticeText(), "Unable to save File!");
    EXPECT_TRUE(OnlyFileIn(dir, "kept.xml"));
}
