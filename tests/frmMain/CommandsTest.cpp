// The window's commands on real widgets, with a color dialog that confirms a
// given color or cancels.
#include "FormFixture.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"

#include <QEnterEvent>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;

class Commands : public FormFixture {};

TEST_F(Commands, ConfirmingPureRedFillsEveryField)
{
    chooser.answer = 0x0000FF;
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    const ShownFields red{0x0000FF,    "#FF0000",           "255",        {"255", "0", "0"},
                          {255, 0, 0}, {"0", "240", "120"}, {0, 240, 120}};
    EXPECT_EQ(ShownFields::of(*form), red);
    EXPECT_EQ(chooser.openedWith, std::vector<HSLUtils::TColor>{0}); // black at first
}

TEST_F(Commands, CancellingTheDialogChangesNothing)
{
    press(form->tb2, Qt::Key_End);
    const ShownFields before = ShownFields::of(*form);
    chooser.answer.reset();
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_EQ(chooser.openedWith.size(), 1u);
}

TEST_F(Commands, DialogReopensOnItsLastConfirmedColorNotTheCurrentOne)
{
    chooser.answer = 0x123456;
    chooser.customSlot = {{3, 0x00ABCDEF}};
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    press(form->tb2, Qt::Key_Home); // the current color changes elsewhere
    chooser.answer.reset();         // and a cancelled opening remembers nothing new
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    EXPECT_EQ(chooser.openedWith, (std::vector<HSLUtils::TColor>{0, 0x123456, 0x123456}));
    EXPECT_EQ(form->dlgColor1.CustomColors[3], 0x00ABCDEF);
    EXPECT_EQ(form->dlgColor1.CustomColors[0], TColorDialog::Unset);
}

TEST_F(Commands, AnyMouseButtonOnTheSwatchOpensTheDialog)
{
    chooser.answer = 0x00FF00;
    QTest::mouseClick(form->shp1, Qt::RightButton, Qt::NoModifier, QPoint(70, 3));
    EXPECT_EQ(form->CurrentColor(), 0x00FF00);
    EXPECT_EQ(form->edt1->text(), "#00FF00");
    chooser.answer = 0xFF0000;
    QTest::mouseClick(form->shp1, Qt::MiddleButton);
    EXPECT_EQ(form->edt1->text(), "#0000FF");
    EXPECT_EQ(chooser.openedWith.size(), 2u);
}

TEST_F(Commands, TranslatingATypedTextRewritesItOnlyWhenAComponentChanges)
{
    typeInto(form->edt1, "#00ff00");
    QTest::mouseClick(form->btn2, Qt::LeftButton);
    EXPECT_EQ(form->CurrentColor(), 0x00FF00);
    EXPECT_EQ(form->edt1->text(), "#00FF00");
    EXPECT_EQ(form->edt5->text(), "65280");
    EXPECT_EQ(form->edt7->text(), "240");

    typeInto(form->edt1, "#00ff00"); // the same color again
    QTest::mouseClick(form->btn2, Qt::LeftButton);
    EXPECT_EQ(form->edt1->text(), "#00ff00");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Commands, MalformedTextWarnsThenEverythingTurnsBlack)
{
    chooser.answer = 0x336699;
    QTest::mouseClick(form->btn1, Qt::LeftButton);
    typeInto(form->edt1, "#GG0000");
    QTest::mouseClick(form->btn2, Qt::LeftButton);
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Warning, "The color value is incorrect !"}}));
    EXPECT_EQ(form->CurrentColor(), 0);
    EXPECT_EQ(form->edt1->text(), "#000000"); // rewritten by the components' change handlers
    EXPECT_EQ(form->edt2->text() + form->edt3->text() + form->edt4->text(), "000");
    EXPECT_EQ(form->edt8->text(), "0");
}

TEST_F(Commands, ClearAllPutsEveryFieldBackToBlack)
{
    press(form->tb4, Qt::Key_PageDown, 10);
    press(form->tb5, Qt::Key_End);
    press(form->tb6, Qt::Key_PageDown, 30);
    typeInto(form->edt1, "#abc");
    ASSERT_NE(form->CurrentColor(), 0);

    QTest::mouseClick(form->btn5, Qt::LeftButton);
    const ShownFields black{0,         "#000000",       "0",      {"0", "0", "0"},
                            {0, 0, 0}, {"0", "0", "0"}, {0, 0, 0}};
    EXPECT_EQ(ShownFields::of(*form), black);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Commands, AboutShowsNameVersionPurposeAndAddress)
{
    QTest::mouseClick(form->btn3, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, Kind::Information);
    const QString text = boxes.shown[0].text;
    EXPECT_TRUE(text.startsWith("Huvella 1.")) << text.toStdString();
    EXPECT_TRUE(text.contains("https://")) << text.toStdString();
}

TEST_F(Commands, ExitClosesTheWindow)
{
    QTest::mouseClick(form->btn4, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Commands, SwatchHintShowsTheHexTextAsItStands)
{
    typeInto(form->edt1, "#12ab");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), form->shp1->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(form->shp1, &enter);
    EXPECT_EQ(form->shp1->toolTip(), "#12ab");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form->shp1, &leave);
    EXPECT_TRUE(form->shp1->toolTip().isEmpty());
}
