// zl-sim: a simulated ZL-500-40K controller on a pseudo-terminal. Prints the slave's
// path, optionally links it as COMn in a directory (for ZL_CONFIG_PORTS), and serves
// until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "sim/ControlServer.h"
#include "sim/SimulatedController.h"

namespace {
const char kUsage[] =
    "usage: zl-sim [options]\n"
    "Serves a simulated ZL-500-40K console on a pseudo-terminal, prints the terminal's\n"
    "path and runs until interrupted (Ctrl+C, SIGTERM).\n"
    "\n"
    "  --link DIR                    also make DIR/COMn a link to it (for ZL_CONFIG_PORTS)\n"
    "  --com N                       the n of that link (default 1)\n"
    "  --firmware V                  the version it reports: 1.01, 1.02, 1.10 (default) or\n"
    "                                any other, which the program does not know\n"
    "  --baud B                      pace its output as a line of B baud (default 19200)\n"
    "  --no-pacing                   answer as fast as the terminal takes it\n"
    "  --seed N                      seed of its random temperature drift (default 1)\n"
    "  --logged-in                   start with a console session open, as after a crash\n"
    "  --silent                      never answer\n"
    "  --garble N                    garble the echo of the next N lines the program sends\n"
    "  --noise                       print a line of noise before the next answer\n"
    "  --hangup-after N              hang up after N commands in an open session\n"
    "  --hangup-after-bytes N        hang up once N bytes have arrived and been answered\n"
    "  --reboot-after N              answer the Nth command with \"Reboot...\"\n"
    "  --chatter MS                  print a line every MS milliseconds, unasked\n"
    "  --chatter-without-line-ends MS  the same, but bytes that never end a line\n"
    "  --warm D                      Temperature rises D degrees with each read of it\n"
    "  --sag MV                      SupplyVoltage falls MV millivolts with each read\n"
    "  --error-at T                  Error becomes 1 once Temperature has reached T\n"
    "  --control                     alone: serve simulators made on request by tests under\n"
    "                                wine, on a TCP port of 127.0.0.1 that it prints\n"
    "  --help                        this text\n";

void Usage() { std::fputs(kUsage, stderr); }
}  // namespace

int Serve(int argc, char** argv);

int main(int argc, char** argv) {
    try {
        if (argc == 2 && std::strcmp(argv[1], "--control") == 0) return ServeControlChannel();
        return Serve(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zl-sim: %s\n", error.what());
        return 1;
    }
}

int Serve(int argc, char** argv) {
    std::string linkDir;
    unsigned com = 1;
    unsigned baud = 19200;
    unsigned seed = 1;
    std::string firmware = "1.10";
    bool loggedIn = false, silent = false, noise = false;
    int garble = 0, hangupAfter = 0, rebootAfter = 0, chatter = 0;
    long hangupAfterBytes = -1;
    bool chatterLines = true;
    long warm = 0, sag = 0, errorAt = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> const char* {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--link") linkDir = next();
        else if (a == "--com") com = static_cast<unsigned>(std::atoi(next()));
        else if (a == "--firmware") firmware = next();
        else if (a == "--baud") baud = static_cast<unsigned>(std::atoi(next()));
        else if (a == "--no-pacing") baud = 0;
        else if (a == "--seed") seed = static_cast<unsigned>(std::atoi(next()));
        else if (a == "--logged-in") loggedIn = true;
        else if (a == "--silent") silent = true;
        else if (a == "--garble") garble = std::atoi(next());
        else if (a == "--noise") noise = true;
        else if (a == "--hangup-after") hangupAfter = std::atoi(next());
        else if (a == "--hangup-after-bytes") hangupAfterBytes = std::atol(next());
        else if (a == "--reboot-after") rebootAfter = std::atoi(next());
        else if (a == "--warm") warm = std::atol(next());
        else if (a == "--sag") sag = std::atol(next());
        else if (a == "--error-at") errorAt = std::atol(next());
        else if (a == "--chatter") chatter = std::atoi(next());
        else if (a == "--chatter-without-line-ends") {
            chatter = std::atoi(next());
            chatterLines = false;
        }
        else {
            Usage();
            return 2;
        }
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the server thread starts

    SimulatedController controller(baud, seed);
    controller.WithConsole([&](ControllerConsole& c) {
        c.SetFirmware(firmware);
        c.SetSilent(silent);
        if (loggedIn) c.StartLoggedIn();
        if (garble > 0) c.GarbleNextCommands(garble);
        if (noise) c.InjectNoise();
        if (hangupAfter > 0) c.HangUpAfterCommands(hangupAfter);
        if (rebootAfter > 0) c.RebootOnCommand(rebootAfter);
        c.SetStatusCourse(warm, sag, errorAt);
    });
    if (chatter > 0) controller.Chatter(chatter, chatterLines);
    if (hangupAfterBytes >= 0) controller.HangUpAfterBytes(hangupAfterBytes);
    if (!linkDir.empty() && !controller.LinkAs(linkDir, com)) {
        std::fprintf(stderr, "zl-sim: cannot link COM%u in %s: %s\n", com, linkDir.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", controller.SlavePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    controller.Stop();
    if (!linkDir.empty()) {
        std::string link = linkDir + "/COM" + std::to_string(com);
        std::remove(link.c_str());
    }
    return 0;
}
