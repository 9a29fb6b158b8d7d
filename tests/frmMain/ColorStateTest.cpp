// The mixers on real widgets: every field follows every change, through the
// nested change handlers, with the digit filter, the 255 ceiling and the
// failure messages.
#include "FormFixture.h"
#include "HSLUtils/HSLUtils.h"
#include "Hex.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"
#include "platform/SystemColors.h"

#include <QInputMethodEvent>
#include <QMouseEvent>
#include <functional>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;

namespace {

// What the user left in an edit box: text, selection, caret, undo history.
struct BoxState {
    QString text;
    int selectionStart, selectionLength, caret;
    bool undo;
    bool operator==(const BoxState&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const BoxState& b)
    {
        return out << b.text.toStdString() << " selected " << b.selectionStart << "+"
                   << b.selectionLength << " caret " << b.caret << " undo " << b.undo;
    }
};

} // namespace

class ColorState : public FormFixture {};

TEST_F(ColorState, MovingTheRedSliderUpdatesEveryField)
{
    press(form->tb1, Qt::Key_PageDown, 64); // 64 page steps of 2
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(128));
    EXPECT_EQ(form->edt1->text(), "#800000");
    EXPECT_EQ(form->edt6->text() + form->edt7->text() + form->edt8->text(), "024060");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ColorState, EachRgbSliderDrivesItsOwnComponent)
{
    press(form->tb1, Qt::Key_End);
    press(form->tb2, Qt::Key_Right, 3);
    press(form->tb3, Qt::Key_PageDown);
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(0x0203FF));
}

TEST_F(ColorState, TypingThreeHundredCapsAt255)
{
    form->edt2->setFocus();
    form->edt2->selectAll();
    const std::pair<const char*, HSLUtils::TColor> steps[] = {{"3", 3}, {"0", 30}, {"0", 255}};
    for (const auto& [key, red] : steps) {
        QTest::keyClicks(form->edt2, key);
        EXPECT_EQ(form->CurrentColor(), red) << key;
        EXPECT_EQ(form->tb1->Position(), red);
    }
    EXPECT_EQ(form->edt2->text(), "255");
    EXPECT_EQ(form->edt1->text(), "#FF0000");
    EXPECT_EQ(form->edt5->text(), "255");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ColorState, TypingIntoAnRgbBoxLeavesTheHslBankAlone)
{
    press(form->tb6, Qt::Key_End); // white, from the HSL bank: L 240
    const ShownFields before = ShownFields::of(*form);
    typeInto(form->edt3, "12");
    EXPECT_EQ(form->CurrentColor(), 0xFF0CFF);
    EXPECT_EQ(form->tb2->Position(), 12);
    EXPECT_EQ(form->edt1->text(), "#FF0CFF");
    EXPECT_EQ(ShownFields::of(*form).hsl, before.hsl);
    EXPECT_EQ(ShownFields::of(*form).hslSliders, before.hslSliders);
}

TEST_F(ColorState, EmptiedBoxShowsTheConversionErrorAndChangesNothing)
{
    typeInto(form->edt3, "5");
    const ShownFields before = ShownFields::of(*form);
    form->edt3->end(false);
    QTest::keyClick(form->edt3, Qt::Key_Backspace);

    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Error, "'' is not a valid integer value."}}));
    ShownFields after = before;
    after.rgb[1] = ""; // the box keeps what the user left in it
    EXPECT_EQ(ShownFields::of(*form), after);
}

TEST_F(ColorState, RefusedKeysShowThePlainBoxAndChangeNothing)
{
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Row refused[] = {
        {"Letter", Qt::Key_A, Qt::NoModifier},      {"Minus", Qt::Key_Minus, Qt::NoModifier},
        {"Space", Qt::Key_Space, Qt::NoModifier},   {"Enter", Qt::Key_Return, Qt::NoModifier},
        {"Escape", Qt::Key_Escape, Qt::NoModifier}, {"CtrlV", Qt::Key_V, Qt::ControlModifier}};
    typeInto(form->edt4, "7");
    for (const Row& row : refused) {
        boxes.shown.clear();
        QTest::keyClick(form->edt4, row.key, row.modifiers);
        EXPECT_EQ(boxes.shown,
                  (std::vector<Shown>{{Kind::Plain, "Must be a number between 0-255 !"}}))
            << row.name;
        EXPECT_EQ(form->edt4->text(), "7") << row.name;
    }
    // Keys that type no character are not filtered.
    boxes.shown.clear();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_End, Qt::Key_Delete})
        QTest::keyClick(form->edt4, key);
    EXPECT_TRUE(boxes.shown.empty());
}

// Characters an input method commits are typed ones; Alt+key types nothing,
// AltGr (the group switch, or Ctrl+Alt) types as before.
TEST_F(ColorState, CommittedCharactersAreTypedAndAltKeysAreShortcuts)
{
    struct Row {
        const char* name;
        TEdit* TForm1::*box;
        QString text; // in the box before, caret at its end
        std::function<void(TEdit*)> act;
        QString want;
        std::size_t refusals;
    };
    const auto commit = [](const QString& text) {
        return [text](TEdit* box) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(box, &event);
        };
    };
    const auto key = [](char character, Qt::KeyboardModifiers modifiers) {
        return [=](TEdit* box) { QTest::keyClick(box, character, modifiers); };
    };
    const Row rows[] = {
        {"DeadKeyComposition", &TForm1::edt4, "7", commit("\u00e9"), "7", 1},
        {"CommittedDigit", &TForm1::edt4, "7", commit("1"), "71", 0},
        {"EachRefusedCharacterItsBox", &TForm1::edt4, "7", commit("a1b"), "71", 2},
        {"TypingLimit", &TForm1::edt1, "#00000", commit("12"), "#000001", 0},
        {"AltLetter", &TForm1::edt4, "7", key('a', Qt::AltModifier), "7", 0},
        {"AltDigit", &TForm1::edt4, "7", key('5', Qt::AltModifier), "7", 0},
        {"AltLetterInTheHexBox", &TForm1::edt1, "#00000", key('a', Qt::AltModifier), "#00000", 0},
        {"AltGrCharacter", &TForm1::edt4, "7", key('@', Qt::GroupSwitchModifier), "7", 1},
        {"CtrlAltDigit", &TForm1::edt4, "7", key('5', Qt::ControlModifier | Qt::AltModifier), "75",
         0},
    };
    for (const Row& row : rows) {
        TEdit* box = (*form).*row.box;
        box->setText(row.text);
        box->setFocus();
        box->end(false);
        boxes.shown.clear();
        row.act(box);
        EXPECT_EQ(box->text(), row.want) << row.name;
        EXPECT_EQ(boxes.shown,
                  std::vector<Shown>(row.refusals,
                                     Shown{Kind::Plain, "Must be a number between 0-255 !"}))
            << row.name;
        EXPECT_EQ(form->tb3->Position(), form->edt4->text().toInt()) << row.name;
    }
}

// A rewrite with the texts the boxes already hold leaves each box as the user
// left it: selection, caret and undo history.
TEST_F(ColorState, RewritingTheSameTextsLeavesSelectionCaretAndUndo)
{
    struct Row {
        const char* name;
        std::function<void()> rewrite;
    };
    const Row rows[] = {
        {"SliderMove", [this] { QTest::keyClick(form->tb1, Qt::Key_Home); }},
        {"ClearAll", [this] { form->btn5->click(); }},
        {"PickerTickAtRest",
         [this] {
             QTest::mouseClick(form->btn6, Qt::LeftButton);
             const int reads = desktop.pixelReads();
             ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.pixelReads() >= reads + 2; }));
             QTest::mouseClick(form->btn6, Qt::LeftButton);
         }},
    };
    const auto state = [this] {
        std::vector<BoxState> all;
        for (TEdit* b : {form->edt1, form->edt2, form->edt3, form->edt4, form->edt5, form->edt6,
                         form->edt7, form->edt8})
            all.push_back({b->text(), b->selectionStart(), b->selectionLength(),
                           b->cursorPosition(), b->isUndoAvailable()});
        return all;
    };
    QCoreApplication::processEvents(); // what showing the window left to do
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The window shows black, the desktop's pixel too; the hex text was
        // edited back to itself, and every box has part of its text selected.
        form->edt1->end(false);
        form->edt1->backspace();
        form->edt1->insert(QStringLiteral("0"));
        ASSERT_TRUE(form->edt1->isUndoAvailable());
        for (TEdit* b : {form->edt1, form->edt2, form->edt3, form->edt4, form->edt5, form->edt6,
                         form->edt7, form->edt8})
            b->setSelection(b->text().size() > 1 ? 1 : 0, 1);
        const std::vector<BoxState> before = state();
        row.rewrite();
        EXPECT_EQ(state(), before);
        EXPECT_EQ(form->CurrentColor(), 0);
    }
}

TEST_F(ColorState, PastedTextReachesTheChangeHandlerUnfiltered)
{
    // A negative value clamps in the slider and stays in the box.
    form->edt2->setText(QStringLiteral("-5"));
    EXPECT_EQ(form->tb1->Position(), 0);
    EXPECT_EQ(form->edt2->text(), "-5");
    EXPECT_EQ(form->CurrentColor(), 0);
    // Text that is no number ends the handler with the error box.
    form->edt2->setText(QStringLiteral("1x"));
    EXPECT_EQ(boxes.shown,
              (std::vector<Shown>{{Kind::Error, "'1x' is not a valid integer value."}}));
}

TEST_F(ColorState, HueMoveKeepsTheHslSlidersWhereTheUserPutThem)
{
    press(form->tb5, Qt::Key_End);          // S 240
    press(form->tb6, Qt::Key_PageDown, 60); // L 120
    press(form->tb4, Qt::Key_PageDown, 40); // H 80
    const HSLUtils::TColor green = HSLUtils::HslScaledToColor(80, 240, 120);
    EXPECT_EQ(form->CurrentColor(), green) << hex(form->CurrentColor());
    EXPECT_EQ(green, 0x02FF00);
    ShownFields expected = ShownFields::consistentWith(green);
    expected.hsl = {"80", "240", "120"};
    expected.hslSliders = {80, 240, 120};
    EXPECT_EQ(ShownFields::of(*form), expected);
}

TEST_F(ColorState, UnchangedComponentsLeaveATypedHexTextAlone)
{
    press(form->tb1, Qt::Key_End);
    form->edt1->setText(QStringLiteral("#ff0000"));
    form->TBPosisions();
    EXPECT_EQ(form->edt1->text(), "#ff0000");
    // A component that changes rewrites it in canonical form.
    form->shp1->setBrushColor(0x0000FE);
    form->TBPosisions();
    EXPECT_EQ(form->edt1->text(), "#FE0000");
    EXPECT_EQ(form->edt5->text(), "254");
}

// The user empties the green box, then drags the red slider: one error box,
// the drag ends, and the next step of the routine puts everything right again.
TEST_F(ColorState, FailureDuringADragEndsTheDragAndTheRoutineGoesOn)
{
    typeInto(form->edt3, "9");
    form->edt3->end(false);
    QTest::keyClick(form->edt3, Qt::Key_Backspace);
    boxes.shown.clear();

    TsTrackBar* tb1 = form->tb1;
    const QPoint grab = tb1->thumbRect().center();
    QTest::mousePress(tb1, Qt::LeftButton, Qt::NoModifier, grab);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grab + QPoint(40, 0)),
                     tb1->mapToGlobal(QPointF(grab + QPoint(40, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(tb1, &drag);

    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Error, "'' is not a valid integer value."}}));
    const int red = tb1->Position();
    EXPECT_GT(red, 0);
    // RGBlabels went on to rewrite edt3 from its slider (9), whose own run
    // rebuilt the color from all three boxes. The HSL bank was derived before,
    // from the color the move composed (green not yet known: 0).
    ShownFields expected = ShownFields::consistentWith(red | 9 << 8);
    expected.hsl = ShownFields::consistentWith(red).hsl;
    expected.hslSliders = ShownFields::consistentWith(red).hslSliders;
    EXPECT_EQ(ShownFields::of(*form), expected);

    // The drag is over: further moves with the button still held move nothing.
    QMouseEvent more(QEvent::MouseMove, QPointF(grab + QPoint(80, 0)),
                     tb1->mapToGlobal(QPointF(grab + QPoint(80, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(tb1, &more);
    QTest::mouseRelease(tb1, Qt::LeftButton, Qt::NoModifier, grab + QPoint(80, 0));
    EXPECT_EQ(tb1->Position(), red);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

namespace {

class OneColorTable final : public SystemColors {
public:
    HSLUtils::TColor GetSysColor(int index) const override
    {
        asked.push_back(index);
        return 0x00563412;
    }
    mutable std::vector<int> asked;
};

} // namespace

TEST_F(ColorState, SystemColorReferencesResolveForTheHexTextButNotTheDecimal)
{
    OneColorTable table;
    TestPlatform others;
    Platform other{others.boxes,      table,        others.chooser,
                   others.saveDialog, others.files, others.desktop};
    TForm1 window(other);
    EXPECT_EQ(window.ColorToHTML(-1), "#123456");
    EXPECT_EQ(window.edt5->text(), "-1");
    EXPECT_EQ(table.asked, std::vector<int>{255});
    EXPECT_EQ(window.ColorToHTML(255), "#FF0000"); // not a reference: no lookup
    EXPECT_EQ(table.asked.size(), 1u);
}

TEST_F(ColorState, MalformedHexTextWarnsAndGivesBlack)
{
    EXPECT_EQ(form->HtmlToColor(QStringLiteral("#GG0000")), 0);
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Warning, "The color value is incorrect !"}}));
    boxes.shown.clear();
    EXPECT_EQ(form->HtmlToColor(QStringLiteral("#ff8000")), 33023);
    EXPECT_TRUE(boxes.shown.empty());
}
