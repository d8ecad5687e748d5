#pragma once
// What one zl-cli command found, printed once at its end on standard output: aligned
// text for people, or one JSON object for scripts (--json). The controller's own
// lines and the program's notices go to standard error at the end, each once: those
// that the one line saying why a command failed already holds are not repeated.
// Texts are UTF-8.
#include <string>
#include <utility>
#include <vector>

#include "state/TextOps.h"  // Latin1ToUtf8, for the controller's text

class Report {
public:
    Report(std::string command, bool json, bool quiet);

    void Value(const std::string& name, const std::string& value);
    void Field(const std::string& key, const std::string& value);
    void Number(const std::string& key, long number);
    // A value not taken; `why` is the line the text output shows for it.
    void Refused(const std::string& name, const std::string& why = "");
    void Difference(const std::string& name, const std::string& inFile, const std::string& inController);
    void Port(const std::string& name, const std::string& device);
    void Done(const std::string& what);  // "Started", "Password changed", ...
    void Notice(const std::string& line);
    // From now on notices go to standard error when they come, not kept for the end
    // (a run that lasts until it is interrupted).
    void NoticesAsTheyCome() { noticesNow = true; }
    void Error(const std::string& message);
    // Progress for a person watching (standard error, only when it is a terminal).
    void Progress(const std::string& what) const;

    void Print() const;

private:
    void PrintDiagnostics() const;

    std::string command;
    bool json;
    bool quiet;
    bool noticesNow = false;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<std::pair<std::string, long>> numbers;
    std::vector<std::string> refused;
    std::vector<std::string> refusedWhy;
    std::vector<std::vector<std::string>> differences;
    std::vector<std::pair<std::string, std::string>> ports;
    std::vector<std::string> done;
    std::vector<std::string> notices;
    std::string error;
};
