// zl-sim: a simulated ZL-500-40K controller on a pseudo-terminal. Prints the slave's
// path, optionally links it as COMn in a directory (for ZL_CONFIG_PORTS), and serves
// until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "sim/SimulatedController.h"

namespace {
void Usage() {
    std::fprintf(stderr,
                 "usage: zl-sim [--link DIR] [--com N] [--firmware 1.10] [--baud 19200]\n"
                 "              [--no-pacing] [--seed N] [--logged-in] [--silent]\n"
                 "              [--garble N] [--noise] [--hangup-after N] [--hangup-after-bytes N]\n"
                 "              [--reboot-after N]\n"
                 "              [--chatter MS] [--chatter-without-line-ends MS]\n");
}
}  // namespace

int Serve(int argc, char** argv);

int main(int argc, char** argv) {
    try {
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
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> const char* {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
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
