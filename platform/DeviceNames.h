#pragma once
// Windows device names. On Windows "\\.\COMn" is the system's own name for a port. On
// Linux (platform/posix) it is resolved: "\\.\COMn" (or "COMn") is the entry
// COMn of the directory named by ZL_CONFIG_PORTS when there is one, else the fixed
// table: COM1..32 -> /dev/ttyS0..31, COM33..64 -> /dev/ttyUSB0..31,
// COM65..96 -> /dev/ttyACM0..31, COM97..99 none. A name starting with '/' is that path.
#include <cstddef>

// False when the name resolves to no device.
bool ResolveDeviceName(const char16_t* name, char* path, std::size_t capacity);

// The name without a leading "\\.\".
const char16_t* WithoutDevicePrefix(const char16_t* name);
// n of "COMn" (1 ... 999, letters in any case, no leading zero); 0 for anything else.
unsigned ComNumber(const char16_t* name);
// The table's device of COMn without "/dev/" ("ttyUSB0"); false for COM97 and above.
bool DefaultComDeviceName(unsigned number, char* name, std::size_t capacity);
// The ZL_CONFIG_PORTS entry COMn when there is one (a link, whether or not it leads
// anywhere); false otherwise.
bool ComPortLink(unsigned number, char* path, std::size_t capacity);
