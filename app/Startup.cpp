#include "app/Startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "resources/StringTable.h"

namespace {
const char kNoDisplay[] =
    "zl-config: no display to show the program on (DISPLAY is not set and there is no Wayland "
    "session); start it in a desktop session\n";

QString Version() {
    char version[16];
    LoadString(112, version, sizeof version);
    return QString::fromLatin1(version);
}

// While the application is created: Qt's complaints of a display that cannot be
// opened become our one line and exit code 1, not its several lines and an abort.
void QuietStartup(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "zl-config: cannot open the display %s (is it running, and may you use it?)\n",
                 display ? display : "of this session");
    std::_Exit(1);
}
}  // namespace

std::optional<int> HandleCommandLine(const QStringList& arguments, bool reportUnknown) {
    QCoreApplication::setApplicationVersion(Version());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configuration program for the ZL-500-40K LED flash controller."));
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    bool parsed = parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("zl-config"));
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("zl-config %s\n", qPrintable(Version()));
        return 0;
    }
    if (reportUnknown && (!parsed || !parser.positionalArguments().isEmpty())) {
        QString error = parsed ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first())
                               : parser.errorText();
        std::fprintf(stderr, "zl-config: %s (see zl-config --help)\n", qPrintable(error));
        return 2;
    }
    return std::nullopt;
}

QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

DisplayGuard::DisplayGuard() { qInstallMessageHandler(QuietStartup); }

DisplayGuard::~DisplayGuard() { qInstallMessageHandler(nullptr); }

std::optional<int> DisplayGuard::Missing() const {
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    std::fputs(kNoDisplay, stderr);
    return 1;
}
