// End to end on a real X server: the save dialog driven by the keyboard, then
// the report written through the file output.
#include "PureRed.h"
#include "QtPrinters.h"
#include "ScratchFolder.h"
#include "platform/qt/NoSettings.h"
#include "platform/files/PosixFileOutput.h"
#include "platform/qt/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(SaveReport, TheKeyboardNamesTheFileAndTheReportIsWritten)
{
    KeepNoSettings();
    ScratchFolder scratch;
    ScratchFolder::write(scratch.path("Color.txt"), "an older report\r\n");
    TSaveTextFileDialog dlg1;
    dlg1.FileName = QString::fromStdString(scratch.path("Color.txt"));

    QString focused;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !QTest::qWaitForWindowActive(dialog))
            return;
        QWidget* focus = QApplication::focusWidget();
        focused = focus ? focus->objectName() : QString();
        // The name shown is selected: typing replaces it.
        QTest::keyClicks(focus, "Pure red");
        QTest::keyClick(focus, Qt::Key_Return);
    });
    QtSaveDialog dialog;
    ASSERT_TRUE(dialog.Execute(dlg1));
    EXPECT_EQ(focused, "fileNameEdit");
    EXPECT_EQ(dlg1.FileName, QString::fromStdString(scratch.path("Pure red.txt")));

    PosixFileOutput files;
    ASSERT_EQ(files.replace(dlg1.FileName, ReportText(PureRedFields)), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(scratch.path("Pure red.txt")), PureRedReport);
    EXPECT_EQ(ScratchFolder::read(scratch.path("Color.txt")), "an older report\r\n");
    EXPECT_EQ(scratch.entries(), (QStringList{"Color.txt", "Pure red.txt"}));
}
