#pragma once
// The module that runs the window and the pick, huvella-gui.so: huvella loads
// it for them, so that a conversion on the command line loads no GUI library.
struct CommandLine;

// Its entry point: runs what `line` asks for (the window, or a pick) with the
// program's arguments and returns the exit status.
extern "C" int HuvellaGuiMain(int* argc, char** argv, const CommandLine* line);
using GuiMainFunction = decltype(&HuvellaGuiMain);
inline constexpr char GuiMainName[] = "HuvellaGuiMain";
