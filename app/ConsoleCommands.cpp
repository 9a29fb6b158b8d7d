#include "app/ConsoleCommands.h"

#include "app/CommandLine.h"
#include "frmMain/ColorFormat.h"
#include "frmMain/ColorText.h"
#include "platform/ClassicSystemColors.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString Escaped(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            shown += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            shown += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            shown += QLatin1String("\\r");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            shown += c.unicode() <= 0xFF ? QString::asprintf("\\x%02x", c.unicode())
                                         : QString::asprintf("\\u%04x", c.unicode());
        else
            shown += c;
    }
    return shown;
}

int ReportUsageError(const UsageError& error)
{
    std::fprintf(stderr, "huvella: %s Try 'huvella --help'.\n", qPrintable(Escaped(error.message)));
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
    std::fprintf(stderr, "huvella: cannot write the result: %s\n", std::strerror(errno));
    return FailureStatus;
}

bool WriteOut(const QByteArray& bytes)
{
    errno = 0;
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
               std::size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

void KeepStandardDescriptorsClosedToWriting()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor: the one closed. A system without
        // /dev/null has its root folder, which no write goes to either.
        if (open("/dev/null", O_RDONLY) < 0)
            open("/", O_RDONLY | O_DIRECTORY);
    }
}
