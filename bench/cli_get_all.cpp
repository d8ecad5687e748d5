// Times `zl-cli get` (login and the read-out of all values) as a whole process against
// the simulator paced at 19200 and at 2400 baud, and prints it beside the protocol's
// floor for the same exchanges, and their ratio. One figure a line as "name value".
// With ZL_CLI_WINE naming zl-cli.exe (and WINEPREFIX and ZL_WINE_PRELOAD set, as
// scripts/test windows sets them), the Windows program under wine is timed beside it
// in the same run ("cli_get_all_wine_...").
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
#include "sim/WinePort.h"

extern char** environ;

namespace {
// The program to time: the Linux zl-cli, or zl-cli.exe under wine.
struct Program {
    std::vector<std::string> command;
    std::vector<std::string> extraEnvironment;
    bool wine;
};

double TimeGetAll(const Program& program, unsigned baud, double* floor) {
    std::string dir = (std::filesystem::temp_directory_path() / ("zl-bench-cli-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    SimulatedController sim(baud);
    sim.LinkAs(dir, 1);
    setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);
    if (program.wine && !MapWineComPort(sim.SlavePath(), 1)) return -1.0;
    std::vector<std::string> args = program.command;
    for (const char* a : {"--port", "COM1", "--quiet", "get"}) args.push_back(a);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = program.extraEnvironment;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), envp.data());
    int status = 0;
    waitpid(child, &status, 0);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    *floor = ReadOutFloorMs(baud, ReadOutExchanges(sim));
    std::filesystem::remove_all(dir);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1.0;
}
}  // namespace

int main() {
    std::vector<std::pair<std::string, Program>> programs = {{"", {{ZL_CLI}, {}, false}}};
    if (const char* exe = std::getenv("ZL_CLI_WINE")) {
        Program wine{{"wine", exe}, {}, true};
        if (const char* preload = std::getenv("ZL_WINE_PRELOAD")) wine.extraEnvironment.push_back(std::string("LD_PRELOAD=") + preload);
        programs.push_back({"_wine", wine});
    }
    for (const auto& [name, program] : programs) {
        for (unsigned baud : {19200u, 2400u}) {
            double floor = 0;
            double ms = TimeGetAll(program, baud, &floor);
            std::string suffix = name + (baud == 19200 ? "" : "_" + std::to_string(baud));
            std::printf("cli_get_all_ms%s %.0f\n", suffix.c_str(), ms);
            std::printf("cli_get_all_floor_ms%s %.0f\n", suffix.c_str(), floor);
            std::printf("cli_get_all_ratio%s %.3f\n", suffix.c_str(), ms / floor);
        }
    }
    return 0;
}
