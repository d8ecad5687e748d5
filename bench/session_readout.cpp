// Drives the worker against the simulator paced like a real line and prints, one
// figure a line as "name value":
// - the login read-out at 19200 and at 2400 baud beside the protocol's floor for the
//   same exchanges (plus the state steps between them), and their ratio;
// - the worker's wake-ups a second while logged in and idle, between status polls
//   (and per poll, for scale), and the worker's and listener's CPU use;
// - how long a request waits to be picked up (a Help request: no serial traffic of
//   its own), median and p99, over requests placed at random points of the poll cycle;
// - how long a parameter write waits for its own line at the controller, median and
//   p99, and the share of writes that had to wait for a status poll.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ProtocolFloor.h"
#include "platform/MessageSink.h"
#include "session/SessionController.h"
#include "sim/SimulatedController.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"

namespace {
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kStatePolls[] = {23, 24, 25};  // the worker's three status-poll states

class TimedSink : public MessageSink {
public:
    void Post(unsigned message, std::uintptr_t, std::intptr_t) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (message < kWmUser || message >= kWmUser + kSlots) return;
        last_[message - kWmUser] = Clock::now();
        ++count_[message - kWmUser];
    }
    // When `message` was last posted, and how often so far.
    Clock::time_point Last(unsigned message) {
        std::lock_guard<std::mutex> lock(mutex_);
        return last_[message - kWmUser];
    }
    long Count(unsigned message) {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_[message - kWmUser];
    }

private:
    static constexpr unsigned kSlots = 32;
    std::mutex mutex_;
    Clock::time_point last_[kSlots] = {};
    long count_[kSlots] = {};
};

// The /proc/self/task entries of the program's threads with the given name.
std::vector<std::string> Threads(const char* name) {
    std::vector<std::string> found;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return found;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        std::string base = std::string("/proc/self/task/") + entry->d_name;
        std::string comm;
        std::getline(std::ifstream(base + "/comm"), comm);
        if (comm == name) found.push_back(base);
    }
    closedir(tasks);
    return found;
}

// CPU time in clock ticks of a thread.
long ThreadTicks(const std::string& task) {
    std::string stat;
    std::getline(std::ifstream(task + "/stat"), stat);
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::atol(field.c_str());
    }
    return ticks;
}

// How often a thread went to sleep of its own accord: each is one wake-up later.
long Sleeps(const std::string& task) {
    std::ifstream status(task + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::atol(line.c_str() + 24);
    }
    return 0;
}

template <typename Condition>
bool WaitFor(Condition condition, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    std::size_t at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

bool Polling(const SessionController& worker) {
    int state = worker.CurrentState();
    return std::find(std::begin(kStatePolls), std::end(kStatePolls), state) != std::end(kStatePolls);
}

// The lines in `bytes` from `from` on, each with the time of its first byte.
struct Line {
    Clock::time_point first;
    std::string text;
};
std::vector<Line> Lines(const std::vector<ReceivedByte>& bytes, std::size_t from) {
    std::vector<Line> lines;
    Line current{};
    for (std::size_t i = from; i < bytes.size(); ++i) {
        if (current.text.empty()) current.first = bytes[i].time;
        current.text.push_back(static_cast<char>(bytes[i].byte));
        if (bytes[i].byte == '\r' || bytes[i].byte == '\n') {
            lines.push_back(current);
            current = Line{};
        }
    }
    return lines;
}

bool IsPollLine(const std::string& line) {
    return line.find("/Status/Temperature") == 0 || line.find("/Status/SupplyVoltage") == 0 ||
           line.find("/Status/Error") == 0;
}

struct Session {
    SimulatedController* sim;
    TimedSink* sink;
    SessionController* worker;
};

// Logs in on COM`com` once the login dialog has been shown `logins` times, and
// prints the read-out beside its floor.
bool TimeReadOut(const Session& s, long logins, unsigned baud, const char16_t* com, const char* suffix) {
    if (!WaitFor([&] { return s.sink->Count(MsgCreateLogin) >= logins && !IsBusy(); }, 10)) return false;
    long opened = s.sink->Count(MsgSessionOpen);
    auto start = Clock::now();
    SubmitLogin(u"user", u"ta-vimek", com, static_cast<std::int32_t>(baud));
    if (!WaitFor([&] { return s.sink->Count(MsgSessionOpen) > opened; }, 120)) return false;
    double readout = Ms(s.sink->Last(MsgSessionOpen) - start).count();
    // The worker's own steps: the one that sees the request and the four between the
    // port's opening and the session being open.
    double floor = ReadOutFloorMs(baud, ReadOutExchanges(*s.sim)) + 5 * 10.0;
    std::printf("readout_ms%s %.0f\n", suffix, readout);
    std::printf("readout_floor_ms%s %.0f\n", suffix, floor);
    std::printf("readout_ratio%s %.3f\n", suffix, readout / floor);
    return true;
}

// Wake-ups of the worker while logged in and idle, told apart by whether a status
// poll was under way (from 200 ms before its first byte to 400 ms after its command).
void TimeIdle(const Session& s, const std::string& worker, int seconds) {
    std::vector<std::string> listeners = Threads("zl-listener");
    auto ticks = [&] {
        long total = ThreadTicks(worker);
        for (const std::string& l : listeners) total += ThreadTicks(l);
        return total;
    };
    struct Sample {
        Clock::time_point time;
        long sleeps;
    };
    std::vector<Sample> samples;
    // Start just after a poll, so that every poll in the window shows whole.
    std::size_t from = s.sim->Transcript().size();
    WaitFor([&] {
        for (const Line& line : Lines(s.sim->Transcript(), from)) {
            if (IsPollLine(line.text)) return true;
        }
        return false;
    }, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    from = s.sim->Transcript().size();
    long ticksBefore = ticks();
    auto start = Clock::now();
    auto end = start + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        samples.push_back({Clock::now(), Sleeps(worker)});
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    double total = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = static_cast<double>(ticks() - ticksBefore) / static_cast<double>(sysconf(_SC_CLK_TCK));

    std::vector<std::pair<Clock::time_point, Clock::time_point>> polls;
    std::vector<Line> lines = Lines(s.sim->Transcript(), from);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsPollLine(lines[i].text)) continue;
        auto first = i > 0 ? lines[i - 1].first : lines[i].first;  // the exchange's empty line
        polls.push_back({first - std::chrono::milliseconds(200), lines[i].first + std::chrono::milliseconds(400)});
    }
    auto inPoll = [&](Clock::time_point t) {
        for (const auto& p : polls) {
            if (t >= p.first && t <= p.second) return true;
        }
        return false;
    };
    long between = 0, during = 0;
    double pollSeconds = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        long woke = samples[i].sleeps - samples[i - 1].sleeps;
        if (inPoll(samples[i].time)) {
            during += woke;
            pollSeconds += std::chrono::duration<double>(samples[i].time - samples[i - 1].time).count();
        } else {
            between += woke;
        }
    }
    std::printf("idle_worker_wakeups_per_s %.2f\n", static_cast<double>(between) / (total - pollSeconds));
    std::printf("idle_worker_wakeups_per_poll %.1f\n", polls.empty() ? 0.0 : static_cast<double>(during) / polls.size());
    std::printf("idle_cpu_percent %.2f\n", cpu / total * 100.0);
}

// Help requests at random points of the poll cycle: the time until the worker posts
// the dialog. Requests that met a status poll are left out and counted.
void TimeRequestPickup(const Session& s, std::mt19937& random, int count) {
    std::vector<double> pickups;
    int metPoll = 0;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 700)(random)));
        long shown = s.sink->Count(MsgCreateHelp);
        std::size_t from = s.sim->Transcript().size();
        bool polling = Polling(*s.worker);
        auto requested = Clock::now();
        ControlBlock.helpRequest = true;
        if (!WaitFor([&] { return s.sink->Count(MsgCreateHelp) > shown; }, 10)) return;
        double ms = Ms(s.sink->Last(MsgCreateHelp) - requested).count();
        if (polling || s.sim->Transcript().size() != from) {
            ++metPoll;
        } else {
            pickups.push_back(ms);
        }
        long closed = s.sink->Count(MsgDestroyHelp);
        ControlBlock.helpClosed = true;
        if (!WaitFor([&] { return s.sink->Count(MsgDestroyHelp) > closed; }, 10)) return;
    }
    std::printf("request_pickup_median_ms %.1f\n", Percentile(pickups, 0.5));
    std::printf("request_pickup_p99_ms %.1f\n", Percentile(pickups, 0.99));
    std::printf("request_pickup_requests %zu\n", pickups.size());
    std::printf("request_pickup_met_poll %d\n", metPoll);
}

// Writes of Current at random points of the poll cycle: the time until the first byte
// of the write's own line reaches the controller.
void TimeWriteReaction(const Session& s, std::mt19937& random, int count) {
    std::vector<double> reactions;
    int waitedForPoll = 0;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 2500)(random)));
        const std::string value = i % 2 ? "6000" : "5000";
        const std::string own = "/Config/Current " + value;
        std::size_t from = s.sim->Transcript().size();
        bool polling = Polling(*s.worker);
        auto requested = Clock::now();
        if (!WaitFor([&] { return SubmitParameterWrite(4, value.c_str()); }, 10)) return;
        if (!WaitFor([&] { return !IsBusy(); }, 20)) return;
        bool metPoll = polling;
        for (const Line& line : Lines(s.sim->Transcript(), from)) {
            if (IsPollLine(line.text)) metPoll = true;
            if (line.text.rfind(own, 0) == 0) {
                reactions.push_back(Ms(line.first - requested).count());
                break;
            }
        }
        if (metPoll) ++waitedForPoll;
    }
    std::printf("write_reaction_median_ms %.1f\n", Percentile(reactions, 0.5));
    std::printf("write_reaction_p99_ms %.1f\n", Percentile(reactions, 0.99));
    std::printf("write_reaction_writes %zu\n", reactions.size());
    std::printf("write_reaction_waited_for_poll %.2f\n",
                reactions.empty() ? 0.0 : static_cast<double>(waitedForPoll) / static_cast<double>(reactions.size()));
}
}  // namespace

int main() {
    std::string dir = (std::filesystem::temp_directory_path() / ("zl-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    SimulatedController fast(19200);
    SimulatedController slow(2400);
    fast.LinkAs(dir, 1);
    slow.LinkAs(dir, 2);
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

    std::mt19937 random(20261210);
    bool done = TimeReadOut({&fast, &sink, &worker}, 1, 19200, u"COM1", "");
    if (done) {
        Session s{&fast, &sink, &worker};
        // Let the Save after login finish before anything is timed.
        WaitFor([] { return !IsBusy(); }, 10);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        std::vector<std::string> workers = Threads("zl-worker");
        if (!workers.empty()) TimeIdle(s, workers.front(), 20);
        TimeRequestPickup(s, random, 200);
        TimeWriteReaction(s, random, 30);
        long logins = sink.Count(MsgCreateLogin);
        ControlBlock.logoutRequest = true;
        done = TimeReadOut({&slow, &sink, &worker}, logins + 1, 2400, u"COM2", "_2400");
    }

    ControlBlock.quit = true;
    worker.Join();
    stopUi = true;
    ui.join();
    std::filesystem::remove_all(dir);
    return done ? 0 : 1;
}
