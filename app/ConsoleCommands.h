#pragma once
// What the program does with no display: usage errors, help, version and
// conversions, on QtCore alone so that it starts fast over ssh and in scripts.
#include "HSLUtils/HSLUtils.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct CommandLine;
struct UsageError;

// The exit status of a usage error, a bad color text or a failure.
constexpr int FailureStatus = 2;

// Writes a result to stdout, all of it or it fails: a result cut short (a full
// disk, a closed pipe, a closed stdout) is a failure, with errno telling why.
bool WriteOut(const QByteArray& bytes);

// `text` on one line: line breaks and other control characters shown as
// escapes (\n, \t, \x1b), so that an argument echoed in a message can neither
// break it into lines nor steer the terminal.
QString Escaped(const QString& text);

// One line on stderr, ending in a pointer to --help; returns FailureStatus.
int ReportUsageError(const UsageError& error);

// Gives each of the standard descriptors 0, 1 and 2 that the caller left
// closed a stand-in that fails every write as a closed one does (/dev/null,
// open only to reading), before the program opens anything: a descriptor it
// opens later (the toolkit's event descriptors) would otherwise become its
// stdout, and a result written there would be lost while the program said it
// succeeded.
void KeepStandardDescriptorsClosedToWriting();

// The color a command-line text names, read as the hex box reads it; nullopt
// after "The color value is incorrect !" on stderr.
std::optional<HSLUtils::TColor> CommandLineColor(const QString& text);

// Help, version and --convert, under a QCoreApplication; the exit status.
int RunConsoleCommand(int& argc, char** argv, const CommandLine& line);
