#include "cli/Terminal.h"

#include <unistd.h>

bool ErrorStreamIsTerminal() { return isatty(STDERR_FILENO) != 0; }
