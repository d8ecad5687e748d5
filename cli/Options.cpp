#include "cli/Options.h"

#include <cstdlib>
#include <fstream>
#include <set>

const char kCliUsage[] =
    "usage: zl-cli [--port COMn|PATH] [--user NAME] [--password-file FILE | --password-env VAR]\n"
    "              [--json] [--quiet] [--log FILE] COMMAND ...\n"
    "  ports                      the ports found, COM name and device\n"
    "  info                       firmware line, temperature, supply voltage, error\n"
    "  get [NAME...]              read parameters (by default all the desktop program reads)\n"
    "  set NAME=VALUE...          write, each read back; stops at the first refusal\n"
    "  start | stop | save        the controller's commands\n"
    "  dump FILE.xml              read everything and write a parameter file\n"
    "  load FILE.xml              as Open in the desktop program: the file checked, then Stop,\n"
    "                             the values, Ver, Save (a refused file sends nothing)\n"
    "  diff FILE.xml              the file against the controller, nothing sent\n"
    "  passwd                     change the password: the current one is the login password,\n"
    "                             the new one from --new-password-file FILE or --new-password-env VAR\n"
    "NAME is a parameter, as Current or Config/Current. The default user and password are the\n"
    "controller's own. Exit codes: 0 success, 1 a difference or a refused value, 2 usage,\n"
    "3 port not opened, 4 login failed or controller lost, 5 file refused.\n";

namespace {
const std::set<std::string> kCommands = {"ports", "info", "get", "set", "start", "stop",
                                         "save", "dump", "load", "diff", "passwd"};
}  // namespace

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) != 0) break;
        auto value = [&](std::string* into) {
            if (i + 1 >= argc) {
                *error = a + " needs a value";
                return false;
            }
            *into = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "--port") ok = value(&options->port);
        else if (a == "--user") ok = value(&options->user);
        else if (a == "--password-file") ok = value(&options->passwordFile);
        else if (a == "--password-env") ok = value(&options->passwordEnv);
        else if (a == "--new-password-file") ok = value(&options->newPasswordFile);
        else if (a == "--new-password-env") ok = value(&options->newPasswordEnv);
        else if (a == "--log") ok = value(&options->logFile);
        else if (a == "--json") options->json = true;
        else if (a == "--quiet") options->quiet = true;
        else if (a == "--password" || a == "--new-password") {
            *error = a + " is not taken: a password on the command line shows in the process list";
            return false;
        } else {
            *error = "unknown option " + a;
            return false;
        }
        if (!ok) return false;
    }
    if (i >= argc) {
        *error = "no command given";
        return false;
    }
    options->command = argv[i++];
    for (; i < argc; ++i) options->arguments.push_back(argv[i]);
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
    bool wantsFile = c == "dump" || c == "load" || c == "diff";
    if ((wantsFile && n != 1) || (c == "set" && n == 0) ||
        ((c == "ports" || c == "info" || c == "start" || c == "stop" || c == "save" || c == "passwd") && n != 0)) {
        *error = "wrong arguments for " + c;
        return false;
    }
    // An empty name makes the console ask for it again, and the password would go to
    // that prompt in clear.
    if (c != "ports" && options->user.find_first_not_of(" \t") == std::string::npos) {
        *error = "an empty user name is not taken (--user NAME)";
        return false;
    }
    if (c != "ports" && options->port.empty()) {
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
