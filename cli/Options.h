#pragma once
// zl-cli's command line: the options, the command and its arguments, and where the
// passwords come from (a file or the environment, never the command line).
#include <string>
#include <vector>

// Exit codes, for scripts.
enum ExitCode : int {
    ExitOk = 0,
    ExitDifferent = 1,  // diff found a difference, or the controller refused something
    ExitUsage = 2,
    ExitPort = 3,      // the port could not be opened
    ExitSession = 4,   // login failed, or the controller was lost
    ExitFile = 5,      // a parameter file refused or unwritable
    // An interrupted run ends with 128 + the signal: 130 for Ctrl+C, 143 for a request
    // to terminate (InterruptExitCode).
};

struct Options {
    std::string port;
    std::string user = "user";
    std::string passwordFile;
    std::string passwordEnv;
    std::string newPasswordFile;
    std::string newPasswordEnv;
    bool json = false;
    bool quiet = false;
    std::string logFile;
    // monitor
    bool csv = false;
    double intervalSeconds = 2;  // between polls, as the desktop program polls
    long count = 0;              // readings to take; 0 until interrupted
    std::string command;
    std::vector<std::string> arguments;
};

extern const char kCliUsage[];

// False with a one-line `error` for a command line that is not right. Options may
// stand before or after the command, as "--name value" or "--name=value"; after "--"
// everything is an argument.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The first line of a file or the value of an environment variable, for a password;
// false with `error` when there is none. Without either option: `fallback`.
bool SecretFrom(const std::string& file, const std::string& env, const char* fallback, std::string* secret,
                std::string* error);
