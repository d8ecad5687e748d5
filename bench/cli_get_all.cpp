// Times `zl-cli get` (login and the read-out of all values) as a whole process against
// the simulator paced at 19200 and at 2400 baud, and prints it beside the protocol's
// floor for the same exchanges, and their ratio. One figure a line as "name value".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "ProtocolFloor.h"
#include "sim/SimulatedController.h"

extern char** environ;

namespace {
double TimeGetAll(unsigned baud, double* floor) {
    std::string dir = (std::filesystem::temp_directory_path() / ("zl-bench-cli-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    SimulatedController sim(baud);
    sim.LinkAs(dir, 1);
    setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);
    char program[] = ZL_CLI;
    char port[] = "--port", com[] = "COM1", quiet[] = "--quiet", get[] = "get";
    char* argv[] = {program, port, com, quiet, get, nullptr};
    auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    posix_spawn(&child, program, nullptr, nullptr, argv, environ);
    int status = 0;
    waitpid(child, &status, 0);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    *floor = ReadOutFloorMs(baud, ReadOutExchanges(sim));
    std::filesystem::remove_all(dir);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1.0;
}
}  // namespace

int main() {
    for (unsigned baud : {19200u, 2400u}) {
        double floor = 0;
        double ms = TimeGetAll(baud, &floor);
        std::string suffix = baud == 19200 ? "" : "_" + std::to_string(baud);
        std::printf("cli_get_all_ms%s %.0f\n", suffix.c_str(), ms);
        std::printf("cli_get_all_floor_ms%s %.0f\n", suffix.c_str(), floor);
        std::printf("cli_get_all_ratio%s %.3f\n", suffix.c_str(), ms / floor);
    }
    return 0;
}
