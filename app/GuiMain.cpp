// huvella-gui.so: the window and the pick, run for huvella with the command
// line it has read.
#include "app/CommandLine.h"
#include "app/GuiCommands.h"
#include "app/GuiModule.h"

extern "C" __attribute__((visibility("default"))) int HuvellaGuiMain(int* argc, char** argv,
                                                                     const CommandLine* line)
{
    if (line->action == CommandLine::Action::Pick)
        return RunPick(*argc, argv, *line);
    return RunWindow(*argc, argv, *line);
}
