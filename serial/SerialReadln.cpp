#include "serial/SerialReadln.h"

#include "platform/Threading.h"
#include "state/ControlBlock.h"

CSerialReadln SerialPort;

CSerialReadln::~CSerialReadln() { ShutDown(); }

ErrorCode CSerialReadln::Close() {
    // Stop the listener first so no byte received before the close lands in the ring
    // after it was emptied.
    StopListener(kInfinite);
    {
        std::lock_guard<std::mutex> lock(bufferMutex);
        writeIndex = 0;
        readIndex = 0;
        pendingLines = 0;
        pendingChars = 0;
    }
    bytesReceived = 0;
    return CSerialEx::Close();
}

void CSerialReadln::HandlePortEvent(std::uint32_t, std::uint32_t) {
    for (;;) {
        unsigned char byte = 0;
        std::uint32_t got = 0;
        Read(&byte, 1, &got, nullptr, kInfinite);
        if (got == 0) return;
        Receive(byte);
    }
}

void CSerialReadln::Receive(unsigned char byte) {
    ++bytesReceived;
    {
        std::lock_guard<std::mutex> lock(bufferMutex);
        if (pendingChars == kRingSize) return;  // full: the byte is dropped
    }
    receiveRing[writeIndex] = byte;
    writeIndex = (writeIndex + 1) % kRingSize;
    std::lock_guard<std::mutex> lock(bufferMutex);
    ++pendingChars;
    if (byte == 0 || byte == '\n') ++pendingLines;
}

bool CSerialReadln::LineComplete() {
    std::lock_guard<std::mutex> lock(bufferMutex);
    return pendingChars != 0 && pendingLines != 0;
}

int CSerialReadln::TakeLineInto(char* buffer) {
    int count = 0;
    for (;;) {
        unsigned char byte = receiveRing[readIndex];
        readIndex = (readIndex + 1) % kRingSize;
        bool more;
        {
            std::lock_guard<std::mutex> lock(bufferMutex);
            --pendingChars;
            more = pendingChars != 0;
            if (byte == '\r') {
                if (!more) break;
                continue;
            }
            if (byte == '\n' || byte == 0) {
                --pendingLines;
                byte = 0;
            }
        }
        if (buffer && count < kLineBufferSize) buffer[count++] = static_cast<char>(byte);
        if (!more || byte == 0) break;
    }
    if (buffer) buffer[kLineBufferSize - 1] = 0;
    return count;
}

int CSerialReadln::TakeLine(char* buffer) {
    if (!LineComplete()) return 0;
    return TakeLineInto(buffer);
}

bool CSerialReadln::DropLine() {
    if (!LineComplete()) return false;
    TakeLineInto(nullptr);
    return true;
}

bool CSerialReadln::PeekUnfinishedLine(char* buffer) {
    buffer[0] = 0;
    std::lock_guard<std::mutex> lock(bufferMutex);
    if (pendingLines != 0) return false;
    // The listener writes a byte before counting it: all counted bytes are there.
    int count = 0;
    for (std::uint32_t i = 0; i < pendingChars && count < kLineBufferSize - 1; ++i) {
        unsigned char byte = receiveRing[(readIndex + i) % kRingSize];
        if (byte != '\r') buffer[count++] = static_cast<char>(byte);
    }
    buffer[count] = 0;
    return true;
}

std::uint32_t CSerialReadln::PendingChars() {
    std::lock_guard<std::mutex> lock(bufferMutex);
    return pendingChars;
}

std::uint32_t CSerialReadln::PendingLines() {
    std::lock_guard<std::mutex> lock(bufferMutex);
    return pendingLines;
}

int ReadLine(char* buffer) { return SerialPort.TakeLine(buffer); }

bool DiscardInput(void (*dropped)(const char* line)) {
    int quiet = 0;
    for (int round = 0; quiet < kQuietRounds; ++round) {
        // A console that never falls quiet (a babbling unit, a wrong device) must not
        // hold the worker, nor may the drain outlast the program.
        if (round == kMaxDiscardRounds || ControlBlock.quit.load()) return false;
        char line[kLineBufferSize];
        bool took = dropped ? SerialPort.TakeLine(line) != 0 : SerialPort.DropLine();
        if (took) {
            if (dropped) dropped(line);
            quiet = 0;
        } else {
            ++quiet;
        }
        SleepMs(10);
    }
    return true;
}
