#pragma once
// Puts a device (a simulator's pty) on a COM port of the wine prefix named by
// WINEPREFIX, so that the Windows programs run under wine can reach the simulator.
// Tests and benchmarks only.
#include <memory>
#include <string>

#include "sim/ControlSession.h"

// Maps COMn to `device` in the registry and the prefix's device links. False when
// there is no prefix or the mapping failed.
bool MapWineComPort(const std::string& device, unsigned number);

// Holds a free port of the prefix's pool, COM40 ... COM89, for `device` until the
// claim is destroyed; nullptr when there is no prefix or no free port. Many programs
// may claim at once: each port has a lock file. A pool port is mapped once to a link
// in WINEPREFIX/zl-ports, and a claim only turns that link, so no wine process runs for
// it and a wine restart finds the same mapping.
std::unique_ptr<PortClaim> ClaimWineComPort(const std::string& device);
