// The Save command over the real file output, with the system's calls failing:
// at the opening, at each write, at the flush, at the close and at the rename.
// Over a report that is there, a step of its replacement that fails sends the
// report in place, as a plain overwrite would; what fails there too is one
// error box with its message, the old report survives byte for byte with
// nothing beside it, the window is as it was, and the next save without a
// fault writes the report.
#include "FaultyPosixCalls.h"
#include "FormFixture.h"
#include "QtPrinters.h"
#include "ScratchFolder.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"
#include "platform/files/PosixFileOutput.h"

#include <cerrno>
#include <string>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;
using Call = FaultyPosixCalls::Call;

namespace {

const QByteArray OldReport("Color Properties:\r\nDec: 16711680\r\nHex: #0000FF\r\n");

} // namespace

class SaveFaults : public FormFixture {
protected:
    SaveFaults() : FormFixture(withRealFiles) {}

    void SetUp() override
    {
        FormFixture::SetUp();
        press(form->tb1, Qt::Key_End); // pure red, so that the report is not the old one
        saveDialog.confirm(scratch.qpath("Color.txt"));
    }

    // Saves with the system's calls failing as `faults` says; returns what was shown.
    std::vector<Shown> saveWith(FaultyPosixCalls faults)
    {
        calls = faults;
        boxes.shown.clear();
        QTest::mouseClick(form->btn7, Qt::LeftButton);
        return boxes.shown;
    }

    std::string file() const { return scratch.path("Color.txt"); }

    ScratchFolder scratch;
    FaultyPosixCalls calls;
    PosixFileOutput output{calls};
    Platform withRealFiles = doubles.with(output);
};

TEST_F(SaveFaults, EveryFailingCallKeepsTheOldFileAndTheNextSaveWritesTheReport)
{
    // The writes a save makes when each passes 8 bytes on and every other one is
    // first interrupted: the report's 100-odd bytes take some thirty.
    FaultyPosixCalls shortWrites;
    shortWrites.shortWrites(8);
    ScratchFolder::write(file(), OldReport);
    ASSERT_TRUE(saveWith(shortWrites).empty());
    const QByteArray report = ScratchFolder::read(file());
    ASSERT_TRUE(report.startsWith("Color Properties:\r\nDec: 255\r\n")) << report.constData();
    const int writes = calls.count(Call::Write);
    ASSERT_GT(writes, 20);

    // The temporary file cannot be made, so that every write goes to the old one.
    FaultyPosixCalls inPlace = shortWrites;
    inPlace.failAt(Call::Open, 3, ENOSPC);
    ASSERT_TRUE(saveWith(inPlace).empty());
    ASSERT_EQ(ScratchFolder::read(file()), report);
    const int writesInPlace = calls.count(Call::Write);

    struct Row {
        std::string name;
        FaultyPosixCalls faults;
        const char* shown;
    };
    const auto with = [](FaultyPosixCalls faults, Call call, int nth, int error) {
        faults.failAt(call, nth, error);
        return faults;
    };
    std::vector<Row> rows = {
        {"opening the old file, refused", with(shortWrites, Call::Open, 1, EACCES),
         "File access denied."},
        {"opening the old file, too many open", with(shortWrites, Call::Open, 1, EMFILE),
         "Too many open files."},
        {"no room in place", with(inPlace, Call::Allocate, 1, ENOSPC), "Disk full."},
        {"every write, disk full", with(shortWrites, Call::Write, 0, ENOSPC), "Disk full."},
        {"every flush, device fault", with(shortWrites, Call::Fsync, 0, EIO), "I/O error 5."},
        {"cutting to length", with(inPlace, Call::Truncate, 1, EIO), "I/O error 5."},
    };
    for (int nth = 1; nth <= writesInPlace; ++nth) {
        rows.push_back({"write " + std::to_string(nth) + " in place, disk full",
                        with(inPlace, Call::Write, nth, ENOSPC), "Disk full."});
        rows.push_back({"write " + std::to_string(nth) + " in place, device fault",
                        with(inPlace, Call::Write, nth, EIO), "I/O error 5."});
    }

    const ShownFields before = ShownFields::of(*form);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchFolder::write(file(), OldReport);
        EXPECT_EQ(saveWith(row.faults), (std::vector<Shown>{{Kind::Error, row.shown}}));
        EXPECT_EQ(ScratchFolder::read(file()), OldReport);
        EXPECT_EQ(scratch.entries(), QStringList{"Color.txt"});
        EXPECT_EQ(ShownFields::of(*form), before);
        EXPECT_EQ(form->CurrentColor(), 0x0000FF);

        EXPECT_TRUE(saveWith(shortWrites).empty());
        EXPECT_EQ(ScratchFolder::read(file()), report);
        EXPECT_EQ(scratch.entries(), QStringList{"Color.txt"});
    }
}

TEST_F(SaveFaults, AFailedFirstSaveLeavesNoFileAtAll)
{
    for (const Call call : {Call::Open, Call::Write, Call::Fsync, Call::Close, Call::Rename}) {
        FaultyPosixCalls faults;
        faults.failAt(call, 1, ENOSPC);
        EXPECT_EQ(saveWith(faults), (std::vector<Shown>{{Kind::Error, "Disk full."}})) << int(call);
        EXPECT_TRUE(scratch.entries().isEmpty()) << int(call);
    }
}
