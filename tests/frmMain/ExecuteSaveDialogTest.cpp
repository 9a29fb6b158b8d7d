// The window's dialog settings and memory through a save dialog: what it is
// opened with, and what it remembers after a confirm and after a cancel.
#include "frmMain/ExecuteSaveDialog.h"
#include "QtPrinters.h"
#include "ScriptedSaveDialog.h"

#include <gtest/gtest.h>

TEST(ExecuteSaveDialog, OpensWithTheWindowsSettingsAndMemory)
{
    TSaveTextFileDialog dlg1;
    ScriptedSaveDialog dialog;
    dialog.cancel();
    ExecuteSaveDialog(dialog, dlg1);
    ASSERT_EQ(dialog.openings.size(), 1u);
    const ScriptedSaveDialog::Opening& opened = dialog.openings[0];
    EXPECT_EQ(opened.settings.Title, "Save color parameters");
    EXPECT_EQ(opened.settings.Filter, "Text files (*.txt)|*.txt");
    EXPECT_EQ(opened.settings.DefaultExt, "txt");
    EXPECT_EQ(opened.settings.Encodings,
              (QStringList{"ANSI", "ASCII", "Unicode", "Big Endian Unicode", "UTF-8", "UTF-7"}));
    EXPECT_EQ(opened.memory.FileName, "Color.txt");
    EXPECT_EQ(opened.memory.EncodingIndex, 0);
}

TEST(ExecuteSaveDialog, RemembersThePathOnlyWhenConfirmedAndTheEncodingAlways)
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
    TSaveTextFileDialog dlg1;
    ScriptedSaveDialog dialog;
    QString openedOn = "Color.txt";
    int openedWith = 0;
    for (const Step& step : steps) {
        if (step.confirm)
            dialog.confirm(step.path, step.encoding);
        else
            dialog.cancel(step.encoding);
        EXPECT_EQ(ExecuteSaveDialog(dialog, dlg1), step.confirm) << step.name;
        EXPECT_EQ(dialog.openings.back().memory.FileName, openedOn) << step.name;
        EXPECT_EQ(dialog.openings.back().memory.EncodingIndex, openedWith) << step.name;
        EXPECT_EQ(dlg1.FileName, step.remembered) << step.name;
        EXPECT_EQ(dlg1.EncodingIndex, step.encoding) << step.name;
        openedOn = step.remembered;
        openedWith = step.encoding;
    }
}
