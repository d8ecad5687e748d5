#pragma once
// Bounded text operations used for every fixed-size text buffer. Results are always
// terminated and cut to fit; the status says whether the result is complete.
// Narrow texts are bytes as they come; wide texts are UTF-16 and narrow-to-wide is
// byte for byte (Latin-1).
#include <cstddef>
#include <string>

#include "platform/ErrorCodes.h"

constexpr std::size_t kMaxTextCapacity = 2147483647u;

// Copies at most maxSource characters of source. kStatusInsufficientBuffer when the
// capacity ran out (capacity - 1 characters kept), kStatusInvalidArg for a capacity of
// 0 or above kMaxTextCapacity (nothing written).
ErrorCode CopyText(char* dest, std::size_t capacity, const char* source, std::size_t maxSource);
ErrorCode CopyText(char16_t* dest, std::size_t capacity, const char16_t* source,
                   std::size_t maxSource);

// Appends to a 100-character destination. kStatusInvalidArg and no change when the
// destination holds no terminator or maxSource is above 2147483646.
ErrorCode AppendText(char* dest, const char* source, std::size_t maxSource);

// printf-style formatting into a bounded buffer. The wide form takes a wide format
// whose conversions take narrow arguments (numbers, narrow %s); its output is widened
// byte for byte. Output beyond 1023 characters counts as cut for the wide form.
ErrorCode FormatText(char* dest, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
ErrorCode FormatText(char16_t* dest, std::size_t capacity, const char16_t* format, ...);

// Length of a wide text.
std::size_t WideLength(const char16_t* text);

// Byte-for-byte widening of a narrow text (each byte becomes the character with the
// same code), at most capacity - 1 characters.
void WidenText(char16_t* dest, std::size_t capacity, const char* source);

// UTF-8 (file names, device paths) to UTF-16, at most capacity - 1 units; a byte that
// is no valid UTF-8 keeps its own code, as the byte-for-byte widening would.
void WidenUtf8(char16_t* dest, std::size_t capacity, const char* source);

// A wide text (UTF-16 code units; a unit of a surrogate pair stands for itself) or a
// Latin-1 text, such as the controller's, as UTF-8.
std::string Utf8Of(const char16_t* text);
std::string Latin1ToUtf8(const char* text);
// A JSON string of any bytes, valid UTF-8: a byte that does not decode stands for its
// Latin-1 character, as the controller's text does.
std::string JsonQuoted(const std::string& text);

// Narrowing of a wide text: characters up to U+00FF keep their code, others become '?'.
void NarrowText(char* dest, std::size_t capacity, const char16_t* source);

// The leading decimal integer of a text as atoi reads it (optional blanks and sign),
// 0 for an empty or non-numeric text; out-of-range values are clamped instead of
// being undefined.
int TextToInteger(const char* text);
