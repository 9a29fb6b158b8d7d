#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace {

std::optional<PickerMode> PickerModeNamed(const QString& name)
{
    if (name == QLatin1String("auto"))
        return PickerMode::Auto;
    if (name == QLatin1String("x11") || name == QLatin1String("live")) // its former name
        return PickerMode::X11;
    if (name == QLatin1String("portal"))
        return PickerMode::Portal;
    if (name == QLatin1String("wlroots"))
        return PickerMode::Wlroots;
    if (name == QLatin1String("screencast"))
        return PickerMode::ScreenCast;
    if (name == QLatin1String("screenshot"))
        return PickerMode::Screenshot;
    return std::nullopt;
}

} // namespace

std::variant<CommandLine, UsageError> ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts, mixes and picks screen colors: HTML hex, decimal, RGB and HSL."));
    // Qt's own help option would offer --help-all for Qt's options, which this
    // program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    parser.addOption(help);
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(version);
    const QCommandLineOption color(QStringLiteral("color"),
                                   QStringLiteral("Open the window on the color TEXT."),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption convert(
        QStringLiteral("convert"),
        QStringLiteral("Print the color TEXT in FORMAT and exit; needs no display."),
        QStringLiteral("TEXT"));
    const QCommandLineOption pick(
        QStringLiteral("pick"),
        QStringLiteral("Pick one pixel of the desktop, print its color in FORMAT and exit."));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("What --convert and --pick print: hex (default), dec, rgb, hsl or report."),
        QStringLiteral("FORMAT"));
    const QCommandLineOption picker(
        QStringLiteral("picker"),
        QStringLiteral(
            "How to read the desktop: auto (default), x11, portal, wlroots, screencast or "
            "screenshot."),
        QStringLiteral("MODE"));
    parser.addOptions({color, convert, pick, format, picker});

    if (!parser.parse(arguments))
        return UsageError{parser.errorText()};
    if (!parser.positionalArguments().isEmpty())
        return UsageError{QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser.positionalArguments().constFirst())};

    CommandLine line;
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        // The usage line names the program as users type it, not as it was started.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')),
                     QStringLiteral("Usage: huvella [--color TEXT | --convert TEXT | --pick] "
                                    "[--format FORMAT] [--picker MODE]"));
        line.helpText = text + QStringLiteral("\nSee huvella(1) for the formats, the exit "
                                              "status and examples.\n");
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        return line;
    }

    // The options that take one value take it once: a second value would be
    // a second color or format that is silently dropped.
    for (const QCommandLineOption* once : {&color, &convert, &format, &picker}) {
        if (parser.values(*once).size() > 1)
            return UsageError{QStringLiteral("Option '%1' given more than once.")
                                  .arg(once->names().constFirst())};
    }
    const int actions =
        int(parser.isSet(color)) + int(parser.isSet(convert)) + int(parser.isSet(pick));
    if (actions > 1)
        return UsageError{
            QStringLiteral("Options --color, --convert and --pick exclude each other.")};

    if (parser.isSet(format)) {
        const std::optional<ColorFormat> named = ColorFormatNamed(parser.value(format));
        if (!named)
            return UsageError{
                QStringLiteral("Unknown format '%1': use hex, dec, rgb, hsl or report.")
                    .arg(parser.value(format))};
        if (!parser.isSet(convert) && !parser.isSet(pick))
            return UsageError{QStringLiteral("Option --format needs --convert or --pick.")};
        line.format = *named;
    }
    if (parser.isSet(picker)) {
        const std::optional<PickerMode> mode = PickerModeNamed(parser.value(picker));
        if (!mode)
            return UsageError{QStringLiteral("Unknown picker '%1': use auto, x11, portal, wlroots, "
                                             "screencast or screenshot.")
                                  .arg(parser.value(picker))};
        line.picker = *mode;
    }

    if (parser.isSet(convert)) {
        line.action = CommandLine::Action::Convert;
        line.convertText = parser.value(convert);
    } else if (parser.isSet(pick)) {
        line.action = CommandLine::Action::Pick;
    } else if (parser.isSet(color)) {
        line.colorText = parser.value(color);
    }
    return line;
}

std::variant<CommandLine, UsageError> ParseCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return ParseCommandLine(arguments);
}
