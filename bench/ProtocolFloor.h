#pragma once
// The least time the console protocol allows for a login and the read-out of Ver and
// the sixteen parameters, at a given baud rate: the program's own pauses, and of the
// bytes it must have before it goes on, the wire time its pauses cannot hide.
//
// The pauses: 100 ms after every line written; 100 ms of quiet (ten 10 ms rounds) for
// every input drain, and one round more for each line a drain takes. A login attempt
// writes five lines and drains once, taking the first empty line's echo; an exchange
// (Ver or a read) drains, writes an empty line and the command, and drains again.
// The bytes that must arrive: the echo of the command and the answer line, which
// travel during the 100 ms after the command is written; what they take beyond those
// 100 ms on the wire (10 bits a byte) adds to the floor, up to the next of the
// reader's 10 ms looks for a line.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#ifndef _WIN32
#include "sim/SimulatedController.h"  // a Linux program: Windows builds ask zl-sim
#endif

inline double WireMs(std::size_t bytes, unsigned baud) { return static_cast<double>(bytes) * 10.0 * 1000.0 / baud; }

inline double LoginFloorMs() { return 5 * 100.0 + 100.0 + 10.0; }

// One exchange: the command line sent and the answer line the controller prints
// (both without their line ends).
inline double ExchangeFloorMs(unsigned baud, const std::string& command, const std::string& answer) {
    std::size_t mustArrive = command.size() + 2 + answer.size() + 2;  // echo and answer, CR LF each
    double late = std::max(0.0, WireMs(mustArrive, baud) - 100.0);
    return 4 * 100.0 + std::ceil(late / 10.0) * 10.0;
}

struct Exchange {
    std::string command;
    std::string answer;
};

inline double ReadOutFloorMs(unsigned baud, const std::vector<Exchange>& exchanges) {
    double floor = LoginFloorMs();
    for (const Exchange& e : exchanges) floor += ExchangeFloorMs(baud, e.command, e.answer);
    return floor;
}

// Ver and the sixteen reads in the order of a read-out, with the answers of a
// controller whose values `valueOf(directory, name)` gives: the simulator in this
// process, or behind zl-sim --control for a Windows program.
template <typename ValueOf>
std::vector<Exchange> ReadOutExchanges(ValueOf valueOf) {
    struct Read {
        const char* directory;
        const char* name;
    };
    static constexpr Read kReads[] = {
        {"Status", "Temperature"}, {"Status", "SupplyVoltage"}, {"Status", "Error"}, {"Config", "Mode"},
        {"Config", "Current"},     {"Config", "Delay"},         {"Config", "TimeOn"}, {"Config", "CycleTime"},
        {"Config", "TriggerSource"}, {"Config", "Edge"},        {"Config", "TriggerOut"}, {"Config", "ReadyOut"},
        {"Config", "AutoStart"},   {"System", "Echo"},          {"System", "Baud"},   {"Status", "Current"},
    };
    std::vector<Exchange> exchanges = {{"Ver", "Firmware-Version ZL-500-40K 1.10"}};
    for (const Read& r : kReads) {
        exchanges.push_back({std::string("/") + r.directory + "/" + r.name + " ",
                             std::string("<VAL> ") + r.name + " " + valueOf(r.directory, r.name)});
    }
    return exchanges;
}

#ifndef _WIN32
inline std::vector<Exchange> ReadOutExchanges(SimulatedController& sim) {
    std::vector<Exchange> exchanges;
    sim.WithConsole([&](ControllerConsole& c) {
        exchanges = ReadOutExchanges([&](const char* directory, const char* name) { return c.Value(directory, name); });
    });
    return exchanges;
}
#endif
