// The program as started: reads its command line on QtCore alone and answers
// what needs no display (help, version, conversions, a bad color text) itself.
// The window and the pick run in huvella-gui, which this process becomes: the
// GUI libraries load only where they are used.
#include "app/CommandLine.h"
#include "app/ConsoleCommands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// huvella-gui, at its place relative to this program's own file (the same in
// the build tree and in an installation).
std::string GuiProgram()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    std::string path(self, std::size_t(length));
    return path.substr(0, path.rfind('/') + 1) + HUVELLA_GUI_FROM_BINDIR;
}

} // namespace

int main(int argc, char** argv)
{
    const auto parsed = ParseCommandLine(argc, argv);
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return ReportUsageError(*error);
    const CommandLine& line = std::get<CommandLine>(parsed);

    switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
    case CommandLine::Action::Convert:
        return RunConsoleCommand(argc, argv, line);
    case CommandLine::Action::Window:
        // A bad color opens no window, display or not.
        if (line.colorText && !CommandLineColor(*line.colorText))
            return FailureStatus;
        break;
    case CommandLine::Action::Pick:
        break;
    }

    const std::string gui = GuiProgram();
    execv(gui.c_str(), argv); // returns only when it failed
    std::fprintf(stderr, "huvella: cannot start %s: %s\n", gui.c_str(), std::strerror(errno));
    return FailureStatus;
}
