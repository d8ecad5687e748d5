// zl-config.exe: the configuration program for the ZL-500-40K LED flash controller,
// on the Windows API.
#include <windows.h>
#include "win32/CommonControls.h"
#include <shellapi.h>

#include <string>

#include "platform/Threading.h"
#include "resources/StringTable.h"
#include "session/SessionController.h"
#include "state/ControlBlock.h"
#include "win32/HiddenWindow.h"

namespace {
const char kUsage[] =
    "Usage: zl-config [options]\n"
    "Configuration program for the ZL-500-40K LED flash controller.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n";

// A program without a console of its own writes to the one it was started from: its
// standard output when that is redirected, else the console of the shell, else a box.
void Print(const std::string& text, bool error) {
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    bool own = false;
    if ((!out || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        own = true;
    }
    DWORD written = 0;
    if (!out || out == INVALID_HANDLE_VALUE || !WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        MessageBoxA(nullptr, text.c_str(), "ZL-Config", MB_OK | (error ? MB_ICONWARNING : MB_ICONINFORMATION));
    }
    if (own && out != INVALID_HANDLE_VALUE) CloseHandle(out);
}

// --help and --version answer and end; an unknown argument is an error (2).
bool HandleCommandLine(int* exitCode) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool done = false;
    for (int i = 1; i < count && !done; ++i) {
        const std::wstring argument = arguments[i];
        done = true;
        if (argument == L"-h" || argument == L"--help" || argument == L"/?") {
            Print(kUsage, false);
            *exitCode = 0;
        } else if (argument == L"-v" || argument == L"--version") {
            char version[16];
            LoadString(112, version, sizeof version);
            Print("zl-config " + std::string(version) + "\n", false);
            *exitCode = 0;
        } else {
            std::string narrow;
            for (wchar_t c : argument) narrow += c < 0x80 ? static_cast<char>(c) : '?';
            Print("zl-config: unknown option '" + narrow + "' (see zl-config --help)\n", true);
            *exitCode = 2;
        }
    }
    LocalFree(arguments);
    return done;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int exitCode = 0;
    if (HandleCommandLine(&exitCode)) return exitCode;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HiddenWindow window;  // never shown
    if (!window.Create()) return 1;
    SessionController worker;
    // A hand-over that waits for busy keeps the windows answering meanwhile.
    SetEventPump(PumpMessages);
    if (!worker.Start(&window)) return 0;
    window.Run();
    ControlBlock.quit = true;
    worker.Join();
    SetEventPump(nullptr);
    return 0;
}
