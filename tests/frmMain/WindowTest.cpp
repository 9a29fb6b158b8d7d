// The window on real widgets: its first view, its layout, the keyboard, and
// the behaviour of its edit boxes.
#include "FormFixture.h"
#include "app/MainIcon.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "frmMain/TShape.h"
#include "sTrackBar/TsTrackBar.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

class Window : public FormFixture {
protected:
    // Presses Tab on the focused control and returns the control that gets the focus.
    QWidget* tab()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    }
};

TEST_F(Window, FirstViewIsBlackWithEveryFieldAtZero)
{
    EXPECT_EQ(form->windowTitle(), "Huvella");
    EXPECT_EQ(form->shp1->BrushColor(), 0);
    EXPECT_EQ(form->edt1->text(), "#000000");
    for (TEdit* box :
         {form->edt2, form->edt3, form->edt4, form->edt5, form->edt6, form->edt7, form->edt8})
        EXPECT_EQ(box->text(), "0") << box->objectName().toStdString();
    for (TsTrackBar* slider : {form->tb1, form->tb2, form->tb3, form->tb4, form->tb5, form->tb6})
        EXPECT_EQ(slider->Position(), 0);
    EXPECT_EQ(form->btn6->text(), "Pick a color from desktop");
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(form->tmr1->interval(), 50);
    EXPECT_EQ(QApplication::focusWidget(), form->btn1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Window, FixedClientAreaWithoutMaximise)
{
    EXPECT_EQ(form->size(), QSize(250, 428));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(Window, ControlsSitWhereTheLayoutPutsThem)
{
    struct Place {
        const char* name;
        QWidget* control;
        QRect rect;
    };
    const Place places[] = {
        {"btn1", form->btn1, {8, 6, 235, 25}},    {"edt1", form->edt1, {8, 51, 63, 21}},
        {"edt5", form->edt5, {77, 51, 82, 21}},   {"shp1", form->shp1, {168, 51, 75, 21}},
        {"btn2", form->btn2, {8, 76, 235, 25}},   {"btn6", form->btn6, {8, 106, 234, 25}},
        {"lbl1", form->lbl1, {8, 141, 235, 13}},  {"edt2", form->edt2, {7, 161, 34, 21}},
        {"tb1", form->tb1, {43, 161, 199, 28}},   {"edt3", form->edt3, {7, 198, 34, 21}},
        {"tb2", form->tb2, {43, 198, 199, 28}},   {"edt4", form->edt4, {7, 235, 34, 21}},
        {"tb3", form->tb3, {43, 235, 199, 28}},   {"lbl5", form->lbl5, {7, 272, 235, 13}},
        {"edt6", form->edt6, {8, 296, 33, 21}},   {"tb4", form->tb4, {43, 296, 187, 26}},
        {"edt7", form->edt7, {8, 329, 33, 21}},   {"tb5", form->tb5, {43, 329, 187, 26}},
        {"edt8", form->edt8, {8, 361, 33, 21}},   {"tb6", form->tb6, {43, 361, 187, 26}},
        {"btn5", form->btn5, {8, 395, 55, 25}},   {"btn7", form->btn7, {67, 395, 55, 25}},
        {"btn3", form->btn3, {128, 395, 55, 25}}, {"btn4", form->btn4, {187, 395, 55, 25}},
        {"lbl2", form->lbl2, {8, 36, 63, 13}},    {"lbl3", form->lbl3, {77, 36, 82, 13}},
        {"lbl4", form->lbl4, {168, 36, 74, 13}},
    };
    for (const Place& place : places)
        EXPECT_EQ(place.control->geometry(), place.rect) << place.name;
    // The H, S and L labels are as wide as their letters, right of the sliders.
    for (QLabel* letter : {form->lbl6, form->lbl7, form->lbl8}) {
        EXPECT_GE(letter->x(), 230);
        EXPECT_LE(letter->geometry().right(), 249) << letter->text().toStdString();
    }
}

// Every caption's ink fits inside its control, whichever font the desktop has.
TEST_F(Window, CaptionsFitTheirControls)
{
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        const int ink = button->fontMetrics().tightBoundingRect(button->text()).width();
        EXPECT_LE(ink, button->width() - 6) << button->text().toStdString();
    }
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const int ink = label->fontMetrics().tightBoundingRect(label->text()).width();
        EXPECT_LE(ink, label->width()) << label->text().toStdString();
    }
}

TEST_F(Window, FontsAndColorsOfTheValueBoxes)
{
    EXPECT_EQ(form->font().pointSize(), 8);
    for (TEdit* box : {form->edt2, form->edt3, form->edt4}) {
        EXPECT_TRUE(box->font().bold());
        EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::white));
        EXPECT_EQ(box->MaxLength, 3);
        EXPECT_FALSE(box->isReadOnly());
    }
    EXPECT_EQ(form->edt2->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(form->edt3->palette().color(QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(form->edt4->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(form->edt1->MaxLength, 7);
    for (TEdit* box : {form->edt5, form->edt6, form->edt7, form->edt8})
        EXPECT_TRUE(box->isReadOnly());
    EXPECT_TRUE(form->lbl1->font().bold());
    EXPECT_FALSE(form->lbl2->font().bold());
    EXPECT_EQ(form->lbl1->text(), " RGB mixer");
}

TEST_F(Window, HintsOnlyOnButtonsAndTheSwatch)
{
    EXPECT_EQ(form->btn5->toolTip(), "Clear all fields");
    EXPECT_EQ(form->btn7->toolTip(), "Save color value to a text file");
    EXPECT_EQ(form->btn6->toolTip(), "Hover over a color and press Enter to pick");
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
        EXPECT_EQ(button->toolTipDuration(), 2500);
    }
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(w) == nullptr && w != form->shp1) {
            EXPECT_TRUE(w->toolTip().isEmpty()) << w->metaObject()->className();
        }
    }
    EXPECT_TRUE(form->shp1->toolTip().isEmpty()); // its hint is set while the pointer is on it
}

TEST_F(Window, TabVisitsTheControlsInTheirOrder)
{
    const QWidget* expected[] = {
        form->edt1, form->btn2, form->btn3, form->btn4, form->tb1,  form->tb2,  form->tb3,
        form->btn5, form->edt2, form->edt3, form->edt4, form->btn6, form->edt5, form->btn7,
        form->edt6, form->edt7, form->edt8, form->tb4,  form->tb5,  form->tb6,  form->btn1};
    ASSERT_EQ(QApplication::focusWidget(), form->btn1);
    for (const QWidget* next : expected)
        ASSERT_EQ(tab(), next) << next->metaObject()->className();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), form->tb6);
}

TEST_F(Window, EnterAndSpaceClickTheFocusedButtonButShiftEnterDoesNot)
{
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int clicks;
    };
    const Row rows[] = {
        {"Enter", Qt::Key_Return, Qt::NoModifier, 1},
        {"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, 1},
        {"Space", Qt::Key_Space, Qt::NoModifier, 1},
        {"ShiftEnter", Qt::Key_Return, Qt::ShiftModifier, 0},
        {"CtrlEnter", Qt::Key_Return, Qt::ControlModifier, 0},
        {"AltEnter", Qt::Key_Return, Qt::AltModifier, 0},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, 0},
    };
    for (const Row& row : rows) {
        form->btn3->setFocus();
        QSignalSpy clicked(form->btn3, &QPushButton::clicked);
        QTest::keyClick(form->btn3, row.key, row.modifiers);
        EXPECT_EQ(clicked.count(), row.clicks) << row.name;
        EXPECT_TRUE(form->isVisible()) << row.name; // Esc does not close the window
    }
}

TEST_F(Window, NoButtonIsADefaultButton)
{
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    // Enter in an edit box goes to the box, not to some button.
    QSignalSpy clicked(form->btn1, &QPushButton::clicked);
    form->edt1->setFocus();
    QTest::keyClick(form->edt1, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(Window, TextChangeNotifiesOnlyForADifferentTextAndBeforeTheSetterReturns)
{
    std::vector<QString> seen;
    form->edt2->OnChange = [&](QObject* sender) {
        seen.push_back(static_cast<TEdit*>(sender)->text());
    };
    form->edt2->setText(QStringLiteral("0"));
    EXPECT_TRUE(seen.empty());
    form->edt2->setText(QStringLiteral("00"));
    EXPECT_EQ(seen, std::vector<QString>{"00"}); // already run when setText returned
    form->edt2->setText(QStringLiteral("00"));
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(Window, TypingLimitAppliesToTypingAndPastingOnly)
{
    form->edt2->setFocus();
    form->edt2->selectAll();
    QTest::keyClicks(form->edt2, "12345");
    EXPECT_EQ(form->edt2->text(), "123");

    form->edt1->setText(QStringLiteral("#123456789")); // the program's text is never cut
    EXPECT_EQ(form->edt1->text(), "#123456789");
    form->edt1->setFocus();
    form->edt1->end(false);
    QTest::keyClick(form->edt1, Qt::Key_A); // no room to type
    EXPECT_EQ(form->edt1->text(), "#123456789");
    QTest::keyClick(form->edt1, Qt::Key_Backspace); // but deleting from it works
    EXPECT_EQ(form->edt1->text(), "#12345678");

    form->edt1->setText(QStringLiteral("#"));
    form->edt1->setFocus();
    form->edt1->end(false);
    QApplication::clipboard()->setText(QStringLiteral("00ff00aa\nsecond line"));
    QTest::keyClick(form->edt1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->edt1->text(), "#00ff00");
}

TEST_F(Window, EnteringABoxWithTheKeyboardSelectsItsText)
{
    form->edt1->setText(QStringLiteral("#12AB34"));
    form->btn1->setFocus();
    ASSERT_EQ(tab(), form->edt1);
    EXPECT_EQ(form->edt1->selectedText(), "#12AB34");
}

TEST_F(Window, TBPosisionsSetsEachSliderThenItsBox)
{
    std::vector<QString> order;
    auto record = [&](const char* name) {
        return [&order, name](QObject*) { order.push_back(name); };
    };
    form->tb1->OnChange = record("tb1");
    form->tb2->OnChange = record("tb2");
    form->tb3->OnChange = record("tb3");
    form->edt2->OnChange = record("edt2");
    form->edt3->OnChange = record("edt3");
    form->edt4->OnChange = record("edt4");

    form->shp1->setBrushColor(0x123456); // red 0x56, green 0x34, blue 0x12
    form->TBPosisions();

    EXPECT_EQ(order, (std::vector<QString>{"tb1", "edt2", "tb2", "edt3", "tb3", "edt4"}));
    EXPECT_EQ(form->tb1->Position(), 0x56);
    EXPECT_EQ(form->tb2->Position(), 0x34);
    EXPECT_EQ(form->tb3->Position(), 0x12);
    EXPECT_EQ(form->edt2->text(), "86");
    EXPECT_EQ(form->edt3->text(), "52");
    EXPECT_EQ(form->edt4->text(), "18");
}

TEST(StartUp, TitleIconAndHintTiming)
{
    ConfigureApplication(*qApp);
    EXPECT_EQ(QCoreApplication::applicationName(), "Huvella");
    // The name of the installed desktop entry, which Wayland matches windows by.
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.huvella.Huvella");
    // The icon comes once the event loop runs.
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::windowIcon().isNull(); }, 5000));
    QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    EXPECT_EQ(
        sizes,
        (QList<QSize>{
            {16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {72, 72}, {96, 96}, {128, 128}}));
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);

    // The picture: a pale tile around bands of orange, green, blue, red-orange, grey.
    const QImage icon = DrawMainIcon(128);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0); // rounded corner
    EXPECT_GT(qGray(icon.pixel(10, 64)), 200);
    struct Band {
        int row;
        int hueLow, hueHigh; // degrees; -1 for grey
    };
    const Band bands[] = {{30, 25, 45}, {48, 100, 140}, {64, 200, 230}, {82, 5, 20}, {100, -1, -1}};
    for (const Band& band : bands) {
        const QColor color = icon.pixel(64, band.row);
        if (band.hueLow < 0) {
            EXPECT_LT(color.hsvSaturation(), 20) << band.row;
            continue;
        }
        EXPECT_GE(color.hsvHue(), band.hueLow) << band.row;
        EXPECT_LE(color.hsvHue(), band.hueHigh) << band.row;
    }
}

namespace {
// Counts the paints a control gets.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* control) { control->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};
} // namespace

// The style draws a slider the same hovered or not, thumb included, so the
// pointer crossing one does not redraw it.
TEST_F(Window, ThePointerCrossingASliderDoesNotRedrawIt)
{
    TsTrackBar* slider = form->tb1;
    const QImage plain = slider->grab().toImage();
    const QPoint thumb = slider->thumbRect().center();
    PaintCount paints(slider);
    for (const QPoint at : {QPoint(-3, -3), thumb, slider->rect().center(), QPoint(-3, -3)})
        QTest::mouseMove(form.get(), slider->mapTo(form.get(), at));
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);

    // Hovered as Qt would tell it, on the thumb, it looks the same.
    slider->setAttribute(Qt::WA_UnderMouse, true);
    for (const QEvent::Type type : {QEvent::HoverEnter, QEvent::HoverMove}) {
        QHoverEvent hover(type, thumb, slider->mapToGlobal(thumb), QPointF(-1, -1));
        QApplication::sendEvent(slider, &hover);
    }
    EXPECT_EQ(slider->grab().toImage(), plain);
    slider->setAttribute(Qt::WA_UnderMouse, false);
}
