#pragma once
// What the program does before its window system starts: the command line (--help and
// --version print and end it) and a check that there is a display to show it on, so
// that a missing one is said in one line instead of Qt's abort.
#include <QStringList>
#include <optional>

// The exit code when the command line ends the program (help and version print; with
// `reportUnknown`, an option or argument the program does not know is an error),
// nothing when it should go on. Before the application exists Qt's own options
// (-platform, -style, ...) are still on the line, so only help and version count then.
std::optional<int> HandleCommandLine(const QStringList& arguments, bool reportUnknown);

QStringList Arguments(int argc, char** argv);

// Says in one line on standard error, and gives the exit code, when no display can be
// opened; nothing when Qt can start. Lasts while the application is being created.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    std::optional<int> Missing() const;
};
