// The current color and how every field follows it. The color lives in the
// swatch alone; each routine reads it back from there. Setting an RGB box to a
// different text runs that box's change handler at once, nested inside the
// assignment: that nesting is how the banks stay in step, so nothing here
// blocks signals.
#include "frmMain/TForm1.h"

#include "HSLUtils/HSLUtils.h"
#include "frmMain/ColorText.h"
#include "frmMain/IntegerText.h"
#include "frmMain/TEdit.h"
#include "frmMain/TShape.h"
#include "platform/MessageBoxes.h"
#include "platform/PackedColor.h"
#include "sTrackBar/TsTrackBar.h"

using HSLUtils::TColor;

HSLUtils::TColor TForm1::CurrentColor() const
{
    return shp1->BrushColor();
}

// The same color again changes nothing (the picker sets it 20 times a second
// while the pointer rests).
void TForm1::setCurrentColor(HSLUtils::TColor color)
{
    if (color == CurrentColor())
        return;
    shp1->setBrushColor(color); // repaints the swatch
    // A screen reader says the swatch's color as the hex box shows it.
    shp1->setAccessibleDescription(HtmlColorText(ResolveColor(color, FPlatform.Colors)));
}

QColor TForm1::paintColor(HSLUtils::TColor color) const
{
    return ToQColor(ResolveColor(color, FPlatform.Colors));
}

QString TForm1::ColorToHTML(HSLUtils::TColor Color)
{
    const QString text = HtmlColorText(ResolveColor(Color, FPlatform.Colors));
    edt5->setText(IntToStr(Color)); // the value as passed, unresolved
    return text;
}

HSLUtils::TColor TForm1::HtmlToColor(const QString& Text)
{
    if (const std::optional<TColor> color = ParseHtmlColor(Text))
        return *color;
    FPlatform.Boxes.show(MessageBoxes::Kind::Warning,
                         QStringLiteral("The color value is incorrect !"));
    return 0;
}

void TForm1::TBPosisions()
{
    const ColorComponents rgb = SplitColor(CurrentColor());
    FRed = rgb.Red;
    FGreen = rgb.Green;
    FBlue = rgb.Blue;
    tb1->setPosition(FRed);
    edt2->setText(IntToStr(FRed));
    tb2->setPosition(FGreen);
    edt3->setText(IntToStr(FGreen));
    tb3->setPosition(FBlue);
    edt4->setText(IntToStr(FBlue));
}

void TForm1::getRGBparams()
{
    int H = 0;
    int S = 0;
    int L = 0;
    HSLUtils::ColorToHslScaled(CurrentColor(), H, S, L);
    edt6->setText(IntToStr(H));
    edt7->setText(IntToStr(S));
    edt8->setText(IntToStr(L));
    tb4->setPosition(H);
    tb5->setPosition(S);
    tb6->setPosition(L);
}

void TForm1::RGBlabels()
{
    edt2->setText(IntToStr(tb1->Position()));
    edt3->setText(IntToStr(tb2->Position()));
    edt4->setText(IntToStr(tb3->Position()));
}

void TForm1::TBbyLabelsChange()
{
    tb1->setPosition(StrToInt(edt2->text()));
    tb2->setPosition(StrToInt(edt3->text()));
    tb3->setPosition(StrToInt(edt4->text()));
    setCurrentColor((tb1->Position() & 0xFF) | (tb2->Position() & 0xFF) << 8 |
                    (tb3->Position() & 0xFF) << 16);
    edt1->setText(ColorToHTML(CurrentColor()));
}

void TForm1::ChangeColor()
{
    setCurrentColor(ComposeColor(FRed, FGreen, FBlue));
}

void TForm1::SetTBsColor()
{
    edt1->setText(ColorToHTML(CurrentColor()));
    shp1->update();
}

void TForm1::FromHSLtoColor()
{
    const int H = tb4->Position();
    const int S = tb5->Position();
    const int L = tb6->Position();
    setCurrentColor(HSLUtils::HslScaledToColor(H, S, L));
    edt6->setText(IntToStr(H));
    edt7->setText(IntToStr(S));
    edt8->setText(IntToStr(L));
    edt1->setText(ColorToHTML(CurrentColor()));
    TBPosisions();
}

// Values above 255 become 255; a value below 0 (only pasting gets one there)
// stays in the box and its slider clamps it.
void TForm1::CheckForValue(TEdit* edit)
{
    if (StrToInt(edit->text()) > 255)
        edit->setText(QStringLiteral("255"));
}

void TForm1::rgbSliderMoved()
{
    ChangeColor();
    SetTBsColor();
    getRGBparams();
    RGBlabels();
}

void TForm1::tb1UserChange(QObject*)
{
    FRed = tb1->Position();
    rgbSliderMoved();
}

void TForm1::tb2UserChange(QObject*)
{
    FGreen = tb2->Position();
    rgbSliderMoved();
}

void TForm1::tb3UserChange(QObject*)
{
    FBlue = tb3->Position();
    rgbSliderMoved();
}

void TForm1::tb4UserChange(QObject*)
{
    FromHSLtoColor();
}

void TForm1::tb5UserChange(QObject*)
{
    FromHSLtoColor();
}

void TForm1::tb6UserChange(QObject*)
{
    FromHSLtoColor();
}

void TForm1::edt2Change(QObject*)
{
    CheckForValue(edt2);
    TBbyLabelsChange();
}

void TForm1::edt3Change(QObject*)
{
    CheckForValue(edt3);
    TBbyLabelsChange();
}

void TForm1::edt4Change(QObject*)
{
    CheckForValue(edt4);
    TBbyLabelsChange();
}

// Only digits and Backspace reach an RGB box; anything else typed is refused.
void TForm1::edt2KeyPress(QObject*, QChar& Key)
{
    if (Key == QChar(8) || (Key >= QLatin1Char('0') && Key <= QLatin1Char('9')))
        return;
    Key = QChar(0);
    FPlatform.Boxes.show(MessageBoxes::Kind::Plain,
                         QStringLiteral("Must be a number between 0-255 !"));
}
