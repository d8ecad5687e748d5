#pragma once
// Every status reading the polls of a session took (temperature, supply voltage, error)
// and the session's events (a parameter written, the unit started or stopped), with
// their times, for the trend and zl-cli monitor. Bounded: the newest kReadingCapacity
// are kept (a day of polls at one every two seconds, and room for the events), older
// ones give way. One thread adds (the worker, or zl-cli's loop) and never waits: each
// slot is guarded by its own sequence number, so a reader that meets a slot being
// overwritten leaves it out instead of holding the writer up. Any thread may read.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

enum class ReadingKind : std::uint8_t { Temperature, SupplyVoltage, Error, Written, Started, Stopped };

struct Reading {
    std::int64_t timeMs = 0;  // milliseconds since 1970-01-01 00:00 UTC
    ReadingKind kind = ReadingKind::Temperature;
    int parameter = -1;  // Written: the parameter's index
    double value = 0;    // °C, V, the error code; Written: the value the controller confirmed
};

constexpr std::size_t kReadingCapacity = 65536;

class ReadingStore {
public:
    ReadingStore();

    // The writer's side: keeps `reading` as the newest, the oldest giving way when full.
    void Add(const Reading& reading);
    // The readings kept, oldest first.
    std::vector<Reading> Snapshot() const;
    // How many were ever added: a reader's cheap "anything new?".
    std::uint64_t Added() const { return added.load(std::memory_order_acquire); }

private:
    struct Slot {
        std::atomic<std::uint64_t> sequence{0};  // 2n + 2 once reading n is whole; odd while written
        std::atomic<std::int64_t> timeMs{0};
        std::atomic<std::uint64_t> valueBits{0};
        std::atomic<std::uint32_t> kindAndParameter{0};
    };
    std::vector<Slot> ring;
    std::atomic<std::uint64_t> added{0};
};

// The program's one store.
extern ReadingStore StatusReadings;

// The present moment as the store counts it.
std::int64_t NowMs();
