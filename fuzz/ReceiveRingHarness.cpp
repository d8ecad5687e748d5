#include <cstring>
#include <deque>
#include <string>

#include "fuzz/Check.h"
#include "fuzz/Harnesses.h"
#include "serial/SerialReadln.h"

namespace {
// What the ring must do, written the plain way: at most 1000 bytes kept (later ones
// dropped), a line ends at a line feed or a NUL, comes out without carriage returns
// and cut to 99 characters; taking it returns the characters stored, terminator
// included (at most 100).
struct RingModel {
    std::deque<unsigned char> bytes;

    void Receive(unsigned char byte) {
        if (bytes.size() < kRingSize) bytes.push_back(byte);
    }
    std::size_t Lines() const {
        std::size_t n = 0;
        for (unsigned char b : bytes) n += b == '\n' || b == 0;
        return n;
    }
    // The next line and its count; 0 when none is complete.
    int Take(std::string* text) {
        if (Lines() == 0) return 0;
        int count = 0;
        text->clear();
        for (;;) {
            unsigned char b = bytes.front();
            bytes.pop_front();
            if (b == '\r') continue;
            bool end = b == '\n' || b == 0;
            if (count < kLineBufferSize) {
                ++count;
                if (!end && text->size() < kLineBufferSize - 1) text->push_back(static_cast<char>(b));
            }
            if (end) return count;
        }
    }
};
}  // namespace

int FuzzReceiveRing(const std::uint8_t* data, std::size_t size) {
    static CSerialReadln ring;  // never opened: the listener's and the worker's sides alone
    ring.Close();               // empties it
    RingModel model;
    // Each step: one control byte, then for a receive step its bytes. The low six bits
    // are a length, the top two the operation.
    std::size_t i = 0;
    while (i < size) {
        unsigned op = data[i] >> 6;
        std::size_t length = data[i] & 0x3F;
        ++i;
        if (op <= 1) {
            // Receive a chunk (more often than taking lines, so the ring fills up).
            for (std::size_t k = 0; k < length && i < size; ++k, ++i) {
                ring.Receive(data[i]);
                model.Receive(data[i]);
            }
        } else if (op == 2) {
            char line[kLineBufferSize];
            std::memset(line, 'Z', sizeof line);
            std::string expected;
            int count = ring.TakeLine(line);
            FUZZ_CHECK(count == model.Take(&expected));
            if (count > 0) {
                FUZZ_CHECK(line[kLineBufferSize - 1] == 0);
                FUZZ_CHECK(expected == line);
            }
        } else {
            std::string dropped;
            FUZZ_CHECK(ring.DropLine() == (model.Take(&dropped) > 0));
        }
        FUZZ_CHECK(ring.PendingChars() == model.bytes.size());
        FUZZ_CHECK(ring.PendingLines() == model.Lines());
    }
    return 0;
}
