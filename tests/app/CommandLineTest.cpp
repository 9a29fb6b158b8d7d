// The program's command line through the real binary, started with no display
// at all (no DISPLAY, no WAYLAND_DISPLAY, no Qt platform): conversions in every
// format, the report as the window saves it, and every kind of bad input.
#include "FormFixture.h"
#include "PureRed.h"
#include "QtPrinters.h"
#include "app/GuiCommands.h"
#include "frmMain/TButton.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result RunHeadless(const QStringList& arguments,
                   const QString& executable = QStringLiteral(HUVELLA_PROGRAM))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(executable, arguments);
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
        return {};
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

QStringList Convert(const char* text, const char* format)
{
    QStringList arguments{QStringLiteral("--convert"), QString::fromLatin1(text)};
    if (format != nullptr)
        arguments << QStringLiteral("--format") << QString::fromLatin1(format);
    return arguments;
}

} // namespace

TEST(CommandLine, ConvertPrintsTheColorInEachFormat)
{
    struct Row {
        const char* text;
        const char* format; // nullptr: the default
        QByteArray out;
    };
    const Row rows[] = {
        {"#FF8000", nullptr, "#FF8000\n"},
        {"#FF8000", "hex", "#FF8000\n"},
        {"#ff8000", "hex", "#FF8000\n"}, // lower case digits
        {"#ff8000", "dec", "33023\n"},
        {"#ff8000", "rgb", "255 128 0\n"},
        {"#ff8000", "hsl", "20 240 120\n"},
        {"#000000", "hex", "#000000\n"},
        {"#000000", "dec", "0\n"},
        {"#000000", "rgb", "0 0 0\n"},
        {"#000000", "hsl", "0 0 0\n"},
        {"#FFFFFF", "hex", "#FFFFFF\n"},
        {"#ffffff", "dec", "16777215\n"},
        {"#FFFFFF", "rgb", "255 255 255\n"},
        {"#FFFFFF", "hsl", "0 0 240\n"},
        {"#0000FF", "dec", "16711680\n"},
        {"*00FF00", "hex", "#00FF00\n"}, // the first character is not looked at
        {"#F00", "hex", "#F00000\n"},    // no shorthand: "$0F0" is red 240
        {"#FF0000", "report", PureRedReport},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " " + (row.format ? row.format : "(default)"));
        const Result run = RunHeadless(Convert(row.text, row.format));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, QByteArray());
    }
}

TEST(CommandLine, BadInputIsExitTwoWithTheReasonOnStderrOnly)
{
    struct Row {
        const char* name;
        QStringList arguments;
        QByteArray err; // the start of what stderr says: one line
    };
    const QByteArray incorrect("The color value is incorrect !\n");
    const Row rows[] = {
        {"not hex digits", {"--convert", "#GG0000"}, incorrect},
        {"empty text", {"--convert", ""}, incorrect},
        {"a sign after the prefix", {"--convert", "#-12345"}, incorrect},
        {"no window for a bad --color", {"--color", "#GG0000"}, incorrect},
        {"unknown option", {"--bogus"}, "huvella: Unknown option 'bogus'."},
        {"missing value", {"--convert"}, "huvella: Missing value after '--convert'."},
        {"unknown format", {"--convert", "#FF8000", "--format", "xyz"}, "huvella: Unknown format"},
        {"unknown picker", {"--pick", "--picker=sideways"}, "huvella: Unknown picker"},
        {"format without a color", {"--format", "hex"}, "huvella: Option --format needs"},
        {"two actions", {"--convert", "#FF8000", "--pick"}, "huvella: Options --color, --convert"},
        {"two colors",
         {"--convert", "#FF8000", "--convert", "#000000"},
         "huvella: Option 'convert'"},
        {"stray argument", {"#FF8000"}, "huvella: Unexpected argument '#FF8000'."},
        {"window with no display", {"--color", "#336699"}, "huvella: no display"},
        {"pick with no display",
         {"--pick", "--picker=live"},
         "huvella: cannot open the X display"},
        {"pick by x11 with no display", {"--pick", "--picker=x11"}, "huvella: cannot open the X display"},
        {"pick on wlroots with no compositor",
         {"--pick", "--picker=wlroots"},
         "huvella: cannot connect to the Wayland compositor"},
        // What is echoed shows its control characters escaped.
        {"a line break in an argument", {"a\nb"}, "huvella: Unexpected argument 'a\\nb'."},
        {"control characters in a format",
         {"--convert", "#FF8000", "--format", "x\ny\t\x1b[2J\r"},
         "huvella: Unknown format 'x\\ny\\t\\x1b[2J\\r'"},
        {"a line break in an option", {"--bo\ngus"}, "huvella: Unknown option 'bo\\ngus'."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Result run = RunHeadless(row.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, QByteArray());
        EXPECT_TRUE(run.err.startsWith(row.err)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith('\n')) << run.err.toStdString();
    }
}

// A result with nowhere to go is a failure, as for coreutils' printf: no
// descriptor the program opens takes the place of a closed stdout.
TEST(CommandLine, AClosedStdoutIsAFailure)
{
    struct Row {
        const char* name;
        const char* redirections;
        QByteArray err;
    };
    const Row rows[] = {
        {"stdout closed", ">&-", "huvella: cannot write the result: Bad file descriptor\n"},
        {"stdout and stdin closed", ">&- <&-",
         "huvella: cannot write the result: Bad file descriptor\n"},
        {"stdout and stderr closed", ">&- 2>&-", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString script = QStringLiteral("exec \"$0\" --convert '#fff' ") +
                               QString::fromLatin1(row.redirections);
        const Result run = RunHeadless({QStringLiteral("-c"), script, QStringLiteral(HUVELLA_PROGRAM)},
                                       QStringLiteral("/bin/sh"));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, row.err);
    }
}

TEST(CommandLine, HelpAndVersionGoToStdout)
{
    const Result help = RunHeadless({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, QByteArray());
    for (const char* option :
         {"--color", "--convert", "--pick", "--format", "--picker", "--version"})
        EXPECT_TRUE(help.out.contains(option)) << option;

    const Result version = RunHeadless({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QByteArray("Huvella " HUVELLA_VERSION "\n"));
}

// The report --convert prints is the file the Save command writes once the
// window has translated the same text.
class CommandLineReport : public FormFixture {};

TEST_F(CommandLineReport, IsTheReportTheWindowSaves)
{
    for (const char* text : {"#ff8000", "#FFFFFF", "#563412", "#0000FF", "#7F7F80", "#FF0000"}) {
        SCOPED_TRACE(text);
        typeInto(form->edt1, QString::fromLatin1(text));
        QTest::mouseClick(form->btn2, Qt::LeftButton);
        form->SavetoText(QStringLiteral("Color.txt"));
        ASSERT_FALSE(files.written.empty());
        const Result run = RunHeadless(Convert(text, "report"));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, files.written.back().bytes);
    }
}

class CommandLineColor : public FormFixture {};

// The text goes in as a paste would (seven characters kept) and the Translate
// command does the rest: the lower-case text is rewritten because a component changed.
TEST_F(CommandLineColor, OpensTheWindowOnTheTranslatedColor)
{
    OpenOnColor(*form, QStringLiteral("#00ff00 and more"));
    EXPECT_EQ(form->CurrentColor(), 0x00FF00);
    EXPECT_EQ(form->edt1->text(), QStringLiteral("#00FF00"));
    EXPECT_EQ(form->edt5->text(), QStringLiteral("65280"));
    EXPECT_TRUE(boxes.shown.empty());
}
