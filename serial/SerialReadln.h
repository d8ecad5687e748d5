#pragma once
// CSerialReadln: the listener drains every received byte into a 1000-byte ring and
// counts bytes and complete lines, so the worker takes whole lines without ever
// blocking on the port. SerialPort is the program's one port; ReadLine and
// DiscardInput are used by the worker thread only.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "serial/SerialEx.h"

constexpr std::uint32_t kRingSize = 1000;
constexpr int kLineBufferSize = 100;

class CSerialReadln : public CSerialEx {
public:
    ~CSerialReadln() override;
    ErrorCode Close() override;
    void HandlePortEvent(std::uint32_t events, std::uint32_t errors) override;
    // Stores one received byte (the listener's side); dropped while the ring is full.
    void Receive(unsigned char byte);

    // Takes one complete line into a 100-byte buffer without '\r', NUL-terminated;
    // returns the bytes stored (terminator included) or 0 when no line is complete.
    int TakeLine(char* buffer);
    // Drops one complete line; false when none is complete.
    bool DropLine();

    // Copies the unfinished line at the end of the ring (a prompt that waits for an
    // answer) into a 100-byte buffer without '\r', NUL-terminated, leaving it in the
    // ring; false, with an empty buffer, while a complete line is pending.
    bool PeekUnfinishedLine(char* buffer);

    std::uint32_t PendingChars();
    std::uint32_t PendingLines();
    // Bytes received since the port was opened (dropped ones too).
    std::uint64_t BytesReceived() const { return bytesReceived.load(); }

private:
    bool LineComplete();
    int TakeLineInto(char* buffer);

    std::mutex bufferMutex;
    unsigned char receiveRing[kRingSize] = {};
    std::uint32_t readIndex = 0;
    std::uint32_t writeIndex = 0;
    std::uint32_t pendingChars = 0;
    std::uint32_t pendingLines = 0;
    std::atomic<std::uint64_t> bytesReceived{0};
};

extern CSerialReadln SerialPort;

// Takes one complete line from SerialPort into a 100-byte buffer; 0 when none is complete.
int ReadLine(char* buffer);

// Drops every complete line still pending, one per 10 ms round, until ten rounds in a
// row bring none (a partial line stays). False when the console did not fall quiet
// within kMaxDiscardRounds (2 s) or the program is ending. `dropped`, when given, sees
// each line dropped.
constexpr int kQuietRounds = 10;
constexpr int kMaxDiscardRounds = 200;
bool DiscardInput(void (*dropped)(const char* line) = nullptr);
