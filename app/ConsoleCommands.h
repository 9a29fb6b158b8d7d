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
// disk, a closed pipe) is a failure.
bool WriteOut(const QByteArray& bytes);

// One line on stderr and a pointer to --help; returns FailureStatus.
int ReportUsageError(const UsageError& error);

// The color a command-line text names, read as the hex box reads it; nullopt
// after "The color value is incorrect !" on stderr.
std::optional<HSLUtils::TColor> CommandLineColor(const QString& text);

// Help, version and --convert, under a QCoreApplication; the exit status.
int RunConsoleCommand(int& argc, char** argv, const CommandLine& line);
