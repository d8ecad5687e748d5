#include "state/Readings.h"

#include <chrono>
#include <cstring>

ReadingStore StatusReadings;

namespace {
std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
}  // namespace

ReadingStore::ReadingStore() : ring(kReadingCapacity) {}

void ReadingStore::Add(const Reading& reading) {
    const std::uint64_t n = added.load(std::memory_order_relaxed);
    Slot& slot = ring[n % kReadingCapacity];
    // Each field is released: a reader that sees any of them sees the odd sequence too.
    slot.sequence.store(2 * n + 1, std::memory_order_relaxed);
    slot.timeMs.store(reading.timeMs, std::memory_order_release);
    slot.valueBits.store(Bits(reading.value), std::memory_order_release);
    const auto parameter = static_cast<std::uint32_t>(reading.parameter + 1) & 0xFFFFFFu;
    slot.kindAndParameter.store(static_cast<std::uint32_t>(reading.kind) << 24 | parameter,
                                std::memory_order_release);
    slot.sequence.store(2 * n + 2, std::memory_order_release);
    added.store(n + 1, std::memory_order_release);
}

std::vector<Reading> ReadingStore::Snapshot() const {
    const std::uint64_t end = added.load(std::memory_order_acquire);
    const std::uint64_t begin = end > kReadingCapacity ? end - kReadingCapacity : 0;
    std::vector<Reading> out;
    out.reserve(static_cast<std::size_t>(end - begin));
    for (std::uint64_t n = begin; n < end; ++n) {
        const Slot& slot = ring[n % kReadingCapacity];
        if (slot.sequence.load(std::memory_order_acquire) != 2 * n + 2) continue;
        Reading r;
        // Acquired, so that the second look at the sequence comes after them.
        r.timeMs = slot.timeMs.load(std::memory_order_acquire);
        r.value = FromBits(slot.valueBits.load(std::memory_order_acquire));
        const std::uint32_t packed = slot.kindAndParameter.load(std::memory_order_acquire);
        r.kind = static_cast<ReadingKind>(packed >> 24);
        r.parameter = static_cast<int>(packed & 0xFFFFFFu) - 1;
        // Overwritten while it was read: it has given way to a newer one.
        if (slot.sequence.load(std::memory_order_relaxed) != 2 * n + 2) continue;
        out.push_back(r);
    }
    return out;
}

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}
