#include "cli/Options.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <vector>

const char kCliUsage[] =
    "usage: zl-cli [OPTION...] COMMAND [ARGUMENT...]   (options may also follow the command)\n"
    "\n"
    "commands:\n"
    "  ports                      the ports found, COM name and device\n"
    "  info                       firmware line, temperature, supply voltage, error\n"
    "  get [NAME...]              read parameters (by default all the desktop program reads)\n"
    "  set NAME=VALUE...          write, each read back; stops at the first refusal\n"
    "  start | stop | save        the controller's commands\n"
    "  dump FILE.xml              read everything and write a parameter file\n"
    "  load FILE.xml              as Open in the desktop program: the file checked, then Stop,\n"
    "                             the values, Ver, Save (a refused file sends nothing)\n"
    "  diff FILE.xml              the file against the controller, nothing sent\n"
    "  show FILE.xml              a parameter file's values, checked as Open checks them (no port)\n"
    "  passwd                     change the password: the current one is the login password\n"
    "  monitor                    temperature, supply voltage and error, one reading a line as the\n"
    "                             desktop program polls them, until Ctrl+C or --count readings\n"
    "\n"
    "options (--name VALUE or --name=VALUE):\n"
    "  --port COMn|PATH           the port (needed by every command but ports)\n"
    "  --user NAME                the console user (default: user)\n"
    "  --password-file FILE       the login password: the first line of FILE\n"
    "  --password-env VAR         the login password: the environment variable VAR\n"
    "                             (without either, the controller's default)\n"
    "  --new-password-file FILE   passwd: the new password, the first line of FILE\n"
    "  --new-password-env VAR     passwd: the new password, the environment variable VAR\n"
    "  --json                     print the result as one JSON object\n"
    "  --quiet                    no progress lines and no notices (the result is printed)\n"
    "  --log FILE                 write the console traffic to FILE, passwords masked\n"
    "  --interval SECONDS         monitor: the pause between two polls (default 2)\n"
    "  --count N                  monitor: stop after N readings\n"
    "  --csv                      monitor: CSV under a header (--json: one JSON object a line)\n"
    "  -h, --help                 this text\n"
    "  --version                  the program's version\n"
    "\n"
    "NAME is a parameter, as Current or Config/Current. Passwords never go on the command line.\n"
    "Exit codes: 0 success, 1 a difference or a refused value, 2 usage, 3 port not opened,\n"
    "4 login failed or controller lost, 5 file refused, 130 interrupted (Ctrl+C),\n"
    "143 terminated.\n";

namespace {
const std::set<std::string> kCommands = {"ports", "info", "get", "set", "start", "stop",
                                         "save", "dump", "load", "diff", "show", "passwd", "monitor"};

// A number of seconds: digits with an optional fraction, at least a tenth, at most a day.
bool Seconds(const std::string& text, double* seconds) {
    char* end = nullptr;
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != 0 || value < 0.1 || value > 86400) return false;
    *seconds = value;
    return true;
}

// A count of readings: 1 or more, digits only.
bool Count(const std::string& text, long* count) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *count = std::atol(text.c_str());
    return *count > 0;
}
}  // namespace

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    struct Valued {
        const char* name;
        std::string Options::*field;
    };
    const Valued valued[] = {
        {"--port", &Options::port},
        {"--user", &Options::user},
        {"--password-file", &Options::passwordFile},
        {"--password-env", &Options::passwordEnv},
        {"--new-password-file", &Options::newPasswordFile},
        {"--new-password-env", &Options::newPasswordEnv},
        {"--log", &Options::logFile},
    };
    std::vector<std::string> positional;
    std::string monitorOption;  // the last option only monitor takes
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (optionsEnd || a.size() < 2 || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnd = true;
            continue;
        }
        // "--name=value" or "--name value".
        std::size_t equals = a.find('=');
        std::string name = a.substr(0, equals);
        if (name == "--password" || name == "--new-password") {
            *error = name + " is not taken: a password on the command line shows in the process list";
            return false;
        }
        if (name == "--json" || name == "--quiet" || name == "--csv") {
            if (equals != std::string::npos) {
                *error = name + " takes no value";
                return false;
            }
            (name == "--json" ? options->json : name == "--csv" ? options->csv : options->quiet) = true;
            continue;
        }
        if (name == "--interval" || name == "--count") {
            std::string value;
            if (equals != std::string::npos) {
                value = a.substr(equals + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                *error = name + " needs a value";
                return false;
            }
            const bool taken = name == "--interval" ? Seconds(value, &options->intervalSeconds)
                                                    : Count(value, &options->count);
            if (!taken) {
                *error = name == "--interval" ? "--interval takes seconds from 0.1 to 86400: " + value
                                              : "--count takes a whole number of 1 or more: " + value;
                return false;
            }
            monitorOption = name;
            continue;
        }
        const Valued* option = nullptr;
        for (const Valued& v : valued) {
            if (name == v.name) option = &v;
        }
        if (!option) {
            *error = "unknown option " + name;
            return false;
        }
        if (equals != std::string::npos) {
            options->*(option->field) = a.substr(equals + 1);
        } else if (i + 1 < argc) {
            options->*(option->field) = argv[++i];
        } else {
            *error = name + " needs a value";
            return false;
        }
    }
    if (positional.empty()) {
        *error = "no command given";
        return false;
    }
    options->command = positional.front();
    options->arguments.assign(positional.begin() + 1, positional.end());
    if (!kCommands.count(options->command)) {
        *error = "unknown command " + options->command;
        return false;
    }
    if (!options->passwordFile.empty() && !options->passwordEnv.empty()) {
        *error = "give --password-file or --password-env, not both";
        return false;
    }
    const std::string& c = options->command;
    std::size_t n = options->arguments.size();
    bool wantsFile = c == "dump" || c == "load" || c == "diff" || c == "show";
    if (options->csv) monitorOption = "--csv";
    if (c != "monitor" && !monitorOption.empty()) {
        *error = monitorOption + " is an option of monitor";
        return false;
    }
    if (options->csv && options->json) {
        *error = "give --csv or --json, not both";
        return false;
    }
    if ((wantsFile && n != 1) || (c == "set" && n == 0) ||
        ((c == "ports" || c == "info" || c == "start" || c == "stop" || c == "save" || c == "passwd" ||
          c == "monitor") && n != 0)) {
        *error = "wrong arguments for " + c;
        return false;
    }
    // An empty name makes the console ask for it again, and the password would go to
    // that prompt in clear.
    const bool portless = c == "ports" || c == "show";
    if (!portless && options->user.find_first_not_of(" \t") == std::string::npos) {
        *error = "an empty user name is not taken (--user NAME)";
        return false;
    }
    if (!portless && options->port.empty()) {
        *error = "no port given (--port COMn or a device path)";
        return false;
    }
    return true;
}

bool SecretFrom(const std::string& file, const std::string& env, const char* fallback, std::string* secret,
                std::string* error) {
    if (!file.empty()) {
        std::ifstream in(file);
        if (!in || !std::getline(in, *secret)) {
            *error = "cannot read a password from " + file;
            return false;
        }
        if (!secret->empty() && secret->back() == '\r') secret->pop_back();
        return true;
    }
    if (!env.empty()) {
        const char* value = std::getenv(env.c_str());
        if (!value) {
            *error = "the environment has no " + env;
            return false;
        }
        *secret = value;
        return true;
    }
    if (!fallback) {
        *error = "no password given";
        return false;
    }
    *secret = fallback;
    return true;
}
