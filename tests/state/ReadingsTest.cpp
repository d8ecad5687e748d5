// The status store (bounds, order, a reader beside the writer) and the readings as
// CSV, JSON and plain lines.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "session/StatusPoll.h"
#include "state/ParameterTable.h"
#include "state/ReadingFormat.h"
#include "state/Readings.h"

namespace {
Reading Poll(ReadingKind kind, double value, std::int64_t timeMs = 0) {
    Reading r;
    r.timeMs = timeMs;
    r.kind = kind;
    r.value = value;
    return r;
}
}  // namespace

TEST(ReadingStore, keeps_the_newest_in_order_and_lets_the_oldest_go) {
    ReadingStore store;
    EXPECT_TRUE(store.Snapshot().empty());
    for (int i = 0; i < 3; ++i) store.Add(Poll(ReadingKind::Temperature, i, 1000 + i));
    std::vector<Reading> kept = store.Snapshot();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].timeMs, 1000);
    EXPECT_EQ(kept[2].value, 2);

    // A day of polls at one every two seconds fits, with room for the events.
    static_assert(kReadingCapacity >= 86400 / 2 + 10000);
    const long total = static_cast<long>(kReadingCapacity) + 1234;
    for (long i = 3; i < total; ++i) store.Add(Poll(ReadingKind::Error, static_cast<double>(i), 1000 + i));
    kept = store.Snapshot();
    ASSERT_EQ(kept.size(), kReadingCapacity);
    EXPECT_EQ(kept.front().value, 1234);
    EXPECT_EQ(kept.back().value, total - 1);
    for (std::size_t i = 1; i < kept.size(); ++i) ASSERT_EQ(kept[i].value, kept[i - 1].value + 1);
    EXPECT_EQ(store.Added(), static_cast<std::uint64_t>(total));

    Reading event;
    event.kind = ReadingKind::Written;
    event.parameter = ParamCurrent;
    event.value = 2500;
    store.Add(event);
    EXPECT_EQ(store.Snapshot().back().kind, ReadingKind::Written);
    EXPECT_EQ(store.Snapshot().back().parameter, ParamCurrent);
}

// Readers take whole readings in order while the writer laps the ring; the writer
// never waits for them.
TEST(ReadingStore, readers_see_whole_readings_while_the_writer_wraps) {
    ReadingStore store;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (long i = 0; i < 3 * static_cast<long>(kReadingCapacity); ++i) {
            store.Add(Poll(ReadingKind::Temperature, static_cast<double>(i), i * 2));
        }
        done = true;
    });
    int snapshots = 0;
    while (!done || snapshots == 0) {
        const std::vector<Reading> kept = store.Snapshot();
        ++snapshots;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            ASSERT_EQ(kept[i].timeMs, static_cast<std::int64_t>(kept[i].value) * 2);  // never half old, half new
            if (i > 0) {
                ASSERT_LT(kept[i - 1].value, kept[i].value);
            }
        }
    }
    writer.join();
    EXPECT_EQ(store.Snapshot().size(), kReadingCapacity);
}

TEST(ReadingFormat, iso_times_in_utc_across_the_calendar) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "1970-01-01T00:00:00Z"},
        {999, "1970-01-01T00:00:00Z"},
        {-1, "1969-12-31T23:59:59Z"},
        {951782400000, "2000-02-29T00:00:00Z"},
        {1709251199000, "2024-02-29T23:59:59Z"},
        {1796951402500, "2026-12-11T01:10:02Z"},
    };
    for (const auto& [ms, text] : cases) EXPECT_EQ(IsoTimeUtc(ms), text) << ms;
}

TEST(ReadingFormat, each_reading_as_a_csv_json_and_plain_line) {
    Reading written;
    written.timeMs = 1796949602000;
    written.kind = ReadingKind::Written;
    written.parameter = ParamCurrent;
    written.value = 2500;
    Reading source = written;
    source.parameter = ParamTriggerSource;
    source.value = 1;
    struct Case {
        Reading reading;
        const char* csv;
        const char* json;
        const char* caption;  // the plain line after its time
    };
    const Case cases[] = {
        {Poll(ReadingKind::Temperature, 35, 1796949602000), "2026-12-11T00:40:02Z,35,,,",
         R"({"time":"2026-12-11T00:40:02Z","temperature":35})", "Temperature [\u00b0C]: 35"},
        {Poll(ReadingKind::Temperature, 35.5, 1796949602000), "2026-12-11T00:40:02Z,35.5,,,",
         R"({"time":"2026-12-11T00:40:02Z","temperature":35.5})", "Temperature [\u00b0C]: 35.5"},
        {Poll(ReadingKind::SupplyVoltage, 23.95, 1796949602000), "2026-12-11T00:40:02Z,,24.0,,",
         R"({"time":"2026-12-11T00:40:02Z","supply_voltage":24.0})", "Supply voltage [V]: 24.0"},
        {Poll(ReadingKind::Error, 3, 1796949602000), "2026-12-11T00:40:02Z,,,3,",
         R"({"time":"2026-12-11T00:40:02Z","error":3})", "Error: 3"},
        {written, "2026-12-11T00:40:02Z,,,,Current [mA] set to 2500",
         R"({"time":"2026-12-11T00:40:02Z","event":"Current [mA] set to 2500"})", "Current [mA] set to 2500"},
        {source, "2026-12-11T00:40:02Z,,,,Trigger source set to external",
         R"({"time":"2026-12-11T00:40:02Z","event":"Trigger source set to external"})",
         "Trigger source set to external"},
        {Poll(ReadingKind::Started, 0, 1796949602000), "2026-12-11T00:40:02Z,,,,Started",
         R"({"time":"2026-12-11T00:40:02Z","event":"Started"})", "Started"},
        {Poll(ReadingKind::Stopped, 0, 1796949602000), "2026-12-11T00:40:02Z,,,,Stopped",
         R"({"time":"2026-12-11T00:40:02Z","event":"Stopped"})", "Stopped"},
    };
    EXPECT_STREQ(kReadingsCsvHeader, "time,temperature_c,supply_voltage_v,error,event");
    for (const Case& c : cases) {
        EXPECT_EQ(CsvLine(c.reading), c.csv);
        EXPECT_EQ(JsonLine(c.reading), c.json);
        const std::string line = TextLine(c.reading);
        // "2026-12-11 00:40:02  " in local time, then the words.
        ASSERT_GT(line.size(), 21u);
        EXPECT_EQ(line.substr(21), c.caption);
        EXPECT_EQ(line[4], '-');
        EXPECT_EQ(line[13], ':');
    }
}

TEST(ReadingFormat, only_plain_numbers_are_readings) {
    const std::pair<const char*, double> numbers[] = {{"35", 35}, {"-5", -5}, {"+7", 7}, {"24.5", 24.5}, {"0", 0}};
    for (const auto& [text, expected] : numbers) {
        double value = -1;
        EXPECT_TRUE(ParseReadingNumber(text, &value)) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
    for (const char* text : {"", "-", "35 C", "n/a", "1e3", ".", "12.", "123456789012345678901"}) {
        double value = -1;
        EXPECT_FALSE(ParseReadingNumber(text, &value)) << text;
    }
}
