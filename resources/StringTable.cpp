#include "resources/StringTable.h"

#include <cstdio>
#include <iterator>

namespace {
#include "resources/HelpText.inc"

struct StringEntry {
    unsigned id;
    const char16_t* text;
};

constexpr StringEntry kStringTable[] = {
    {110, u"ZL-Config"},
    {111, u" V"},
    {112, u"1.0"},
    {113, u" "},
    {114, u"Configuration program for ZL-500-40K"},
    {115, u"Made by the ZL-Config developers"},
    {116, kHelpText},
    {117, u"Flash"},
    {118, u"Continuous"},
    {119, u"intern"},
    {120, u"external"},
    {121, u"falling"},
    {122, u"rising"},
    {123, u"push-pull"},
    {124, u"push-pull inverted"},
    {125, u"npn"},
    {126, u"npn inverted"},
    {127, u"pnp"},
    {128, u"pnp inverted"},
    {129, u"push-pull"},
    {130, u"push-pull inverted"},
    {131, u"npn"},
    {132, u"npn inverted"},
    {133, u"pnp"},
    {134, u"pnp inverted"},
    {135, u"ZL-Config"},
    {136, u"Connected to newer Firmware - use updated version of ZL-Config"},
    {137, u"Controller rebooting..."},
    {138, u"Access denied!"},
    {139, u"Not connected!"},
    {140, u"Passwords mismatch!"},
    {141, u"Password changed!"},
    {142, u"Password change failed!"},
    {143, u"Unable to save File!"},
    {144, u"Settings belong to newer ZL-Config version - use updated version of ZL-Config"},
    {145, u"Settings belong to newer firmware version - use updated version of ZL-Config"},
    {146, u"Unexpected XML structure"},
    {147, u"Unable to read XML-File"},
    {148, u"Unable to open COM-port"},
    {149, u"Unable to set COM-port setting"},
    {150, u"Unable to set COM-port handshaking"},
    {151, u"Connection Lost!"},
    {152, u"Reset all Parameters to Factory Settings?"},
    {153, u"Close ZL-Config?"},
    {154, u"connecting..."},
    {156, u"reading file..."},
    // Beyond the original table: a refused value, named in the box that ends a load.
    {157, u"Value too long!"},
    {158, u"%s: value not accepted"},
    {159, u"%s: no answer"},
    {160, u"%s: value too long"},
    {161, u"The file's path is too long (999 bytes at most)."},
    // Why a port could not be used, on the line below the notice.
    {162, u"No port chosen - pick one from the list or type a device path"},
    {163, u"%s: not a port name (COM1 to COM96, or a device path)"},
    {164, u"%s: no such device"},
    {165, u"%s: permission denied - add your user to the group \"%s\" (sudo usermod -aG %s $USER), then log out of "
          u"the desktop and in again"},
    {166, u"%s: in use by another program"},
    {167, u"%s: not a serial port"},
    {168, u"%s: cannot be opened (system error %d)"},
    {169, u"%s: no answer from the controller"},
    // The outcome of the last action, in the main dialog's status bar.
    {170, u"Logged in"},
    {171, u"Logged out"},
    {172, u"Connection lost"},
    {173, u"Started"},
    {174, u"Start refused"},
    {175, u"Stopped"},
    {176, u"Stop not confirmed"},
    {177, u"Configuration saved on the controller"},
    {178, u"Configuration not saved on the controller"},
    {179, u"Saved %s"},
    {180, u"%s not saved"},
    {181, u"Loaded %s: %d values sent, %d refused"},
    {182, u"%s not loaded"},
    {183, u"%s set to %s"},
    {184, u"%s not set"},
    {185, u"Password changed"},
    {186, u"Password not changed"},
    // What the dialogs refuse before anything is sent, and a change the line cut short.
    {187, u"Enter a user name!"},
    {188, u"The new password must not be empty!"},
    {189, u"Password change not confirmed - the controller may already use the new password"},
    // A field emptied and read back: nothing was written.
    {190, u"%s read back: %s"},
    {191, u"%s: not a port name (COM and its number, as COM5)"},
};
static_assert(std::size(kStringTable) == 81, "110 ... 191 without 155");
static_assert(std::size(kHelpText) - 1 == 1633, "the help text is 1633 characters");

template <typename Char>
std::size_t CopyString(unsigned id, Char* buffer, std::size_t capacity) {
    if (capacity == 0) return 0;
    buffer[0] = 0;
    const char16_t* text = StringText(id);
    if (!text) return 0;
    std::size_t n = 0;
    for (; n + 1 < capacity && text[n] != 0; ++n) buffer[n] = static_cast<Char>(text[n]);
    buffer[n] = 0;
    return n;
}
}  // namespace

const char16_t* StringText(unsigned id) {
    for (const StringEntry& e : kStringTable) {
        if (e.id == id) return e.text;
    }
    return nullptr;
}

std::size_t LoadString(unsigned id, char16_t* buffer, std::size_t capacity) {
    return CopyString(id, buffer, capacity);
}

std::size_t LoadString(unsigned id, char* buffer, std::size_t capacity) {
    return CopyString(id, buffer, capacity);
}

void FormatString(unsigned id, char* out, std::size_t capacity, va_list args) {
    char format[2000];  // the longest text, the help, has 1633 characters
    LoadString(id, format, sizeof format);
    std::vsnprintf(out, capacity, format, args);
}
