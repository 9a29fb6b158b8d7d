#include "app/ConsoleCommands.h"

#include "app/CommandLine.h"
#include "frmMain/ColorFormat.h"
#include "frmMain/ColorText.h"
#include "platform/ClassicSystemColors.h"

#include <QCoreApplication>
#include <cstdio>

int ReportUsageError(const UsageError& error)
{
    std::fprintf(stderr, "huvella: %s\nTry 'huvella --help' for more information.\n",
                 qPrintable(error.message));
    return FailureStatus;
}

std::optional<HSLUtils::TColor> CommandLineColor(const QString& text)
{
    const std::optional<HSLUtils::TColor> color = ParseHtmlColor(text);
    if (!color)
        std::fputs("The color value is incorrect !\n", stderr);
    return color;
}

int RunConsoleCommand(int& argc, char** argv, const CommandLine& line)
{
    QCoreApplication app(argc, argv);
    QByteArray out;
    switch (line.action) {
    case CommandLine::Action::Help:
        out = line.helpText.toLocal8Bit();
        break;
    case CommandLine::Action::Version:
        out = QByteArrayLiteral("Huvella " HUVELLA_VERSION "\n");
        break;
    case CommandLine::Action::Convert: {
        const std::optional<HSLUtils::TColor> color = CommandLineColor(line.convertText);
        if (!color)
            return FailureStatus;
        out = FormatColor(*color, line.format, ClassicSystemColors());
        break;
    }
    case CommandLine::Action::Window:
    case CommandLine::Action::Pick:
        return FailureStatus; // not a console command
    }
    if (WriteOut(out))
        return 0;
    std::fputs("huvella: cannot write the result\n", stderr);
    return FailureStatus;
}

bool WriteOut(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
               std::size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}
