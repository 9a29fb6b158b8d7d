// The Save command on real widgets, with a scripted save dialog and a file
// output that records what it is given.
#include "FormFixture.h"
#include "frmMain/TButton.h"

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;

class SaveCommand : public FormFixture {};

TEST_F(SaveCommand, WritesTheFieldsAsTheyShowToTheConfirmedPath)
{
    press(form->tb1, Qt::Key_End);
    typeInto(form->edt1, "#abc"); // typed, never translated
    saveDialog.confirm("/home/user/red.txt");
    QTest::mouseClick(form->btn7, Qt::LeftButton);

    ASSERT_EQ(files.written.size(), 1u);
    EXPECT_EQ(files.written[0].path, "/home/user/red.txt");
    EXPECT_EQ(files.written[0].bytes, QByteArray("Color Properties:\r\nDec: 255\r\nHex: #abc\r\n"
                                                 "Red: 255\r\nGreen: 0\r\nBlue: 0\r\nHue: 0\r\n"
                                                 "Sat: 240\r\nLum: 120\r\n"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SaveCommand, CancelWritesNothing)
{
    saveDialog.cancel(2);
    QTest::mouseClick(form->btn7, Qt::LeftButton);
    EXPECT_TRUE(files.written.empty());
    EXPECT_EQ(form->dlg1.EncodingIndex, 2); // the list's choice is kept even so
    EXPECT_EQ(form->dlg1.FileName, "Color.txt");
}

TEST_F(SaveCommand, SecondSaveOpensOnTheFirstPath)
{
    saveDialog.confirm("/tmp/first.txt", 4);
    QTest::mouseClick(form->btn7, Qt::LeftButton);
    QTest::mouseClick(form->btn7, Qt::LeftButton);
    ASSERT_EQ(saveDialog.openings.size(), 2u);
    const TSaveTextFileDialog& first = saveDialog.openings[0];
    EXPECT_EQ(first.Title, "Save color parameters");
    EXPECT_EQ(first.Filter, "Text files (*.txt)|*.txt");
    EXPECT_EQ(first.DefaultExt, "txt");
    EXPECT_EQ(first.Encodings,
              (QStringList{"ANSI", "ASCII", "Unicode", "Big Endian Unicode", "UTF-8", "UTF-7"}));
    EXPECT_EQ(first.FileName, "Color.txt");
    EXPECT_EQ(first.EncodingIndex, 0);
    EXPECT_EQ(saveDialog.openings[1].FileName, "/tmp/first.txt");
    EXPECT_EQ(saveDialog.openings[1].EncodingIndex, 4);
}

TEST_F(SaveCommand, RemembersThePathOnlyWhenConfirmedAndTheEncodingAlways)
{
    struct Step {
        const char* name;
        bool confirm;
        QString path;
        int encoding;
        QString remembered; // the file name the window keeps after the step
    };
    const Step steps[] = {
        {"FirstConfirm", true, "/home/u/red.txt", 2, "/home/u/red.txt"},
        {"Cancel", false, "", 4, "/home/u/red.txt"},
        {"SecondConfirm", true, "/tmp/blue.txt", 1, "/tmp/blue.txt"},
    };
    QString openedOn = "Color.txt";
    int openedWith = 0;
    for (const Step& step : steps) {
        if (step.confirm)
            saveDialog.confirm(step.path, step.encoding);
        else
            saveDialog.cancel(step.encoding);
        QTest::mouseClick(form->btn7, Qt::LeftButton);
        EXPECT_EQ(saveDialog.openings.back().FileName, openedOn) << step.name;
        EXPECT_EQ(saveDialog.openings.back().EncodingIndex, openedWith) << step.name;
        EXPECT_EQ(form->dlg1.FileName, step.remembered) << step.name;
        EXPECT_EQ(form->dlg1.EncodingIndex, step.encoding) << step.name;
        openedOn = step.remembered;
        openedWith = step.encoding;
    }
    ASSERT_EQ(files.written.size(), 2u);
    EXPECT_EQ(files.written[1].path, "/tmp/blue.txt");
}

TEST_F(SaveCommand, AFailedSaveShowsItsErrorAndLeavesTheWindowAlone)
{
    press(form->tb3, Qt::Key_PageDown);
    const QString hexBefore = form->edt1->text();
    saveDialog.confirm("/read-only/Color.txt");
    struct Row {
        IoResult result;
        const char* shown;
    };
    const Row rows[] = {{IoResult::Program(5), "File access denied."},
                        {IoResult::Program(3), "Invalid filename."},
                        {IoResult::Program(101), "Disk full."},
                        {IoResult::Platform(5), "I/O error 5."}};
    for (const Row& row : rows) {
        boxes.shown.clear();
        files.result = row.result;
        QTest::mouseClick(form->btn7, Qt::LeftButton);
        EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Error, row.shown}}));
    }
    EXPECT_EQ(form->edt1->text(), hexBefore);
    EXPECT_EQ(form->CurrentColor(), 0x020000);
}
