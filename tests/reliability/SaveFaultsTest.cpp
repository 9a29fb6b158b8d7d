// The Save command over the real file output, with the system's calls failing
// one at a time: at the opening, at each write, at the flush, at the close and
// at the rename. Each failure is one error box with its message; the file
// that was there survives byte for byte with nothing beside it, the window is
// as it was, and the next save without a fault writes the report.
#include "FaultyPosixCalls.h"
#include "FormFixture.h"
#include "QtPrinters.h"
#include "ScratchFolder.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"
#include "platform/PosixFileOutput.h"

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

    struct Row {
        std::string name;
        Call call;
        int nth; // the old file's check opens and closes it first
        int error;
        const char* shown;
    };
    std::vector<Row> rows = {
        {"opening the old file, refused", Call::Open, 1, EACCES, "File access denied."},
        {"opening the old file, too many open", Call::Open, 1, EMFILE, "Too many open files."},
        {"creating the new file, disk full", Call::Open, 2, ENOSPC, "Disk full."},
        {"creating the new file, read-only file system", Call::Open, 2, EROFS,
         "File access denied."},
        {"giving it the old mode", Call::Fchmod, 1, EPERM, "File access denied."},
        {"flushing", Call::Fsync, 1, EIO, "I/O error 5."},
        {"closing, over quota", Call::Close, 2, EDQUOT, "Disk full."},
        {"closing, device fault", Call::Close, 2, EIO, "I/O error 5."},
        {"renaming over the old file", Call::Rename, 1, EXDEV, "I/O error 18."},
    };
    for (int nth = 1; nth <= writes; ++nth) {
        rows.push_back({"write " + std::to_string(nth) + ", disk full", Call::Write, nth, ENOSPC,
                        "Disk full."});
        rows.push_back({"write " + std::to_string(nth) + ", device fault", Call::Write, nth, EIO,
                        "I/O error 5."});
    }

    const ShownFields before = ShownFields::of(*form);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchFolder::write(file(), OldReport);
        FaultyPosixCalls faults = shortWrites;
        faults.failAt(row.call, row.nth, row.error);
        EXPECT_EQ(saveWith(faults), (std::vector<Shown>{{Kind::Error, row.shown}}));
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
