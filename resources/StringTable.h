#pragma once
// The program's numbered string table, 110 ... 191 (there is no 155). Texts are
// loaded by id into the caller's buffer at the moment of use, as a resource would be.
#include <cstdarg>
#include <cstddef>

// windows.h names LoadStringA or LoadStringW so; the table's own comes first here.
#ifdef LoadString
#undef LoadString
#endif

// Copies string `id` into `buffer` (at most capacity - 1 characters and a
// terminator) and returns the number of characters copied; 0 and an empty buffer for
// an unknown id.
std::size_t LoadString(unsigned id, char16_t* buffer, std::size_t capacity);

// The same, as single-byte text (the table holds only Latin-1 characters).
std::size_t LoadString(unsigned id, char* buffer, std::size_t capacity);

// String `id` as a printf format for `args`, into `out` (cut to capacity - 1
// characters); an unknown id gives an empty text.
void FormatString(unsigned id, char* out, std::size_t capacity, va_list args);

// The help text (string 116) for length checks; the table's texts are constant.
const char16_t* StringText(unsigned id);
