#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "state/TextOps.h"

TEST(CopyText, copies_whole_or_cuts_at_capacity_minus_one) {
    struct Case {
        const char* source;
        std::size_t capacity;
        std::size_t maxSource;
        const char* expected;
        ErrorCode status;
    };
    const Case cases[] = {
        {"abcd", 5, 100, "abcd", kStatusOk},
        {"abcde", 5, 100, "abcd", kStatusInsufficientBuffer},
        {"abcdef", 100, 3, "abc", kStatusOk},
        {"", 1, 100, "", kStatusOk},
        {"a", 1, 100, "", kStatusInsufficientBuffer},
    };
    for (const Case& c : cases) {
        char dest[100];
        std::memset(dest, 'x', sizeof dest);
        EXPECT_EQ(CopyText(dest, c.capacity, c.source, c.maxSource), c.status) << c.source;
        EXPECT_STREQ(dest, c.expected) << c.source;
    }
    char dest[4] = "old";
    EXPECT_EQ(CopyText(dest, 0, "abc", 3), kStatusInvalidArg);
    EXPECT_STREQ(dest, "old");
}

TEST(CopyText, wide_form_cuts_alike) {
    char16_t dest[5];
    EXPECT_EQ(CopyText(dest, 5, u"abcde", 100), kStatusInsufficientBuffer);
    EXPECT_EQ(std::u16string(dest), u"abcd");
}

TEST(AppendText, appends_behind_the_end_of_a_100_character_buffer) {
    char dest[100] = "/Config/Mode ";
    EXPECT_EQ(AppendText(dest, "1", 100), kStatusOk);
    EXPECT_STREQ(dest, "/Config/Mode 1");

    std::string longValue(200, '7');
    EXPECT_EQ(AppendText(dest, longValue.c_str(), 100), kStatusInsufficientBuffer);
    EXPECT_EQ(std::strlen(dest), 99u);

    char unterminated[100];
    std::memset(unterminated, 'x', sizeof unterminated);
    EXPECT_EQ(AppendText(unterminated, "y", 1), kStatusInvalidArg);
    EXPECT_EQ(unterminated[99], 'x');
    char fine[100] = "a";
    EXPECT_EQ(AppendText(fine, "b", 2147483647u), kStatusInvalidArg);
    EXPECT_STREQ(fine, "a");
}

TEST(FormatText, formats_and_reports_cuts) {
    char dest[100];
    EXPECT_EQ(FormatText(dest, 100, "%.2f", 12.5), kStatusOk);
    EXPECT_STREQ(dest, "12.50");
    EXPECT_EQ(FormatText(dest, 4, "%d", 123456), kStatusInsufficientBuffer);
    EXPECT_STREQ(dest, "123");
    EXPECT_EQ(FormatText(dest, 0, "%d", 1), kStatusInvalidArg);

    char16_t wide[32];
    EXPECT_EQ(FormatText(wide, 32, u"\\\\.\\COM%u", 7u), kStatusOk);
    EXPECT_EQ(std::u16string(wide), u"\\\\.\\COM7");
    EXPECT_EQ(FormatText(wide, 4, u"COM%u", 12u), kStatusInsufficientBuffer);
    EXPECT_EQ(std::u16string(wide), u"COM");
}

TEST(TextToInteger, reads_the_leading_number_like_atoi_without_overflow) {
    EXPECT_EQ(TextToInteger("20000"), 20000);
    EXPECT_EQ(TextToInteger(" -5x"), -5);
    EXPECT_EQ(TextToInteger(""), 0);
    EXPECT_EQ(TextToInteger("abc"), 0);
    EXPECT_EQ(TextToInteger("99999999999999999999"), 2147483647);
}
