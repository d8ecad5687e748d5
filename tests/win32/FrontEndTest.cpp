// The Windows program's front end, its real windows on a display, against the
// simulator: logging in, a change, a file saved and loaded back, logging out with the
// exact traffic; and the rules a user relies on: a field commits only when left, the
// wheel over a list that has no focus changes nothing, Enter presses the focused
// button, a notice shows above the top-most dialog and gives the keyboard back, and
// every wait ends when the program does.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Threading.h"
#include "resources/DialogTemplates.h"
#include "session/SessionController.h"
#include "state/ControlBlock.h"
#include "support/SharedState.h"
#include "support/Simulator.h"
#include "win32/CommonControls.h"
#include "win32/HiddenWindow.h"

namespace {
constexpr int kBound = 30000;  // ms: generous, CI shares two cores

// A message box or a file chooser as the watcher saw it.
struct SeenWindow {
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
    bool topMost = false;
    bool yesNo = false;
};

std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

// The same without a message to the window's thread, which may be waiting for us.
std::wstring TextOfOthers(HWND window) {
    wchar_t text[2048] = {};
    InternalGetWindowText(window, text, 2048);
    return text;
}

// Answers the program's message boxes (Yes where there is one, else OK) and its file
// choosers (the queued path, else Cancel) from a thread of its own, as a user would
// while the program's thread sits in the box's own loop.
class Watcher {
public:
    explicit Watcher(DWORD uiThread) : uiThread(uiThread), thread([this] { Run(); }) {}
    ~Watcher() {
        stop = true;
        thread.join();
    }
    void ChooseNext(const std::wstring& path) {
        std::lock_guard<std::mutex> lock(mutex);
        chosen = path;
    }
    std::vector<SeenWindow> Boxes() {
        std::lock_guard<std::mutex> lock(mutex);
        return boxes;
    }
    bool SawBox(const std::wstring& text) {
        for (const SeenWindow& box : Boxes()) {
            if (box.text == text) return true;
        }
        return false;
    }

private:
    void Run() {
        while (!stop) {
            EnumThreadWindows(uiThread, [](HWND w, LPARAM self) { reinterpret_cast<Watcher*>(self)->Look(w); return TRUE; },
                              reinterpret_cast<LPARAM>(this));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    void Look(HWND window) {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window) || answered.count(window)) return;
        HWND fileName = GetDlgItem(window, 1148);  // the chooser's file name box
        if (!fileName) fileName = GetDlgItem(window, 1152);
        if (fileName) {
            answered.insert(window);
            std::lock_guard<std::mutex> lock(mutex);
            if (chosen.empty()) {
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            } else {
                SetWindowTextW(fileName, chosen.c_str());
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
                chosen.clear();
            }
            return;
        }
        // A message box: the program's caption and no menu (the main dialog has one).
        if (TextOfOthers(window) != L"ZL-Config" || GetMenu(window)) return;
        HWND text = GetDlgItem(window, 0xFFFF);
        if (!text) return;
        answered.insert(window);
        SeenWindow box{TextOfOthers(window), TextOfOthers(text), GetWindow(window, GW_OWNER),
                       (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, GetDlgItem(window, IDYES) != nullptr};
        {
            std::lock_guard<std::mutex> lock(mutex);
            boxes.push_back(box);
        }
        const int answer = box.yesNo ? IDYES : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, answer)));
    }

    DWORD uiThread;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::wstring chosen;
    std::vector<SeenWindow> boxes;
    std::set<HWND> answered;  // watcher thread only
    std::thread thread;
};

class FrontEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZL-Config");  // a first start
        ASSERT_TRUE(window.Create());
        SetEventPump(PumpMessages);
        ASSERT_TRUE(worker.Start(&window));
    }
    void TearDown() override {
        ControlBlock.quit = true;
            worker.Join();
            SetEventPump(nullptr);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Keeps the windows answering until `done`, or false after `ms`.
    bool PumpUntil(const std::function<bool()>& done, int ms = kBound) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            PumpMessages();
            if (done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return false;
    }
    HWND Shown(DialogSlot slot) {
        HWND dialog = window.Dialog(slot);
        return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
    }
    HWND Item(DialogSlot slot, int id) { return GetDlgItem(window.Dialog(slot), id); }
    std::wstring Text(DialogSlot slot, int id) { return TextOf(Item(slot, id)); }
    void Click(DialogSlot slot, int id) { SendMessageW(Item(slot, id), BM_CLICK, 0, 0); }
    // A menu item, as the menu sends it.
    void Menu(int id) { SendMessageW(window.Dialog(DialogSlot::Main), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool LoggedIn() {
        HWND main = window.Dialog(DialogSlot::Main);
        return main && IsWindowEnabled(GetDlgItem(main, IdStart)) && !IsBusy() && !Shown(DialogSlot::Login);
    }
    // Types into an edit and moves on to `next`, as a user's click there would.
    void TypeAndLeave(int id, const wchar_t* text, int next) {
        HWND edit = Item(DialogSlot::Main, id);
        SetFocus(edit);
        SetWindowTextW(edit, text);
        SetFocus(Item(DialogSlot::Main, next));
    }

    // Closes the splash and logs in to `sim` with the presets.
    void LogIn(Simulator& sim) {
        ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::About) != nullptr; })) << "the splash";
        Click(DialogSlot::About, IDOK);
        ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::Login) != nullptr; })) << "the login dialog";
        SetWindowTextW(Item(DialogSlot::Login, IdComPort), reinterpret_cast<const wchar_t*>(sim.PortName().c_str()));
        Click(DialogSlot::Login, IDOK);
        ASSERT_TRUE(PumpUntil([&] { return LoggedIn() && Status() == L"Logged in"; })) << "logged in";
        // The read-out ends with the controller's Save.
        ASSERT_TRUE(PumpUntil([&] { return sim.Received().find("Save\n") != std::string::npos && !IsBusy(); }));
    }
    // The status bar's message.
    std::wstring Status() {
        HWND bar = FindWindowExW(window.Dialog(DialogSlot::Main), nullptr, L"msctls_statusbar32", nullptr);
        wchar_t text[400] = {};
        if (bar && LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0)) < 400) SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }

    // What the controller received, without the status polls that come every 2 s.
    static std::vector<std::string> Commands(const Simulator& sim) {
        std::vector<std::string> commands;
        for (const std::string& line : sim.ReceivedLines()) {
            if (line.empty() || line.rfind("/Status/", 0) == 0) continue;
            commands.push_back(line);
        }
        return commands;
    }

    // Right after a status poll: the worker is idle for the next 2 s, so a change the
    // user makes now finds it free (one made during a poll is refused, the field reset).
    bool AfterAPoll(const Simulator& sim) {
        auto polls = [&] {
            int n = 0;
            for (const std::string& line : sim.ReceivedLines()) n += line.rfind("/Status/", 0) == 0;
            return n;
        };
        const int before = polls();
        return PumpUntil([&] { return polls() > before && !IsBusy(); });
    }

    static std::string TempPath(const char* name) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        return std::string(folder) + name + std::to_string(GetCurrentProcessId()) + ".xml";
    }

    HiddenWindow window;
    SessionController worker;
};

std::wstring WideOf(const std::string& text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

TEST_F(FrontEnd, log_in_change_save_load_back_and_log_out_with_the_exact_traffic) {
    Simulator sim(19200);
    Watcher watcher(GetCurrentThreadId());
    ASSERT_NO_FATAL_FAILURE(LogIn(sim));
    EXPECT_EQ(Text(DialogSlot::Main, IdInfo), L"Firmware-Version ZL-500-40K 1.10");
    EXPECT_EQ(Text(DialogSlot::Main, IdSupplyVoltage), L"24.0");
    EXPECT_EQ(TextOf(window.Dialog(DialogSlot::Main)), L"ZL-Config");
    sim.ClearTranscript();

    // Current, changed and left.
    ASSERT_TRUE(AfterAPoll(sim));
    TypeAndLeave(IdCurrent, L"2000", IdDelay);
    ASSERT_TRUE(PumpUntil([&] { return sim.Value("Config", "Current") == "2000" && !IsBusy(); }));

    // Saved as a file, the file's name in the title.
    const std::string path = TempPath("zl-front-end-");
    std::remove(path.c_str());
    watcher.ChooseNext(WideOf(path));
    Menu(MenuSaveAs);
    ASSERT_TRUE(PumpUntil([&] { return std::ifstream(path).good() && !IsBusy(); })) << "saved";
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    EXPECT_TRUE(PumpUntil([&] { return TextOf(window.Dialog(DialogSlot::Main)) == WideOf(name) + L" - ZL-Config"; }));

    // Another Current, then the file loaded back.
    ASSERT_TRUE(AfterAPoll(sim));
    TypeAndLeave(IdCurrent, L"3000", IdDelay);
    ASSERT_TRUE(PumpUntil([&] { return sim.Value("Config", "Current") == "3000" && !IsBusy(); }));
    watcher.ChooseNext(WideOf(path));
    Menu(MenuOpen);
    ASSERT_TRUE(PumpUntil([&] { return sim.Value("Config", "Current") == "2000" && !IsBusy(); })) << "loaded";
    EXPECT_TRUE(PumpUntil([&] { return Text(DialogSlot::Main, IdCurrent) == L"2000"; }));

    Click(DialogSlot::Main, IdLogout);
    ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::Login) && !IsBusy(); })) << "logged out";
    EXPECT_FALSE(IsWindowEnabled(Item(DialogSlot::Main, IdStart)));
    EXPECT_EQ(Text(DialogSlot::Main, IdCurrent), L"0");

    const std::vector<std::string> expected = {
        "/Config/Current 2000",
        "/Config/Current 3000",
        "Stop",
        "/System/Echo 0",
        "/System/Baud 19200",
        "/Config/Mode 0",
        "/Config/Current 2000",
        "/Config/Delay 5",
        "/Config/TimeOn 100",
        "/Config/CycleTime 1000",
        "/Config/TriggerSource 0",
        "/Config/Edge 0",
        "/Config/TriggerOut 0",
        "/Config/ReadyOut 0",
        "/Config/AutoStart 0",
        "Ver",
        "Save",
    };
    EXPECT_EQ(Commands(sim), expected);
    EXPECT_TRUE(watcher.Boxes().empty()) << "no notice: " << (watcher.Boxes().empty() ? "" : std::string(
        watcher.Boxes()[0].text.begin(), watcher.Boxes()[0].text.end()));
    std::remove(path.c_str());
}

TEST_F(FrontEnd, a_field_commits_when_left_not_before_and_the_wheel_over_an_unfocused_list_changes_nothing) {
    Simulator sim(19200);
    Watcher watcher(GetCurrentThreadId());
    ASSERT_NO_FATAL_FAILURE(LogIn(sim));
    sim.ClearTranscript();
    auto polls = [&] {
        int n = 0;
        for (const std::string& line : sim.ReceivedLines()) n += line.rfind("/Status/Temperature", 0) == 0;
        return n;
    };

    // Typed in, not left; the wheel turned over the Mode list, which has no focus.
    HWND current = Item(DialogSlot::Main, IdCurrent);
    HWND mode = Item(DialogSlot::Main, IdMode);
    SetFocus(current);
    SetWindowTextW(current, L"2500");
    RECT place;
    GetWindowRect(mode, &place);
    SendMessageW(mode, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(place.left + 4, place.top + 4));
    // Two status polls later, with the worker idle all the while: nothing was written.
    ASSERT_TRUE(PumpUntil([&] { return polls() >= 2; }));
    EXPECT_TRUE(Commands(sim).empty());
    EXPECT_EQ(SendMessageW(mode, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), current);

    // Left for another field: one write.
    ASSERT_TRUE(AfterAPoll(sim));
    SetFocus(Item(DialogSlot::Main, IdDelay));
    ASSERT_TRUE(PumpUntil([&] { return sim.Value("Config", "Current") == "2500" && !IsBusy(); }));

    // Enter in a field moves on, and so commits; Enter on a focused button presses it.
    ASSERT_TRUE(AfterAPoll(sim));
    SetFocus(current);
    SetWindowTextW(current, L"2600");
    PostMessageW(current, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return sim.Value("Config", "Current") == "2600" && !IsBusy(); }));
    EXPECT_NE(GetFocus(), current);
    HWND stop = Item(DialogSlot::Main, IdStop);
    SetFocus(stop);
    PostMessageW(stop, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return !Commands(sim).empty() && Commands(sim).back() == "Stop" && !IsBusy(); }));
    const std::vector<std::string> expected = {"/Config/Current 2500", "/Config/Current 2600", "Stop"};
    EXPECT_EQ(Commands(sim), expected);
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(FrontEnd, a_notice_shows_above_the_login_dialog_and_gives_it_the_keyboard_back) {
    Watcher watcher(GetCurrentThreadId());
    ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::About) != nullptr; }));
    Click(DialogSlot::About, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::Login) != nullptr; }));
    HWND login = window.Dialog(DialogSlot::Login);
    HWND user = Item(DialogSlot::Login, IdUserName);

    // Refused in the dialog itself: an empty user name.
    SetWindowTextW(user, L"");
    Click(DialogSlot::Login, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Boxes().size() == 1 && GetFocus() == user; }));
    EXPECT_EQ(watcher.Boxes()[0].owner, login);
    EXPECT_EQ(watcher.Boxes()[0].caption, L"ZL-Config");
    EXPECT_TRUE(watcher.Boxes()[0].topMost);

    // Refused by the worker: a port that is not there, and why, in the same place.
    SetWindowTextW(user, L"user");
    SetWindowTextW(Item(DialogSlot::Login, IdComPort), L"COM98");
    Click(DialogSlot::Login, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Boxes().size() == 2 && Shown(DialogSlot::Login) && !IsBusy(); }));
    const SeenWindow box = watcher.Boxes()[1];
    EXPECT_EQ(box.text.substr(0, box.text.find(L'\n')), L"Unable to open COM-port");
    EXPECT_NE(box.text.find(L"COM98"), std::wstring::npos);  // the line that says why
    EXPECT_EQ(box.owner, window.Dialog(DialogSlot::Login));
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == window.Dialog(DialogSlot::Login); }));
}

TEST_F(FrontEnd, exit_ends_the_wait_for_a_controller_that_never_answers) {
    Simulator sim(19200);
    sim.SetSilent(true);
    Watcher watcher(GetCurrentThreadId());
    ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::About) != nullptr; }));
    Click(DialogSlot::About, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return Shown(DialogSlot::Login) != nullptr; }));
    SetWindowTextW(Item(DialogSlot::Login, IdComPort), reinterpret_cast<const wchar_t*>(sim.PortName().c_str()));
    Click(DialogSlot::Login, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return !sim.Received().empty(); }));

    // The exit question, answered Yes, while the worker waits for the controller.
    SendMessageW(window.Dialog(DialogSlot::Main), WM_CLOSE, 0, 0);
    ASSERT_TRUE(watcher.SawBox(L"Close ZL-Config?"));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    const auto asked = std::chrono::steady_clock::now();
    worker.Join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
}
