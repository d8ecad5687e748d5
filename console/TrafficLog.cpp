#include "console/TrafficLog.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/LocalTime.h"
#include "state/TextOps.h"

namespace {
// One producer (the worker), one consumer (the view): each index moves on one side.
TrafficLine ring[kTrafficCapacity];
std::atomic<std::uint64_t> written{0};
std::atomic<std::uint64_t> read{0};
std::atomic<std::uint64_t> dropped{0};

const char kStars[] = "********";

// The prompts after which the controller echoes a password.
constexpr const char* kPasswordPrompts[] = {"Password:", "Enter old password:", "Enter new password:",
                                            "Re-enter new password:"};

// Every secret sent so far, masked wherever it shows in a received line (the echo of a
// password typed at the wrong prompt, a unit that repeats it). The producer's own.
constexpr int kSecretCount = 8;
char secrets[kSecretCount][sizeof TrafficLine::text] = {};
int nextSecret = 0;

void RememberSecret(const char* text) {
    if (text[0] == 0) return;
    for (const char* known : secrets) {
        if (std::strcmp(known, text) == 0) return;
    }
    CopyText(secrets[nextSecret], sizeof secrets[nextSecret], text, sizeof secrets[nextSecret] - 1);
    nextSecret = (nextSecret + 1) % kSecretCount;
}

// The length of the secret that starts at `at`, 0 for none.
std::size_t SecretAt(const char* at) {
    for (const char* secret : secrets) {
        std::size_t length = std::strlen(secret);
        if (length > 0 && std::strncmp(at, secret, length) == 0) return length;
    }
    return 0;
}

void Keep(TrafficDirection direction, const char* text) {
    std::uint64_t head = written.load(std::memory_order_relaxed);
    if (head - read.load(std::memory_order_acquire) >= kTrafficCapacity) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    TrafficLine& line = ring[head % kTrafficCapacity];
    line.timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
    line.direction = direction;
    CopyText(line.text, sizeof line.text, text, sizeof line.text - 1);
    written.store(head + 1, std::memory_order_release);
}
}  // namespace

void MaskReceivedLine(const char* line, char* masked) {
    constexpr std::size_t kSize = sizeof TrafficLine::text;
    std::size_t out = 0;
    for (const char* at = line; *at && out < kSize - 1;) {
        if (std::size_t length = SecretAt(at)) {
            CopyText(masked + out, kSize - out, kStars, 8);
            out = std::strlen(masked);
            at += length;
        } else {
            masked[out++] = *at++;
        }
    }
    masked[out] = 0;
    for (const char* prompt : kPasswordPrompts) {
        char* at = std::strstr(masked, prompt);
        if (!at) continue;
        char* secret = at + std::strlen(prompt);
        if (*secret == ' ') ++secret;
        // Stars of a fixed length: they do not tell the password's either.
        if (*secret) CopyText(secret, sizeof TrafficLine::text - static_cast<std::size_t>(secret - masked), kStars, 8);
    }
}

void LogSent(const char* text, bool secret) {
    char line[sizeof TrafficLine::text];
    CopyText(line, sizeof line, text, sizeof line - 1);
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = 0;
    if (secret) {
        RememberSecret(line);
        CopyText(line, sizeof line, kStars, 8);
    }
    Keep(TrafficDirection::Sent, line);
}

void LogReceived(const char* line) {
    char masked[sizeof TrafficLine::text];
    MaskReceivedLine(line, masked);
    Keep(TrafficDirection::Received, masked);
}

int TakeTraffic(TrafficLine* out, int max) {
    std::uint64_t tail = read.load(std::memory_order_relaxed);
    std::uint64_t head = written.load(std::memory_order_acquire);
    int taken = 0;
    for (; tail < head && taken < max; ++tail, ++taken) out[taken] = ring[tail % kTrafficCapacity];
    read.store(tail, std::memory_order_release);
    return taken;
}

std::uint64_t TrafficDropped() { return dropped.load(std::memory_order_relaxed); }

void FormatTrafficLine(const TrafficLine& line, char* out) {
    std::time_t seconds = static_cast<std::time_t>(line.timeMs / 1000);
    std::tm local{};
    ToLocalTime(seconds, &local);
    char text[sizeof line.text];
    CopyText(text, sizeof text, line.text, sizeof text - 1);
    for (char* c = text; *c; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20) *c = '.';
    }
    std::snprintf(out, kTrafficTextSize, "%02d:%02d:%02d.%03d %c %s", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(line.timeMs % 1000), static_cast<char>(line.direction), text);
}
