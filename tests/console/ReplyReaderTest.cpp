#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "console/ReplyReader.h"
#include "console/ConsoleFixture.h"
#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"

TEST(ClassifyLine, codes_are_tested_in_order) {
    const std::pair<const char*, ReplyCode> cases[] = {
        {"Login: user", ReplyLogin},
        {"Password: ta-vimek", ReplyPassword},
        {"Firmware-Version ZL-500-40K 1.02", ReplyFirmwareVersion},
        {"ZL-500-40K /Config> /Config/Mode 1", ReplyPrompt},
        {"ZL-500-40K without its prompt sign", ReplyOther},
        {"<VAL> Mode 1", ReplyValue},
        {"<DIR> Config", ReplyDirEntry},
        {"<EXE> Start", ReplyExeEntry},
        {"<FIL> log", ReplyFileEntry},
        {"Help for commands/parameters:", ReplyHelp},
        {"Changing password for user", ReplyChangingPassword},
        {"Enter old password: x", ReplyEnterOldPassword},
        {"Enter new password: x", ReplyEnterNewPassword},
        {"Re-enter new password: x", ReplyReenterNewPassword},
        {"Passwords mismatch!", ReplyPasswordsMismatch},
        {"Directory listing of /Config", ReplyDirectoryListing},
        {"Value not accepted!", ReplyValueNotAccepted},
        {"Read-only parameter!", ReplyReadOnly},
        {"Access denied!", ReplyAccessDenied},
        {"Access to 'Config' denied!", ReplyAccessToDenied},
        {"Directory 'Foo' unknown!", ReplyDirectoryUnknown},
        {"Directory 'Foo' is fine", ReplyOther},
        {"Command/parameter 'X' unknown!", ReplyCommandUnknown},
        {"Entry 'X' unknown!", ReplyEntryUnknown},
        {"Failure! One or more values of this configuration out of range! Refer manual for the limits.",
         ReplyOutOfRange},
        {"Error opening 'file'", ReplyErrorOpening},
        {"Reboot...", ReplyReboot},
        {"anything else", ReplyOther},
        {"login: lower case", ReplyOther},
        {"", ReplyNone},
    };
    for (const auto& [line, code] : cases) EXPECT_EQ(ClassifyLine(line), code) << line;
}

TEST(ExtractValue, takes_everything_after_the_second_blank) {
    struct Case {
        const char* line;
        int index;
        bool ok;
        const char* value;
    };
    const Case cases[] = {
        {"<VAL> TimeOn 500", ParamTimeOn, true, "500"},
        {"<VAL> Current 5000", ParamStatusCurrent, true, "5000"},
        {"<VAL> Error 3 over temperature", ParamError, true, "3 over temperature"},
        {"<VAL> TimeOn", ParamTimeOn, false, ""},
        {"<VAL> TimeOn ", ParamTimeOn, true, ""},
        {"<VAL> Mode 1", ParamTimeOn, false, ""},
        {"TimeOn 500 without marker", ParamTimeOn, false, ""},
        {"<VAL> TimeOn 500", 42, false, ""},
    };
    for (const Case& c : cases) {
        char value[kValueSize] = "";
        EXPECT_EQ(ExtractValue(c.line, c.index, value), c.ok) << c.line;
        if (c.ok) {
            EXPECT_STREQ(value, c.value) << c.line;
        }
    }
}

TEST(ParseValueLine, stores_only_well_formed_lines) {
    ResetSharedState();
    SetParameterText(ParamTimeOn, "100");
    std::strcpy(ConsoleLine, "<VAL> TimeOn");
    EXPECT_FALSE(ParseValueLine(ParamTimeOn));
    EXPECT_EQ(ParameterValue(ParamTimeOn), "100");
    std::strcpy(ConsoleLine, "<VAL> TimeOn 500");
    EXPECT_TRUE(ParseValueLine(ParamTimeOn));
    EXPECT_EQ(ParameterValue(ParamTimeOn), "500");
}

TEST_F(ConsoleTest, classify_reply_waits_its_rounds_for_a_line) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ClassifyReply(0), ReplyNone);
    EXPECT_EQ(ClassifyReply(9), ReplyNone);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(110));
    EXPECT_LT(waited, std::chrono::milliseconds(400));
}

TEST_F(ConsoleTest, send_command_at_a_login_prompt_sends_only_the_empty_line) {
    EXPECT_FALSE(SendCommand("Ver"));
    EXPECT_TRUE(ControlBlock.connectionLost);
    EXPECT_EQ(sim.Received(), "\n");
}
