#pragma once
// The fuzz harnesses: each takes arbitrary bytes, runs one core function on them and
// aborts when an invariant breaks. libFuzzer drives them (fuzz/Target.cpp); the
// ordinary tests run every seed and every kept crash through them.
#include <cstddef>
#include <cstdint>

// File bytes through the parameter-file reader, with a stand-in for the controller
// that records what would be sent: only whole, clean values of the file, each of the
// twelve at most once and in the fixed order.
int FuzzConfigReader(const std::uint8_t* data, std::size_t size);

// A console line through the reply classifier and the value extraction.
int FuzzReplyLine(const std::uint8_t* data, std::size_t size);

// A byte stream, in chunks, through the receive ring, checked against a model of it.
int FuzzReceiveRing(const std::uint8_t* data, std::size_t size);
