// zl-cli: the ZL-500-40K controller from a script or a production line. It speaks to
// the controller through the same core as the desktop program (the same port
// handling, login, command driver, firmware check and parameter files); where that
// posts to a window, this program's sink ignores the posts and it reads the notices
// itself. One command a run; see kCliUsage.
#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "cli/Interrupt.h"
#include "cli/Options.h"
#include "cli/Report.h"
#include "configfile/ConfigFile.h"
#include "console/Commands.h"
#include "console/Login.h"
#include "console/TrafficLog.h"
#include "platform/MessageSink.h"
#include "platform/SafeFile.h"
#include "platform/SerialPorts.h"
#include "platform/Threading.h"
#include "resources/StringTable.h"
#include "serial/SerialReadln.h"
#include "session/Connection.h"
#include "session/StatusPoll.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/ReadingFormat.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"

namespace {
// The console tells a window about every parameter it touched; here nobody looks.
class NoWindow : public MessageSink {
public:
    void Post(unsigned, std::uintptr_t, std::intptr_t) override {}
};
NoWindow window;

std::string Text(unsigned id) {
    char text[2000];
    LoadString(id, text, sizeof text);
    return text;
}

std::string Formatted(unsigned id, const char* argument) {
    std::string format = Text(id);
    std::size_t at = format.find("%s");
    return at == std::string::npos ? format : format.replace(at, 2, argument);
}

std::string Label(int index) { return std::string(ParameterDirectoryName(index)) + "/" + kParameterNames[index]; }

// "Current" (the settable one first) or "Config/Current"; -1 for no parameter.
int ParameterByName(const std::string& name) {
    std::size_t slash = name.find('/');
    std::string directory = slash == std::string::npos ? "" : name.substr(0, slash);
    std::string bare = slash == std::string::npos ? name : name.substr(slash + 1);
    for (int i = 0; i < kParameterCount; ++i) {
        if (kParameterNames[i][0] == 0 || bare != kParameterNames[i]) continue;
        if (directory.empty() || directory == ParameterDirectoryName(i)) return i;
    }
    return -1;
}

bool Settable(int index) {
    for (int n = 0; n < kFileValueCount; ++n) {
        if (FileValueIndex(n) == index) return true;
    }
    return false;
}

// Letters apart from case, for the nearest name.
int EditDistance(const std::string& a, const std::string& b) {
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            int above = row[j];
            bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Why `name` is no parameter here, with the names that are, the nearest first.
std::string NoSuchParameter(const std::string& name, bool settableOnly) {
    std::string bare = name.substr(name.find('/') == std::string::npos ? 0 : name.find('/') + 1);
    std::vector<std::string> names;
    for (int i = 0; i < kParameterCount; ++i) {
        if (kParameterNames[i][0] == 0 || (settableOnly && !Settable(i))) continue;
        if (std::find(names.begin(), names.end(), kParameterNames[i]) == names.end()) names.push_back(kParameterNames[i]);
    }
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return EditDistance(bare, a) < EditDistance(bare, b);
    });
    int index = ParameterByName(name);
    std::string why = index >= 0 ? name + " cannot be set" : "no parameter " + name;
    if (index < 0 && EditDistance(bare, names.front()) <= 3) why += " - did you mean " + names.front() + "?";
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    return why + " (" + (settableOnly ? "settable: " : "parameters: ") + list + ")";
}

std::string Stored(int index) {
    char value[kValueSize];
    GetParameterText(index, value);
    return Latin1ToUtf8(value);
}

// The lines --log writes: the console's traffic log, passwords masked.
class TrafficFile {
public:
    bool Open(const std::string& path) {
        file = std::fopen(path.c_str(), "w");
        return file != nullptr;
    }
    ~TrafficFile() {
        Drain();
        if (file) std::fclose(file);
    }
    void Drain() {
        TrafficLine lines[128];
        for (int n; (n = TakeTraffic(lines, 128)) > 0;) {
            for (int i = 0; file && i < n; ++i) {
                char text[kTrafficTextSize];
                FormatTrafficLine(lines[i], text);
                std::fprintf(file, "%s\n", text);
            }
        }
        if (file) std::fflush(file);
    }

private:
    std::FILE* file = nullptr;
};

class Run {
public:
    Run(const Options& options, Report& report, TrafficFile& traffic)
        : options(options), report(report), traffic(traffic) {}

    int Command() {
        const std::string& c = options.command;
        if (c == "ports") return Ports();
        if (c == "show") return ShowFile();
        std::string password, error;
        if (!SecretFrom(options.passwordFile, options.passwordEnv, "ta-vimek", &password, &error)) {
            return Fail(ExitUsage, error);
        }
        std::u16string newPassword;
        if (c == "passwd") {
            std::string fresh;
            if (!SecretFrom(options.newPasswordFile, options.newPasswordEnv, nullptr, &fresh, &error)) {
                return Fail(ExitUsage, "the new password: " + error + " (--new-password-file or --new-password-env)");
            }
            newPassword = Wide(fresh);
            // An empty file line or variable would leave the unit without a password.
            if (CheckNewPassword(newPassword.c_str())) {
                return Fail(ExitUsage, "the new password is empty or blank (--new-password-file or --new-password-env)");
            }
        }
        std::vector<std::pair<int, std::string>> assignments;
        if (c == "set" && !Assignments(&assignments)) return ExitUsage;
        // Names are checked before anything is sent.
        for (const std::string& name : c == "get" ? options.arguments : std::vector<std::string>()) {
            if (ParameterByName(name) < 0) return Fail(ExitUsage, NoSuchParameter(name, false));
        }
        if (c == "dump" || c == "load" || c == "diff") {
            if (options.arguments[0].size() >= kFilePathSize) return Fail(ExitFile, Text(161));
            CopyText(fileChooser.path, kFilePathSize, options.arguments[0].c_str(), kFilePathSize - 1);
        }
        // File commands fail before they connect: a file that will be refused sends
        // nothing, not even the login; a dump must have somewhere to go.
        if (c == "load" || c == "diff") {
            CheckedFile file;
            if (int code = CheckFile(&file); code != ExitOk) return code;
        }
        if (c == "dump") {
            if (ErrorCode e = CheckWritableFile(options.arguments[0].c_str())) {
                return Fail(ExitFile, options.arguments[0] + ": " + Text(143) + " - " + Reason(e));
            }
        }

        int code = Open(password);
        if (code == ExitOk) {
            if (c == "get") code = Get();
            else if (c == "info") code = Info();
            else if (c == "set") code = Set(assignments);
            else if (c == "start") code = Controller(CommandStart, 173);
            else if (c == "stop") code = Controller(CommandStop, 175);
            else if (c == "save") code = Controller(CommandSave, 177);
            else if (c == "dump") code = Dump();
            else if (c == "load") code = Load();
            else if (c == "diff") code = Diff();
            else if (c == "passwd") code = Passwd(Wide(password), newPassword);
            else if (c == "monitor") code = Monitor();
        }
        SerialPort.Close();
        traffic.Drain();
        return ControlBlock.quit ? Fail(InterruptExitCode(), "interrupted") : code;
    }

private:
    static std::u16string Wide(const std::string& text) {
        std::u16string wide;
        for (unsigned char c : text) wide += static_cast<char16_t>(c);
        return wide;
    }

    int Fail(int code, const std::string& message) {
        report.Error(message);
        return code;
    }

    // The system's reason for a file that cannot be read or written.
    static std::string Reason(ErrorCode e) {
        switch (e) {
            case kErrorFileNotFound:
            case kErrorPathNotFound:
            case kErrorDirectory: return "no such file or directory";
            case kErrorAccessDenied: return "permission denied";
            case kErrorWriteProtect: return "read-only file system";
            case kErrorFileTooLarge: return "too large for a parameter file";
            case kErrorDiskFull: return "no space left on the device";
            default: return "system error " + std::to_string(e);
        }
    }

    // The file of load, diff and show, read and checked as Open checks it; ExitOk, or
    // ExitFile with the reason.
    int CheckFile(CheckedFile* file) {
        const std::string& path = options.arguments[0];
        report.Field("file", path);
        std::string contents;
        if (ErrorCode e = ReadRegularFile(path.c_str(), kMaxConfigFileSize, &contents)) {
            return Fail(ExitFile, path + ": " + Text(147) + " - " + Reason(e));
        }
        LoadMessages messages;
        if (CheckConfigText(contents.data(), contents.size(), file, &messages)) {
            // What a file that passed still says (a missing Program group) is said by the
            // command that uses it; show has nothing else to say it.
            if (options.command == "show") AppendLoadMessages(messages);
            TakeNotices();
            return ExitOk;
        }
        AppendLoadMessages(messages);
        return Fail(ExitFile, path + ": " + TakeNotices());
    }

    int ShowFile() {
        if (options.arguments[0].size() >= kFilePathSize) return Fail(ExitFile, Text(161));
        CheckedFile file;
        int code = CheckFile(&file);
        return code == ExitOk ? Show(file) : code;
    }

    // A checked file's values, without a port.
    int Show(const CheckedFile& file) {
        for (int n = 0; n < kFileValueCount; ++n) {
            if (file.present[n]) report.Value(Label(FileValueIndex(n)), Latin1ToUtf8(file.values[n]));
        }
        return ExitOk;
    }

    // The notice the core left, line by line to standard error; its lines joined for a
    // one-line message.
    std::string TakeNotices() {
        char16_t text[kNoticeSize];
        CopyPendingNotice(text);
        ClearNotice();
        std::string all, line;
        for (const char16_t* c = text;; ++c) {
            if (*c == u'\n' || *c == 0) {
                if (!line.empty()) {
                    report.Notice(line);
                    all += (all.empty() ? "" : " - ") + line;
                }
                line.clear();
                if (*c == 0) break;
            } else if (*c < 0x80) {
                line += static_cast<char>(*c);
            } else {
                char narrow[2] = {static_cast<char>(*c <= 0xFF ? *c : '?'), 0};
                line += Latin1ToUtf8(narrow);
            }
        }
        traffic.Drain();
        return all;
    }

    // A failure of the line: the controller was lost, or the run interrupted.
    int Lost() {
        std::string notices = TakeNotices();
        if (ControlBlock.quit) return InterruptExitCode();
        return Fail(ExitSession, notices.empty() ? Text(151) : notices + " - " + Text(151));
    }

    int Ports() {
        ScanPorts();
        for (int i = 0; i < ControlBlock.portCount; ++i) {
            unsigned n = static_cast<unsigned>(ControlBlock.portList[i]);
            report.Port("COM" + std::to_string(n), DescribeComPort(n));
        }
        return ExitOk;
    }

    bool Assignments(std::vector<std::pair<int, std::string>>* out) {
        for (const std::string& a : options.arguments) {
            std::size_t equals = a.find('=');
            int index = equals == std::string::npos ? -1 : ParameterByName(a.substr(0, equals));
            if (equals == std::string::npos) {
                Fail(ExitUsage, "not NAME=VALUE: " + a);
                return false;
            }
            if (index < 0 || !Settable(index)) {
                Fail(ExitUsage, NoSuchParameter(a.substr(0, equals), true));
                return false;
            }
            std::string value = a.substr(equals + 1);
            // A control character would end the console line early: checked before anything goes out.
            for (unsigned char c : value) {
                if (c < 0x20 || c == 0x7F) {
                    Fail(ExitUsage, "a value holds a control character: " + a.substr(0, equals));
                    return false;
                }
            }
            out->emplace_back(index, value);
        }
        return true;
    }

    // Port, login and, unless the command reads everything (which begins with it), Ver.
    int Open(const std::string& password) {
        SetSessionText(SlotUserName, Wide(options.user).c_str());
        SetSessionText(SlotPassword, Wide(password).c_str());
        SetSessionText(SlotPortName, Wide(options.port).c_str());
        ControlBlock.baud = 19200;
        report.Progress("opening " + options.port);
        if (!ConnectPort()) return Fail(ExitPort, TakeNotices());
        report.Progress("logging in");
        if (!Login()) {
            NoteSilentController();
            std::string notices = TakeNotices();
            return ControlBlock.quit ? InterruptExitCode() : Fail(ExitSession, "login failed: " + notices);
        }
        if (ReadsEverything()) return ExitOk;
        report.Progress("asking for the firmware version");
        if (!CheckFirmware(&window)) return FirmwareRefused();
        TakeNotices();
        return ExitOk;
    }

    bool ReadsEverything() const {
        const std::string& c = options.command;
        return (c == "get" && options.arguments.empty()) || c == "dump" || c == "diff";
    }

    int FirmwareRefused() {
        if (ControlBlock.connectionLost || ControlBlock.quit) return Lost();
        // A firmware this program does not support: the line it gave, for the report.
        const std::string line = InfoLine();
        if (line.find("Firmware-Version") != std::string::npos) report.Field("firmware", Latin1ToUtf8(line.c_str()));
        return Fail(ExitSession, TakeNotices());
    }

    int ReadOut() {
        report.Progress("reading " + std::to_string(kReadOutCount) + " values");
        if (!ReadAllParameters(&window)) return ControlBlock.firmwareCode == 0 ? FirmwareRefused() : Lost();
        TakeNotices();
        return ExitOk;
    }

    int Get() {
        if (options.arguments.empty()) {
            int code = ReadOut();
            for (int n = 0; code == ExitOk && n < kReadOutCount; ++n) report.Value(Label(ReadOutIndex(n)), Stored(ReadOutIndex(n)));
            return code;
        }
        for (const std::string& name : options.arguments) {
            int index = ParameterByName(name);
            if (int code = Access(index, "", "not read"); code != ExitOk) return code;
        }
        return ExitOk;
    }

    // One read (empty value) or write of a parameter, its value reported; ExitOk, or
    // the code that ends the run, with `failed` naming what went wrong.
    int Access(int index, const char* value, const char* failed) {
        CommandOutcome outcome = RunCommand(CommandParameter, index, &window, value, 100);
        std::string notices = TakeNotices();
        if (ControlBlock.connectionLost || ControlBlock.quit) return Lost();
        if (outcome != CommandOutcome::Succeeded) {
            report.Refused(Label(index));
            return Fail(ExitDifferent, Label(index) + " " + failed + (notices.empty() ? "" : ": " + notices));
        }
        report.Value(Label(index), Stored(index));
        return ExitOk;
    }

    int Info() {
        report.Field("firmware", Latin1ToUtf8(InfoLine().c_str()));
        for (int index : {ParamTemperature, ParamSupplyVoltage, ParamError}) {
            RunCommand(CommandParameter, index, &window, "", 100);
            TakeNotices();
            if (ControlBlock.connectionLost || ControlBlock.quit) return Lost();
            report.Value(Label(index), Stored(index));
        }
        return ExitOk;
    }

    static std::string InfoLine() {
        char line[kSessionTextSize];
        GetSessionTextNarrow(SlotInfoLine, line);
        return line;
    }

    int Set(const std::vector<std::pair<int, std::string>>& assignments) {
        for (const auto& [index, value] : assignments) {
            report.Progress("setting " + Label(index));
            if (int code = Access(index, value.c_str(), "refused"); code != ExitOk) return code;
        }
        return ExitOk;
    }

    int Controller(CommandKind kind, unsigned done) {
        CommandOutcome outcome = RunCommand(kind, 0, &window, "", 0);
        std::string notices = TakeNotices();
        if (ControlBlock.connectionLost || ControlBlock.quit) return Lost();
        // Not even the echo came back: the unit may never have got the command.
        if (outcome == CommandOutcome::Unconfirmed) return Fail(ExitSession, Formatted(169, CommandText(kind)));
        if (outcome != CommandOutcome::Succeeded) return Fail(ExitDifferent, Text(done + 1) + (notices.empty() ? "" : ": " + notices));
        report.Done(Text(done));
        return ExitOk;
    }

    int Dump() {
        int code = ReadOut();
        if (code != ExitOk) return code;
        report.Field("file", options.arguments[0]);
        for (int n = 0; n < kReadOutCount; ++n) report.Value(Label(ReadOutIndex(n)), Stored(ReadOutIndex(n)));
        if (!WriteConfigFile()) return Fail(ExitFile, TakeNotices() + " - " + options.arguments[0]);
        return ExitOk;
    }

    int Load() {
        report.Progress("loading " + options.arguments[0]);
        LoadMessages messages;
        LoadParameterFile(&window, &messages);
        const bool lost = ControlBlock.connectionLost || ControlBlock.quit;
        const CommandOutcome save = lost ? CommandOutcome::Unanswered : RunCommand(CommandSave, 0, &window, "", 0);
        // Each value not taken is named once, with why; the reader's other messages are
        // notices.
        for (int i = 0; i < messages.count; ++i) {
            const LoadMessages::Line& line = messages.lines[i];
            if (line.name) {
                report.Refused(line.name, Formatted(line.id, line.name));
            } else {
                AppendNotice(line.id);
            }
        }
        std::string notices = TakeNotices();
        report.Number("sent", messages.sent);
        report.Number("taken", messages.sent - messages.refused);
        if (lost || ControlBlock.connectionLost || ControlBlock.quit) {
            if (ControlBlock.quit) return InterruptExitCode();
            return Fail(ExitSession, Text(151) + " - " + std::to_string(messages.sent - messages.refused) + " of " +
                                         std::to_string(messages.present) + " values taken");
        }
        if (!messages.accepted) return Fail(ExitFile, options.arguments[0] + ": " + notices);
        if (save == CommandOutcome::Unconfirmed) return Fail(ExitSession, Formatted(169, CommandText(CommandSave)));
        if (messages.refused > 0) return Fail(ExitDifferent, std::to_string(messages.refused) + " values refused");
        return ExitOk;
    }

    // The file's values as the reader checks them, beside the controller's.
    class Collected : public FileValueTarget {
    public:
        CommandOutcome Take(int index, const char* value) override {
            values[index] = value;
            present.insert(index);
            return CommandOutcome::Succeeded;
        }
        std::string values[kParameterCount];
        std::set<int> present;
    };

    int Diff() {
        int code = ReadOut();
        if (code != ExitOk) return code;
        Collected file;
        LoadMessages messages;
        ReadConfigPath(options.arguments[0].c_str(), file, &messages);
        // Checked before the port was opened; changed since, it is refused now.
        if (!messages.accepted) {
            AppendLoadMessages(messages);
            return Fail(ExitFile, options.arguments[0] + ": " + TakeNotices());
        }
        int differences = 0;
        for (int n = 0; n < kFileValueCount; ++n) {
            int index = FileValueIndex(n);
            if (!file.present.count(index)) continue;
            std::string controller = Stored(index);
            if (file.values[index] == controller) continue;
            report.Difference(Label(index), Latin1ToUtf8(file.values[index].c_str()), controller);
            ++differences;
        }
        return differences == 0 ? ExitOk : ExitDifferent;
    }

    int Passwd(const std::u16string& current, const std::u16string& fresh) {
        SetSessionText(SlotCurrentPassword, current.c_str());
        SetSessionText(SlotNewPassword, fresh.c_str());
        SetSessionText(SlotNewPasswordAgain, fresh.c_str());
        report.Progress("changing the password");
        PasswordChange outcome = RunPasswordChange();
        std::string notices = TakeNotices();
        if (ControlBlock.quit) return InterruptExitCode();
        switch (outcome) {
            case PasswordChange::Changed:
                report.Done(Text(185));
                return ExitOk;
            case PasswordChange::Refused:
                return Fail(ExitDifferent, notices);
            case PasswordChange::Unconfirmed:
                report.Notice(Text(189));
                return Fail(ExitSession, Text(151) + " - " + Text(189));
            case PasswordChange::Unanswered:
                break;
        }
        return Fail(ExitSession, Text(151));
    }

    // The status polls of the desktop program, each reading printed as it comes.
    int Monitor() {
        report.NoticesAsTheyCome();
        if (options.csv) PrintLine(kReadingsCsvHeader);
        const auto pause = std::chrono::milliseconds(static_cast<long>(options.intervalSeconds * 1000));
        long taken = 0;
        for (std::size_t next = 0;; next = (next + 1) % std::size(kPolledParameters)) {
            Reading reading;
            const bool kept = PollStatus(kPolledParameters[next], &window, &reading);
            TakeNotices();
            if (ControlBlock.connectionLost || ControlBlock.quit) return Lost();
            if (kept) {
                PrintLine(options.csv ? CsvLine(reading) : options.json ? JsonLine(reading) : TextLine(reading));
                if (++taken == options.count) return ExitOk;
            }
            // Sleeps in short steps, so that Ctrl+C ends the run at once.
            for (const auto end = std::chrono::steady_clock::now() + pause;
                 !ControlBlock.quit && std::chrono::steady_clock::now() < end;) {
                SleepMs(20);
            }
            if (ControlBlock.quit) return Lost();
        }
    }

    // A line for a pipe or tee to see at once.
    static void PrintLine(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    const Options& options;
    Report& report;
    TrafficFile& traffic;
};
}  // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kCliUsage, stdout);
            return ExitOk;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zl-cli %s\n", Text(112).c_str());
            return ExitOk;
        }
    }
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "zl-cli: %s (see zl-cli --help)\n", error.c_str());
        return ExitUsage;
    }
    // Before any thread starts, so that every thread leaves the signals to the watcher.
    InterruptWatch interrupts;

    FillFileChooser();
    Report report(options.command, options.json, options.quiet);
    TrafficFile traffic;
    if (!options.logFile.empty() && !traffic.Open(options.logFile)) {
        std::fprintf(stderr, "zl-cli: cannot write the log %s\n", options.logFile.c_str());
        return ExitUsage;
    }
    int code = Run(options, report, traffic).Command();
    report.Print();
    return code;
}
