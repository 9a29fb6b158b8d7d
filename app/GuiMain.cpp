// huvella-gui: the window and the pick, started by huvella with the same
// command line.
#include "app/CommandLine.h"
#include "app/ConsoleCommands.h"
#include "app/GuiCommands.h"

int main(int argc, char** argv)
{
    const auto parsed = ParseCommandLine(argc, argv);
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return ReportUsageError(*error);
    const CommandLine& line = std::get<CommandLine>(parsed);

    switch (line.action) {
    case CommandLine::Action::Window:
        return RunWindow(argc, argv, line);
    case CommandLine::Action::Pick:
        return RunPick(argc, argv, line);
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
    case CommandLine::Action::Convert:
        break;
    }
    return RunConsoleCommand(argc, argv, line);
}
