#pragma once
// The window on real widgets with recording doubles, shown and active, and
// small helpers to act on it as the user does.
#include "TestPlatform.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "frmMain/TShape.h"
#include "sTrackBar/TsTrackBar.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class FormFixture : public ::testing::Test {
protected:
    FormFixture() = default;
    // The window on other services than the doubles' (a real file output, say).
    explicit FormFixture(Platform& services) : platform(services) {}

    void SetUp() override
    {
        form = std::make_unique<TForm1>(platform);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // One picker tick as the timer delivers it, and the error box a failed tick
    // opens after it. A stopped timer delivers none.
    void deliverTick()
    {
        if (!form->tmr1->isActive())
            return;
        ASSERT_TRUE(QMetaObject::invokeMethod(form->tmr1, "timeout"));
        QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    }

    // Presses and releases a key on a control that has the focus.
    static void press(QWidget* control, Qt::Key key, int times = 1)
    {
        control->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(control, key);
    }

    // Types text into an edit box as the user does, after selecting all of it.
    static void typeInto(TEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    TestPlatform doubles;
    RecordingMessageBoxes& boxes = doubles.boxes;
    ScriptedColorChooser& chooser = doubles.chooser;
    ScriptedSaveDialog& saveDialog = doubles.saveDialog;
    RecordingFileOutput& files = doubles.files;
    ScriptedDesktopPixels& desktop = doubles.desktop;
    Platform& platform = doubles.platform;
    std::unique_ptr<TForm1> form;
};
