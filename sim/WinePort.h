#pragma once
// Puts a device (a simulator's pty) on COMn of the wine prefix named by WINEPREFIX, so
// that the Windows programs run under wine can reach the simulator. Tests and
// benchmarks only.
#include <string>

// False when there is no prefix or the mapping failed.
bool MapWineComPort(const std::string& device, unsigned number);
