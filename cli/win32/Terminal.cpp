#include "cli/Terminal.h"

#include <windows.h>

// A console handle answers GetConsoleMode; a pipe or a file does not.
bool ErrorStreamIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
