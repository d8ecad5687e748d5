#include "state/ConsoleLine.h"

char ConsoleLine[kConsoleLineSize];
