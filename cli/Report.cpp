#include "cli/Report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cli/Terminal.h"

namespace {
// A value as JSON: a number where the controller's text is a plain one ("1000",
// "-5", "24.0"), else a string.
std::string JsonValue(const std::string& text) {
    std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
    std::size_t digits = i;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    bool number = digits > i && !(text[i] == '0' && digits - i > 1);  // JSON has no leading zeros
    if (number && digits < text.size()) {
        std::size_t fraction = digits + 1;
        while (fraction < text.size() && std::isdigit(static_cast<unsigned char>(text[fraction]))) ++fraction;
        number = text[digits] == '.' && fraction > digits + 1 && fraction == text.size();
    }
    return number ? text : JsonQuoted(text);
}

std::string List(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + JsonQuoted(items[i]);
    return out + "]";
}

// Rows of two columns, the first padded to the widest.
void PrintColumns(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    for (const auto& row : rows) std::printf("%-*s  %s\n", static_cast<int>(width), row.first.c_str(), row.second.c_str());
}
}  // namespace

Report::Report(std::string command, bool json, bool quiet) : command(std::move(command)), json(json), quiet(quiet) {}

void Report::Value(const std::string& name, const std::string& value) { values.emplace_back(name, value); }
void Report::Field(const std::string& key, const std::string& value) { fields.emplace_back(key, value); }
void Report::Number(const std::string& key, long number) { numbers.emplace_back(key, number); }
void Report::Refused(const std::string& name, const std::string& why) {
    refused.push_back(name);
    refusedWhy.push_back(why.empty() ? name + ": not taken" : why);
}
void Report::Port(const std::string& name, const std::string& device) { ports.emplace_back(name, device); }
void Report::Done(const std::string& what) { done.push_back(what); }

void Report::Difference(const std::string& name, const std::string& inFile, const std::string& inController) {
    differences.push_back({name, inFile, inController});
}

void Report::Notice(const std::string& line) {
    if (!noticesNow) {
        notices.push_back(line);
    } else if (!quiet) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
}

void Report::Error(const std::string& message) { error = message; }

// Standard error: the notices that the failure does not already tell, then the failure
// in one line. Each text once.
void Report::PrintDiagnostics() const {
    for (const std::string& line : quiet ? std::vector<std::string>() : notices) {
        if (error.find(line) == std::string::npos) std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!error.empty()) std::fprintf(stderr, "zl-cli: %s\n", error.c_str());
}

void Report::Progress(const std::string& what) const {
    if (!quiet && ErrorStreamIsTerminal()) std::fprintf(stderr, "zl-cli: %s...\n", what.c_str());
}

void Report::Print() const {
    PrintDiagnostics();
    // monitor printed its readings as they came.
    if (command == "monitor") return;
    if (json) {
        std::string out = "{\"command\":" + JsonQuoted(command);
        for (const auto& [key, value] : fields) out += "," + JsonQuoted(key) + ":" + JsonQuoted(value);
        for (const auto& [key, number] : numbers) out += "," + JsonQuoted(key) + ":" + std::to_string(number);
        if (!values.empty() || command == "get" || command == "info" || command == "set" || command == "dump" ||
            command == "show") {
            out += ",\"values\":{";
            for (std::size_t i = 0; i < values.size(); ++i) {
                out += (i ? "," : "") + JsonQuoted(values[i].first) + ":" + JsonValue(values[i].second);
            }
            out += "}";
        }
        if (command == "diff") {
            out += ",\"differences\":[";
            for (std::size_t i = 0; i < differences.size(); ++i) {
                const auto& d = differences[i];
                out += std::string(i ? "," : "") + "{\"name\":" + JsonQuoted(d[0]) + ",\"file\":" + JsonValue(d[1]) +
                       ",\"controller\":" + JsonValue(d[2]) + "}";
            }
            out += "]";
        }
        if (command == "ports") {
            out += ",\"ports\":[";
            for (std::size_t i = 0; i < ports.size(); ++i) {
                // "/dev/ttyUSB0 - FTDI FT232R USB UART": the device, and what it is.
                const std::string& device = ports[i].second;
                std::size_t dash = device.find(" - ");
                out += std::string(i ? "," : "") + "{\"port\":" + JsonQuoted(ports[i].first) +
                       ",\"path\":" + JsonQuoted(device.substr(0, dash)) + ",\"description\":" +
                       JsonQuoted(dash == std::string::npos ? std::string() : device.substr(dash + 3)) + "}";
            }
            out += "]";
        }
        if (!done.empty()) out += ",\"done\":" + List(done);
        out += ",\"refused\":" + List(refused) + ",\"notices\":" + List(notices);
        if (!error.empty()) out += ",\"error\":" + JsonQuoted(error);
        std::printf("%s}\n", out.c_str());
        return;
    }
    PrintColumns(fields);
    PrintColumns(values);
    PrintColumns(ports);
    for (const auto& [key, number] : numbers) std::printf("%s %ld\n", key.c_str(), number);
    for (const auto& d : differences) {
        std::printf("%s: file %s, controller %s\n", d[0].c_str(), d[1].c_str(), d[2].c_str());
    }
    if (command == "diff" && differences.empty() && error.empty()) std::printf("no differences\n");
    for (const std::string& line : refusedWhy) std::printf("%s\n", line.c_str());
    for (const std::string& line : done) std::printf("%s\n", line.c_str());
}
