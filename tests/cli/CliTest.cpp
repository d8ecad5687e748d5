// zl-cli end to end: the program itself, run as a child process against the simulator
// in this process, linked as COM1; the simulator's transcript shows the exact traffic.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "serial/Serial.h"
#include "sim/SimulatedController.h"
#include "sim/WinePort.h"
#include "support/ReadOut.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {
struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
    // The last line on standard error: the one that says why a command failed.
    std::string LastError() const {
        std::string e = err;
        while (!e.empty() && e.back() == '\n') e.pop_back();
        return e.substr(e.rfind('\n') == std::string::npos ? 0 : e.rfind('\n') + 1);
    }
};

// The Windows zl-cli.exe under wine instead of the Linux program, when ZL_CLI_WINE
// names it (scripts/test windows): the same assertions hold for both. Its COM ports are
// mapped in the wine prefix, and ZL_WINE_PRELOAD lets a pty pass for a port there.
const char* WindowsProgram() { return std::getenv("ZL_CLI_WINE"); }

// Test programs that run at once share one wine prefix: each takes its own COM numbers
// (ZL_CLI_COM_BASE + n).
unsigned ComNumberFor(unsigned n) {
    const char* base = std::getenv("ZL_CLI_COM_BASE");
    return (base ? static_cast<unsigned>(std::atoi(base)) : 0) + n;
}
std::string Com(unsigned n) { return "COM" + std::to_string(ComNumberFor(n)); }

// Makes `unit` the controller on Com(n) for the program under test.
bool Link(SimulatedController& unit, const fs::path& dir, unsigned n) {
    n = ComNumberFor(n);
    if (!unit.LinkAs(dir.string(), n)) return false;
    if (!WindowsProgram()) return true;
    return MapWineComPort(unit.SlavePath(), n);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What the program printed or logged as text: a Windows program ends its text lines
// with CR LF.
std::string TextOf(const fs::path& path) {
    std::string text = ReadAll(path);
    if (!WindowsProgram()) return text;
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
    }
    return lines;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zl-cli-" + std::to_string(getpid()));
        fs::create_directories(dir);
        ASSERT_TRUE(Link(sim, dir, 1));
        setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Starts zl-cli with `args`; Wait() collects it.
    pid_t Start(const std::vector<std::string>& args) {
        std::vector<std::string> all = {ZL_CLI};
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) env.push_back(*e);
        if (const char* exe = WindowsProgram()) {
            all = {"wine", exe};
            if (const char* preload = std::getenv("ZL_WINE_PRELOAD")) env.push_back(std::string("LD_PRELOAD=") + preload);
        }
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, (dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&files, 2, (dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t child = -1;
        posix_spawnp(&child, argv[0], &files, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        return child;
    }
    CliResult Wait(pid_t child) {
        CliResult r;
        int status = 0;
        waitpid(child, &status, 0);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = TextOf(dir / "out");
        r.err = TextOf(dir / "err");
        return r;
    }
    CliResult RunCli(const std::vector<std::string>& args) { return Wait(Start(args)); }

    // The non-empty lines the controller received.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& line : sim.ReceivedLines()) {
            if (!line.empty()) commands.push_back(line);
        }
        return commands;
    }
    static std::vector<std::string> LoginThen(std::vector<std::string> after) {
        std::vector<std::string> all = {"user", "ta-vimek"};
        all.insert(all.end(), after.begin(), after.end());
        return all;
    }
    // A run after another finds the console still open (closing the port logs nobody
    // out) and switches user, as the desktop program does.
    static std::vector<std::string> SwitchUserThen(std::vector<std::string> after) {
        std::vector<std::string> all = {"su user", "ta-vimek", "cd /"};
        all.insert(all.end(), after.begin(), after.end());
        return all;
    }
    std::string Value(const char* directory, const char* name) {
        std::string value;
        sim.WithConsole([&](ControllerConsole& c) { value = c.Value(directory, name); });
        return value;
    }

    fs::path dir;
    SimulatedController sim;
};
}  // namespace

TEST_F(Cli, usage_errors_say_so_in_one_line_with_code_2) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--port", Com(1)},
        {"--port", Com(1), "--bogus", "get"},
        {"--port", Com(1), "frobnicate"},
        {"--port", Com(1), "--password", "x", "get"},
        {"get"},
        {"--port", Com(1), "set"},
        {"--port", Com(1), "set", "Temperature=3"},
        {"--port", Com(1), "set", "Mode=1\nFactorySettings"},
        {"--port", Com(1), "dump"},
        {"--port", Com(1), "--password-env", "ZL_NO_SUCH_VARIABLE", "get"},
        // The console would ask for the name again and take the password there in clear.
        {"--port", Com(1), "--user", "", "get"},
        {"--port", Com(1), "--user", "  ", "passwd"},
        // An empty new password (a file holding only a line end, an empty variable).
        {"--port", Com(1), "--new-password-file", (dir / "empty-line").string(), "passwd"},
        {"--port", Com(1), "--new-password-env", "ZL_TEST_EMPTY", "passwd"},
        {"--port", Com(1), "--new-password-env", "ZL_TEST_BLANK", "passwd"},
        // monitor's options belong to it, and take sound values.
        {"--port", Com(1), "--csv", "get"},
        {"--port", Com(1), "info", "--count", "3"},
        {"--port", Com(1), "monitor", "--csv", "--json"},
        {"--port", Com(1), "monitor", "--count", "0"},
        {"--port", Com(1), "monitor", "--count=-1"},
        {"--port", Com(1), "monitor", "--interval", "0"},
        {"--port", Com(1), "monitor", "--interval", "2s"},
        {"--port", Com(1), "monitor", "Temperature"},
    };
    std::ofstream(dir / "empty-line") << "\n";
    setenv("ZL_TEST_EMPTY", "", 1);
    setenv("ZL_TEST_BLANK", "  \t", 1);
    for (const auto& args : cases) {
        CliResult r = RunCli(args);
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << shown << ": " << r.err;
        EXPECT_EQ(r.err.rfind("zl-cli: ", 0), 0u) << shown;
    }
    EXPECT_TRUE(sim.Received().empty());  // nothing went to the controller
    for (const char* help : {"--help", "-h"}) {
        CliResult r = RunCli({"get", help});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out.rfind("usage: zl-cli", 0), 0u);
        for (const char* option : {"--quiet", "--json", "--log FILE", "--user NAME", "143 terminated"}) {
            EXPECT_NE(r.out.find(option), std::string::npos) << option;
        }
    }
    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "zl-cli 1.0\n");
}

// A name that is no parameter is named as such, with the nearest one first, before
// anything is sent.
TEST_F(Cli, an_unknown_parameter_name_suggests_the_nearest) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"get", "Curent"}, "zl-cli: no parameter Curent - did you mean Current? (parameters: Current, "},
        {{"set", "cycletime=5"}, "zl-cli: no parameter cycletime - did you mean CycleTime? (settable: CycleTime, "},
        {{"set", "Temperature=3"}, "zl-cli: Temperature cannot be set (settable: "},
    };
    for (const auto& [args, start] : cases) {
        std::vector<std::string> all = {"--port", Com(1)};
        all.insert(all.end(), args.begin(), args.end());
        CliResult r = RunCli(all);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.LastError().rfind(start, 0), 0u) << r.err;
    }
    EXPECT_TRUE(sim.Received().empty());
}

// Options before or after the command, as "--name value" or "--name=value".
TEST_F(Cli, options_may_follow_the_command_and_take_their_value_after_an_equals_sign) {
    CliResult r = RunCli({"get", "TimeOn", "--quiet", "--port=" + Com(1)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Config/TimeOn  100\n");  // --quiet keeps the result
    r = RunCli({"get", "TimeOn", "--json", "--port=" + Com(1)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "{\"command\":\"get\",\"values\":{\"Config/TimeOn\":100},\"refused\":[],\"notices\":[]}\n");
}

TEST_F(Cli, ports_lists_the_com_name_and_device) {
    if (WindowsProgram()) GTEST_SKIP() << "on Windows the device names come from the system's registry";
    CliResult r = RunCli({"--json", "ports"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("{\"port\":\"COM1\",\"path\":\"" + sim.SlavePath() + "\",\"description\":\"linked as COM1\"}"),
              std::string::npos)
        << r.out;
}

TEST_F(Cli, get_reads_what_the_desktop_program_reads_and_nothing_more) {
    CliResult r = RunCli({"--port", Com(1), "get"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Commands(), LoginThen(kReadOut));
    EXPECT_NE(r.out.find("Config/Current        1000\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Status/SupplyVoltage  24.0\n"), std::string::npos);

    sim.ClearTranscript();
    r = RunCli({"--port", Com(1), "--json", "get", "TimeOn", "Status/Current"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Commands(), SwitchUserThen({"Ver", "/Config/TimeOn ", "/Status/Current "}));
    // Plain numbers of the controller's are JSON numbers.
    EXPECT_EQ(r.out, "{\"command\":\"get\",\"values\":{\"Config/TimeOn\":100,\"Status/Current\":0},"
                     "\"refused\":[],\"notices\":[]}\n");
}

TEST_F(Cli, set_writes_each_value_and_stops_at_the_first_refusal) {
    CliResult r = RunCli({"--port", Com(1), "set", "Current=5000", "Config/Edge=1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Commands(), LoginThen({"Ver", "/Config/Current 5000", "/Config/Edge 1"}));
    EXPECT_EQ(Value("Config", "Current"), "5000");

    sim.ClearTranscript();
    r = RunCli({"--port", Com(1), "--json", "set", "Delay=2", "Current=6000"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Commands(), SwitchUserThen({"Ver", "/Config/Delay 2"}));
    EXPECT_EQ(r.LastError(), "zl-cli: Config/Delay refused: Value not accepted! - Limits: [5...1000000] - "
                             "Take notice of further parameter-depended limits");
    EXPECT_NE(r.out.find("\"refused\":[\"Config/Delay\"]"), std::string::npos) << r.out;
    EXPECT_EQ(Value("Config", "Current"), "5000");
}

TEST_F(Cli, start_stop_and_save_run_the_controllers_commands) {
    bool first = true;
    for (const char* command : {"start", "stop", "save"}) {
        sim.ClearTranscript();
        CliResult r = RunCli({"--port", Com(1), command});
        EXPECT_EQ(r.code, 0) << command << ": " << r.err;
        std::string name = command;
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        EXPECT_EQ(Commands(), first ? LoginThen({"Ver", name}) : SwitchUserThen({"Ver", name}));
        first = false;
    }
    sim.WithConsole([](ControllerConsole& c) { c.SetValue("Config", "TimeOn", 5000); });
    CliResult r = RunCli({"--port", Com(1), "start"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.LastError().rfind("zl-cli: Start refused: Failure!", 0), 0u) << r.err;
}

// Silence right after Stop, Start or Save is the controller's success; but with not
// even the echo back, the unit may never have had the command: zl-cli says so.
TEST_F(Cli, a_command_whose_echo_never_came_is_no_success) {
    unsigned com = 2;
    for (const char* command : {"start", "stop", "save"}) {
        SimulatedController unit;
        ASSERT_TRUE(Link(unit, dir, com));
        // Login 17 bytes, Ver 5, the empty line, then three letters of the command.
        unit.HangUpAfterBytes(26);
        CliResult r = RunCli({"--port", Com(com++), command});
        std::string name = command;
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        EXPECT_EQ(r.code, 4) << command << ": " << r.err;
        EXPECT_EQ(r.LastError(), "zl-cli: " + name + ": no answer from the controller");
    }
}

// dump writes what the desktop program's Save writes for the same values; loading it
// into another unit sets exactly those values, with the traffic of Open.
TEST_F(Cli, dump_then_load_carries_a_units_settings_to_another) {
    sim.WithConsole([](ControllerConsole& c) {
        c.SetValue("Config", "Current", 5000);
        c.SetValue("Config", "TimeOn", 1000);
        c.SetValue("Config", "CycleTime", 20000);
        c.SetValue("Config", "Edge", 1);
        c.SetValue("Config", "ReadyOut", 2);
    });
    fs::path file = dir / "golden.xml";
    CliResult r = RunCli({"--port", Com(1), "dump", file.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Commands(), LoginThen(kReadOut));
    std::string dumped = ReadAll(file);
    EXPECT_NE(dumped.find("            <Current>5000</Current>\r\n"), std::string::npos) << dumped;
    EXPECT_NE(dumped.find("<DutyCycle>5.00</DutyCycle>"), std::string::npos);

    SimulatedController other;
    ASSERT_TRUE(Link(other, dir, 2));
    r = RunCli({"--port", Com(2), "load", file.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> expected = {"user", "ta-vimek", "Ver", "Stop", "/System/Echo 0", "/System/Baud 19200",
                                         "/Config/Mode 0", "/Config/Current 5000", "/Config/Delay 5",
                                         "/Config/TimeOn 1000", "/Config/CycleTime 20000", "/Config/TriggerSource 0",
                                         "/Config/Edge 1", "/Config/TriggerOut 0", "/Config/ReadyOut 2",
                                         "/Config/AutoStart 0", "Ver", "Save"};
    std::vector<std::string> received;
    for (const std::string& line : other.ReceivedLines()) {
        if (!line.empty()) received.push_back(line);
    }
    EXPECT_EQ(received, expected);
    other.WithConsole([](ControllerConsole& c) {
        EXPECT_EQ(c.Value("Config", "Current"), "5000");
        EXPECT_EQ(c.Value("Config", "ReadyOut"), "2");
    });

    // A refused file (or a typo in a batch script) sends nothing at all, not even the
    // login: the unit is not left stopped.
    fs::path refused = dir / "refused.xml";
    std::ofstream(refused) << "not a parameter file";
    std::string tooLong = ReadAll(file);
    tooLong.replace(tooLong.find("<Current>5000</Current>"), 23, "<Current>" + std::string(90, '5') + "</Current>");
    std::ofstream(dir / "too-long.xml", std::ios::binary) << tooLong;
    const std::pair<fs::path, std::string> refusals[] = {
        {refused, "Unable to read XML-File"},
        {dir / "missing.xml", "Unable to read XML-File - no such file or directory"},
        {dir / "too-long.xml", "Current: value too long"},
    };
    for (const auto& [path, why] : refusals) {
        other.ClearTranscript();
        r = RunCli({"--port", Com(2), "load", path.string()});
        EXPECT_EQ(r.code, 5);
        EXPECT_EQ(r.LastError(), "zl-cli: " + path.string() + ": " + why);
        EXPECT_EQ(other.Received(), "");
    }
}

// File commands fail before they connect, with the system's reason; show needs no port.
TEST_F(Cli, file_commands_fail_before_they_connect_and_show_needs_no_port) {
    fs::path missing = dir / "no-such-folder" / "unit.xml";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"dump", missing.string()}, missing.string() + ": Unable to save File! - no such file or directory"},
        {{"load", missing.string()}, missing.string() + ": Unable to read XML-File - no such file or directory"},
        {{"diff", missing.string()}, missing.string() + ": Unable to read XML-File - no such file or directory"},
        {{"show", missing.string()}, missing.string() + ": Unable to read XML-File - no such file or directory"},
    };
    for (const auto& [args, why] : cases) {
        std::vector<std::string> all = {"--port", Com(1)};
        all.insert(all.end(), args.begin(), args.end());
        CliResult r = RunCli(all);
        EXPECT_EQ(r.code, 5) << args[0];
        EXPECT_EQ(r.err, "zl-cli: " + why + "\n");
    }
    EXPECT_TRUE(sim.Received().empty());

    fs::path file = dir / "golden.xml";
    ASSERT_EQ(RunCli({"--port", Com(1), "dump", file.string()}).code, 0);
    sim.ClearTranscript();
    CliResult r = RunCli({"show", file.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Config/Current        1000\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("System/Baud           19200\n"), std::string::npos);
    EXPECT_TRUE(sim.Received().empty());
}

// A line lost in the middle of a load: the report counts what went out and was taken,
// names the value in flight once, and waits for no further value.
TEST_F(Cli, a_load_cut_short_says_how_far_it_came) {
    fs::path file = dir / "golden.xml";
    ASSERT_EQ(RunCli({"--port", Com(1), "dump", file.string()}).code, 0);
    SimulatedController other;
    ASSERT_TRUE(Link(other, dir, 2));
    // Login 17 bytes, Ver 5, Stop 6, Echo 16, Baud 20, Mode 16: the line goes during Current.
    other.HangUpAfterBytes(90);
    auto start = std::chrono::steady_clock::now();
    CliResult r = RunCli({"--port", Com(2), "--json", "load", file.string()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(r.code, 4) << r.err;
    EXPECT_EQ(r.LastError(), "zl-cli: Connection Lost! - 3 of 12 values taken");
    EXPECT_NE(r.out.find("\"sent\":4,\"taken\":3,\"refused\":[\"Current\"]"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.find("Current"), std::string::npos) << r.err;
}

TEST_F(Cli, diff_names_exactly_the_changed_values_and_sends_none) {
    fs::path file = dir / "unit.xml";
    ASSERT_EQ(RunCli({"--port", Com(1), "dump", file.string()}).code, 0);
    CliResult same = RunCli({"--port", Com(1), "diff", file.string()});
    EXPECT_EQ(same.code, 0) << same.err;
    EXPECT_NE(same.out.find("no differences"), std::string::npos);

    std::string text = ReadAll(file);
    text.replace(text.find("<Current>1000</Current>"), 23, "<Current>7000</Current>");
    text.replace(text.find("<Edge>0</Edge>"), 14, "<Edge>1</Edge>");
    std::ofstream(file, std::ios::binary) << text;
    sim.ClearTranscript();
    CliResult changed = RunCli({"--port", Com(1), "--json", "diff", file.string()});
    EXPECT_EQ(changed.code, 1);
    EXPECT_NE(changed.out.find("\"differences\":[{\"name\":\"Config/Current\",\"file\":7000,\"controller\":1000},"
                               "{\"name\":\"Config/Edge\",\"file\":1,\"controller\":0}]"),
              std::string::npos)
        << changed.out;
    EXPECT_EQ(Commands(), SwitchUserThen(kReadOut));  // reads only
}

TEST_F(Cli, passwd_takes_the_new_password_from_the_environment) {
    setenv("ZL_TEST_NEW_PASSWORD", "Secret1", 1);
    CliResult r = RunCli({"--port", Com(1), "--new-password-env", "ZL_TEST_NEW_PASSWORD", "passwd"});
    EXPECT_EQ(r.code, 0) << r.err;
    sim.WithConsole([](ControllerConsole& c) { EXPECT_EQ(c.Password(), "Secret1"); });
    fs::path secret = dir / "password";
    std::ofstream(secret) << "Secret1\n";
    EXPECT_EQ(RunCli({"--port", Com(1), "--password-file", secret.string(), "get", "Mode"}).code, 0);
    r = RunCli({"--port", Com(1), "get", "Mode"});  // the old one no more
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.LastError(), "zl-cli: login failed: Access denied! - Not connected!");
    EXPECT_EQ(r.err, "zl-cli: login failed: Access denied! - Not connected!\n");  // said once
}

// The unit takes a new password on its repetition: a line lost after that is no refusal.
TEST_F(Cli, a_password_change_cut_short_says_the_unit_may_use_the_new_password) {
    setenv("ZL_TEST_NEW_PASSWORD", "Secret1", 1);
    // Login 17 bytes, Ver 5, two empty lines, passwd, the current password, the new one twice.
    sim.HangUpAfterBytes(56);
    CliResult r = RunCli({"--port", Com(1), "--new-password-env", "ZL_TEST_NEW_PASSWORD", "passwd"});
    EXPECT_EQ(r.code, 4) << r.err;
    EXPECT_EQ(r.LastError(), "zl-cli: Connection Lost! - Password change not confirmed - the controller may "
                             "already use the new password");
    sim.WithConsole([](ControllerConsole& c) { EXPECT_EQ(c.Password(), "Secret1"); });
}

TEST_F(Cli, a_missing_port_and_a_pulled_line_give_their_codes) {
    CliResult r = RunCli({"--port", "COM98", "get"});
    EXPECT_EQ(r.code, 3);
    // Linux knows COM1 to COM96 by its table; on Windows any COMn may exist.
    EXPECT_EQ(r.LastError(), WindowsProgram() ? "zl-cli: Unable to open COM-port - COM98: no such device"
                                              : "zl-cli: Unable to open COM-port - COM98: not a port name (COM1 to COM96, "
                                                "or a device path)");

    // Windows names its ports COMn and nothing else.
    r = RunCli({"--port", "LPT1", "get"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.LastError(), WindowsProgram() ? "zl-cli: Unable to open COM-port - LPT1: not a port name (COM and its "
                                                "number, as COM5)"
                                              : "zl-cli: Unable to open COM-port - LPT1: not a port name (COM1 to COM96, "
                                                "or a device path)");

    sim.HangUpAfterBytes(120);  // inside the read-out
    r = RunCli({"--port", Com(1), "get"});
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.LastError(), "zl-cli: Connection Lost!");
}

TEST_F(Cli, info_and_the_log_of_the_traffic_with_the_password_masked) {
    fs::path log = dir / "traffic.log";
    CliResult r = RunCli({"--port", Com(1), "--json", "--log", log.string(), "info"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"firmware\":\"Firmware-Version ZL-500-40K 1.10\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Status/SupplyVoltage\":24.0"), std::string::npos);
    std::string traffic = TextOf(log);
    EXPECT_NE(traffic.find(" > user\n"), std::string::npos) << traffic;
    EXPECT_NE(traffic.find(" > ********\n"), std::string::npos);
    EXPECT_NE(traffic.find(" < <VAL> SupplyVoltage 24000\n"), std::string::npos);
    EXPECT_EQ(traffic.find("ta-vimek"), std::string::npos);

    // A firmware this program does not support: its line still goes into the report.
    sim.WithConsole([](ControllerConsole& c) { c.SetFirmware("2.00"); });
    r = RunCli({"--port", Com(1), "info"});
    EXPECT_EQ(r.code, 4);
    EXPECT_NE(r.out.find("firmware  Firmware-Version ZL-500-40K 2.00\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "zl-cli: Connected to newer Firmware - use updated version of ZL-Config\n");
}

// The desktop program's polls, a reading a line as each comes: a warming unit's
// temperature climbs, its supply sags and its error appears; a pulled line ends the
// run with 4 after the readings it took.
TEST_F(Cli, monitor_prints_each_poll_as_it_comes) {
    // Each read finds it 2 degrees warmer; at 37 the unit reports error 1.
    sim.WithConsole([](ControllerConsole& c) { c.SetStatusCourse(2, 100, 37); });
    sim.ClearTranscript();
    CliResult r = RunCli({"--port", Com(1), "monitor", "--count", "4", "--csv", "--interval", "0.1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Commands(), LoginThen({"Ver", "/Status/Temperature ", "/Status/SupplyVoltage ", "/Status/Error ",
                                     "/Status/Temperature "}));
    // The times, ISO 8601 in UTC, are the only thing that varies.
    const std::regex time("(^|\n)\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ,");
    EXPECT_EQ(std::regex_replace(r.out, time, "$1T,"),
              "time,temperature_c,supply_voltage_v,error,event\n"
              "T,35,,,\nT,,24.0,,\nT,,,1,\nT,37,,,\n")
        << r.out;
    EXPECT_EQ(r.err, "");

    r = RunCli({"--port", Com(1), "monitor", "--count=2", "--json", "--interval=0.1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(std::regex_replace(r.out, std::regex("\"time\":\"[-0-9T:]+Z\""), "\"time\":T"),
              "{\"time\":T,\"temperature\":39}\n{\"time\":T,\"supply_voltage\":23.9}\n")
        << r.out;

    r = RunCli({"--port", Com(1), "monitor", "--count", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "
                                                   "Temperature \\[\u00b0C\\]: 41\n")))
        << r.out;

    // The login, Ver and one poll are answered, then the line is gone.
    sim.WithConsole([](ControllerConsole& c) { c.HangUpAfterCommands(5); });
    r = RunCli({"--port", Com(1), "monitor", "--csv", "--interval", "0.1"});
    EXPECT_EQ(r.code, 4);
    // The readings taken before the line went are printed; on a loaded machine the
    // simulator may answer one more poll before its hang-up takes hold.
    const std::string taken = std::regex_replace(r.out, time, "$1T,");
    const std::string first = "time,temperature_c,supply_voltage_v,error,event\nT,43,,,\n";
    EXPECT_TRUE(taken == first || taken == first + "T,,23.8,,\n") << r.out;
    EXPECT_EQ(r.LastError(), "zl-cli: Connection Lost!");
}

// Ctrl+C, a request to terminate and a hang-up of the terminal each end a run within
// about a second and give the port back; so does a burst of them (the program must
// never wait for itself while taking one).
TEST_F(Cli, an_interrupt_ends_the_run_and_releases_the_port) {
    std::vector<std::vector<int>> cases = {
        {SIGINT}, {SIGTERM}, {SIGHUP}, std::vector<int>(60, 0),
    };
    // wine hands the Windows program SIGINT as Ctrl+C; the other two end wine itself
    // (Windows has neither: a closed console window is its way).
    if (WindowsProgram()) cases = {{SIGINT}, std::vector<int>(60, SIGINT)};
    for (const std::vector<int>& signals : cases) {
        sim.ClearTranscript();
        pid_t child = Start({"--port", Com(1), "get"});
        ASSERT_TRUE(sim.WaitReceived("/Config/Mode", 30000));
        auto sent = std::chrono::steady_clock::now();
        int n = 0;
        for (int signal : signals) kill(child, signal != 0 ? signal : (n++ % 2 ? SIGINT : SIGTERM));
        CliResult r = Wait(child);
        SCOPED_TRACE(signals.size() > 1 ? "burst" : strsignal(signals[0]));
        EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(2));
        // 128 + the signal taken first: 130 for Ctrl+C, 143 for a request to terminate (of
        // a burst, the system may hand over either first).
        if (signals.size() == 1) {
            EXPECT_EQ(r.code, 128 + signals[0]);
        } else {
            EXPECT_TRUE(r.code == 128 + SIGINT || r.code == 128 + SIGTERM) << r.code;
        }
        CSerial port;
        EXPECT_EQ(port.Open(Widen(sim.SlavePath()).c_str(), 0, 0, false), 0);  // free again
    }
}

// Paths and arguments in another encoding still make valid JSON: a byte that is not
// UTF-8 stands for its Latin-1 character.
TEST_F(Cli, json_is_valid_utf8_whatever_the_bytes_of_a_path) {
    if (WindowsProgram()) GTEST_SKIP() << "wine turns the arguments' bytes into the Windows code page itself";
    const std::string name = std::string("unit-") + "\xff\xfe" + "-\xc3\xa9-\xe2\x82" + ".xml";
    CliResult r = RunCli({"--port", Com(1), "--json", "load", (dir / name).string()});
    EXPECT_EQ(r.code, 5);
    EXPECT_NE(r.out.find("unit-\xc3\xbf\xc3\xbe-\xc3\xa9-\xc3\xa2\xc2\x82.xml"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\xff"), std::string::npos);
}
