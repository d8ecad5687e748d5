#pragma once
// The text both ends of a simulator's control channel speak (sim/ControlSession serves
// it; the tests' client asks): one request line, one reply line, words split by single
// blanks, every byte string in hex so that any byte passes. Replies begin "ok" or
// "error". Portable: the Windows tests build it too.
#include <string>
#include <vector>

std::string ToHex(const std::string& bytes);
// False (and `bytes` untouched) for anything but pairs of hex digits.
bool FromHex(const std::string& hex, std::string* bytes);

std::vector<std::string> SplitWords(const std::string& line);
// Text split at line feeds; a last line without one counts too.
std::vector<std::string> SplitAtLineFeeds(const std::string& text);
