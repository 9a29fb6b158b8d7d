// The failure boundary: what the error box says, and that a failure ends only
// the handler it happened in.
#include "frmMain/FailureBoundary.h"
#include "RecordingMessageBoxes.h"
#include "frmMain/TEdit.h"

#include <gtest/gtest.h>

using Kind = MessageBoxes::Kind;

struct PeriodRow {
    const char* name;
    QString message;
    QString shown;
};

class ErrorBoxText : public ::testing::TestWithParam<PeriodRow> {};

TEST_P(ErrorBoxText, AddsAPeriodOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(FailureBoundary::withPeriod(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ErrorBoxText,
    ::testing::Values(
        PeriodRow{"Letter", "'' is not a valid integer value", "'' is not a valid integer value."},
        PeriodRow{"Digit", "I/O error 28", "I/O error 28."},
        PeriodRow{"Slash", "a/b/", "a/b/."}, // '/' sorts just above '.'
        PeriodRow{"Empty", "", ""}, PeriodRow{"Period", "Done.", "Done."},
        PeriodRow{"Exclamation", "Must be a number between 0-255 !",
                  "Must be a number between 0-255 !"},
        PeriodRow{"Quote", "'abc'", "'abc'"}, PeriodRow{"Bracket", "(x)", "(x)"},
        PeriodRow{"Comma", "a,", "a,"}, PeriodRow{"Hyphen", "a-", "a-"},
        PeriodRow{"Space", "trailing ", "trailing "},
        PeriodRow{"NonAscii", QString::fromUtf8("caf\u00e9"), QString::fromUtf8("caf\u00e9.")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureBoundary, ShowsTheFailureInTheErrorBoxAndReturns)
{
    RecordingMessageBoxes boxes;
    FailureBoundary boundary(boxes);
    bool after = false;
    boundary.run([&] {
        throw EConvertError(QStringLiteral("'' is not a valid integer value"));
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, "'' is not a valid integer value.");
}

TEST(FailureBoundary, SilentAbortShowsNothingAndOtherKindsShowTheirMessage)
{
    RecordingMessageBoxes boxes;
    FailureBoundary boundary(boxes);
    boundary.run([] { throw EAbort(); });
    EXPECT_TRUE(boxes.shown.empty());
    boundary.run([] { throw EInOutError(QStringLiteral("File access denied"), 5); });
    boundary.run([] { throw std::runtime_error("out of memory"); });
    const std::vector<RecordingMessageBoxes::Shown> expected = {
        {Kind::Error, "File access denied."}, {Kind::Error, "out of memory."}};
    EXPECT_EQ(boxes.shown, expected);
}

TEST(FailureBoundary, NestedChangeHandlerFailureEndsOnlyThatHandler)
{
    RecordingMessageBoxes boxes;
    FailureBoundary boundary(boxes);
    TEdit first;
    TEdit second;
    std::vector<QString> steps;
    first.OnChange = [&](QObject*) {
        boundary.run([&] {
            steps.push_back("first handler");
            throw EConvertError(QStringLiteral("'x' is not a valid integer value"));
        });
    };

    // A routine that sets two boxes in turn: the failure in the first box's
    // handler is shown once, and the routine goes on with the second box.
    boundary.run([&] {
        first.setText(QStringLiteral("x"));
        steps.push_back("after first");
        second.setText(QStringLiteral("y"));
        steps.push_back("after second");
    });

    EXPECT_EQ(steps, (std::vector<QString>{"first handler", "after first", "after second"}));
    EXPECT_EQ(second.text(), "y");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "'x' is not a valid integer value.");
}
