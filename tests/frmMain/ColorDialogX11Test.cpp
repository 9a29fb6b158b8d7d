// The real color dialog on a real X server, driven by the keyboard; and that
// a run which sets a custom color leaves no file behind in a fresh home.
#include "TestPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "frmMain/TShape.h"
#include "platform/qt/QtColorChooser.h"

#include <QApplication>
#include <QColorDialog>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// While the color dialog is open: type `html` into its HTML field, optionally
// add the color to the custom colors, and confirm with Enter.
void confirmInOpenDialog(const QString& html, bool addCustom)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        QLineEdit* htmlField = nullptr;
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>())
            if (field->text().startsWith(QLatin1Char('#')))
                htmlField = field;
        ASSERT_NE(htmlField, nullptr);
        htmlField->setFocus();
        htmlField->selectAll();
        QTest::keyClicks(htmlField, html);
        QTest::keyClick(htmlField, Qt::Key_Tab); // leaves the field: the color follows it
        if (addCustom) {
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text().remove(QLatin1Char('&')).startsWith("Add to Custom"))
                    button->click();
        }
        QTest::keyClick(dialog, Qt::Key_Return);
    });
}

} // namespace

TEST(ColorDialog, ConfirmingWithTheKeyboardFillsEveryField)
{
    ConfigureApplication(*qApp);
    TestPlatform doubles;
    QtColorChooser chooser;
    Platform platform{doubles.boxes,      doubles.colors, chooser,
                      doubles.saveDialog, doubles.files,  doubles.desktop};
    TForm1 form(platform);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    confirmInOpenDialog("#ff8000", false);
    QTest::mouseClick(form.btn1, Qt::LeftButton);

    EXPECT_EQ(form.CurrentColor(), 0x0080FF);
    EXPECT_EQ(form.edt1->text(), "#FF8000");
    EXPECT_EQ(form.edt5->text(), "33023");
    EXPECT_EQ(form.edt2->text() + "," + form.edt3->text() + "," + form.edt4->text(), "255,128,0");
    EXPECT_EQ(form.edt6->text() + "," + form.edt7->text() + "," + form.edt8->text(), "20,240,120");
    EXPECT_EQ(form.dlgColor1.Color, 0x0080FF);
    EXPECT_TRUE(doubles.boxes.shown.empty());
}

// Run in a child process by the test below, so that the process ends as the
// program's does: Qt saves a dialog's custom colors at exit.
TEST(ColorDialog, DISABLED_ChildSetsACustomColor)
{
    if (qEnvironmentVariableIsSet("HUVELLA_TEST_KEEP_SETTINGS"))
        QApplication::setApplicationName(QStringLiteral("Huvella")); // Qt's defaults
    else
        ConfigureApplication(*qApp);
    QtColorChooser chooser;
    HSLUtils::TColor color = 0;
    ColorChooser::CustomColors custom;
    custom.fill(-1);
    confirmInOpenDialog("#123456", true);
    ASSERT_TRUE(chooser.choose(color, custom));
    EXPECT_EQ(color, 0x563412);
}

namespace {

// Runs the child in a fresh home and returns the files it left there.
QStringList filesLeftByChild(bool keepSettings)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    env.remove("XDG_CACHE_HOME");
    if (keepSettings)
        env.insert("HUVELLA_TEST_KEEP_SETTINGS", "1");
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests",
                 "--gtest_filter=ColorDialog.DISABLED_ChildSetsACustomColor"});
    EXPECT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    QStringList files;
    QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(home.path().size());
    return files;
}

} // namespace

TEST(ColorDialog, ARunLeavesNoSettingsBehind)
{
    // Without the program's measure Qt does write its settings file: the
    // check below can see one.
    const QStringList withoutMeasure = filesLeftByChild(true);
    EXPECT_TRUE(withoutMeasure.join(' ').contains("QtProject"))
        << withoutMeasure.join(' ').toStdString();
    EXPECT_EQ(filesLeftByChild(false), QStringList());
}
