// The program as started: reads its command line on QtCore alone and answers
// what needs no display (help, version, conversions, a bad color text) itself.
// The window and the pick run in the module huvella-gui.so, loaded only for
// them: the GUI libraries load only where they are used.
#include "app/CommandLine.h"
#include "app/ConsoleCommands.h"
#include "app/GuiModule.h"

#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

// huvella-gui.so, at its place relative to this program's own file (the same
// in the build tree and in an installation).
std::string GuiModule()
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
    KeepStandardDescriptorsClosedToWriting();
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

    // Bound lazily, as the libraries of a program are at its start.
    const std::string module = GuiModule();
    void* gui = dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL);
    const auto run =
        gui != nullptr ? reinterpret_cast<GuiMainFunction>(dlsym(gui, GuiMainName)) : nullptr;
    if (run == nullptr) {
        std::fprintf(stderr, "huvella: cannot load %s: %s\n", module.c_str(), dlerror());
        return FailureStatus;
    }
    return run(&argc, argv, &line); // the module stays loaded until the program ends
}
