// Prints, for the serial layer on a pseudo-terminal: the time from a line written on
// the master to the line being taken from the ring (median and 99th percentile over
// 1000 round trips), and the CPU the listener uses while the port is open and silent
// for 5 s. One figure a line as "name value".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialReadln.h"
#include "sim/Pty.h"

namespace {
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}
}  // namespace

int main() {
    PtyPair pty;
    CSerialReadln port;
    if (port.OpenWithListener(pty.SlaveName().c_str(), 0, 0) != 0) {
        std::fprintf(stderr, "cannot open %s\n", pty.SlavePath().c_str());
        return 1;
    }
    std::vector<double> latencies;
    char line[kLineBufferSize];
    for (int i = 0; i < 1000; ++i) {
        std::string text = "round trip " + std::to_string(i) + "\n";
        auto start = std::chrono::steady_clock::now();
        pty.Write(text);
        while (port.TakeLine(line) == 0) std::this_thread::yield();
        auto end = std::chrono::steady_clock::now();
        latencies.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("line_latency_median_us %.1f\n", latencies[latencies.size() / 2]);
    std::printf("line_latency_p99_us %.1f\n", latencies[latencies.size() * 99 / 100]);

    double before = CpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    std::printf("listener_idle_cpu_ms %.3f\n", CpuMs() - before);
    port.Close();
    return 0;
}
