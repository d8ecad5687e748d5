// Logs in against the simulator paced at 19200 baud and prints: the time from the
// login request to the session being open, the floor for it (the protocol's own
// sleeps and quiet waits plus the bytes on the wire), their ratio, the time from a
// write request to its first byte at the controller, and the worker's and listener's
// CPU use while logged in and idle. One figure a line as "name value".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "platform/MessageSink.h"
#include "session/SessionController.h"
#include "sim/SimulatedController.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"

namespace {
using Clock = std::chrono::steady_clock;

class TimedSink : public MessageSink {
public:
    void Post(unsigned message, std::uintptr_t, std::intptr_t) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (message == MsgSessionOpen && sessionOpen_ == Clock::time_point{}) sessionOpen_ = Clock::now();
        if (message == MsgCreateLogin) loginDialog_ = true;
    }
    Clock::time_point SessionOpen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return sessionOpen_;
    }
    bool LoginDialog() {
        std::lock_guard<std::mutex> lock(mutex_);
        return loginDialog_;
    }

private:
    std::mutex mutex_;
    Clock::time_point sessionOpen_{};
    bool loginDialog_ = false;
};

// CPU time in clock ticks of the threads with one of the given names.
long ThreadTicks() {
    long ticks = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return 0;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        std::string base = std::string("/proc/self/task/") + entry->d_name;
        std::string name;
        std::getline(std::ifstream(base + "/comm"), name);
        if (name != "zl-worker" && name != "zl-listener") continue;
        std::string stat;
        std::getline(std::ifstream(base + "/stat"), stat);
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) utime = std::atol(field.c_str());
            if (i == 15) stime = std::atol(field.c_str());
        }
        ticks += utime + stime;
    }
    closedir(tasks);
    return ticks;
}

bool WaitFor(bool (*condition)(), int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!condition() && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}
}  // namespace

int main() {
    constexpr unsigned kBaud = 19200;
    std::string dir = (std::filesystem::temp_directory_path() / ("zl-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    SimulatedController sim(kBaud);
    sim.LinkAs(dir, 1);
    setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);

    TimedSink sink;
    SessionController worker;
    std::atomic<bool> stopUi{false};
    std::thread ui([&] {  // shows (empties) every notice at once
        while (!stopUi) {
            if (NoticePending()) EmptyNotice();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    worker.Start(&sink);
    ControlBlock.aboutClosed = true;
    while (!sink.LoginDialog()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    long sentBefore = sim.BytesSent();
    auto start = Clock::now();
    SubmitLogin(u"user", u"ta-vimek", u"COM1", kBaud);
    while (sink.SessionOpen() == Clock::time_point{}) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    double readout = std::chrono::duration<double, std::milli>(sink.SessionOpen() - start).count();
    long wireBytes = sim.BytesSent() - sentBefore;

    // The protocol's own waits: a login attempt writes five lines (100 ms pause each)
    // and waits out one quiet input drain (100 ms); Ver and each of the 16 reads write
    // two lines and wait out two drains; five state steps of 10 ms lie between. The
    // controller's answers travel during those pauses; only what a pause cannot hide
    // (an answer longer than 100 ms on the wire) would add to the floor.
    double wireMs = wireBytes * 10.0 * 1000.0 / kBaud;
    double perExchange = wireMs / 18.0;
    double floor = 600.0 + 17 * 400.0 + 5 * 10.0 + 18 * std::max(0.0, perExchange - 100.0);
    std::printf("readout_ms %.0f\n", readout);
    std::printf("readout_floor_ms %.0f\n", floor);
    std::printf("readout_ratio %.3f\n", readout / floor);

    // Let the Save after login finish, then time a write request.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    WaitFor([] { return !IsBusy(); }, 10);
    std::size_t seen = sim.Transcript().size();
    auto requested = Clock::now();
    while (!SubmitParameterWrite(4, "5000")) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (sim.Transcript().size() == seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    double reaction = std::chrono::duration<double, std::milli>(sim.Transcript()[seen].time - requested).count();
    std::printf("write_reaction_ms %.1f\n", reaction);

    std::this_thread::sleep_for(std::chrono::seconds(3));
    long ticksBefore = ThreadTicks();
    auto idleStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    double seconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    double cpu = static_cast<double>(ThreadTicks() - ticksBefore) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("idle_cpu_percent %.2f\n", cpu / seconds * 100.0);

    ControlBlock.quit = true;
    worker.Join();
    stopUi = true;
    ui.join();
    std::filesystem::remove_all(dir);
    return 0;
}
