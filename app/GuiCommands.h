#pragma once
// What the program does on a display: the window, and one pick with no window.
// Each takes the parsed command line whole: the picker mode and any later
// option reach the window and the pick from here.
struct CommandLine;
class TForm1;
class QString;

// The window, on the command line's color when it names one; runs until the
// window closes and returns the exit status.
int RunWindow(int& argc, char** argv, const CommandLine& line);

// Puts `text` into the hex box as a paste would (the box keeps 7 characters)
// and translates it as the "Translate HTML color value to Color" button does.
void OpenOnColor(TForm1& form, const QString& text);

// One pick: 0 with the color on stdout, 1 when the user cancels, 2 with a
// reason on stderr when it cannot be done.
int RunPick(int& argc, char** argv, const CommandLine& line);
