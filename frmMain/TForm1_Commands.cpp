// The window's commands: the color dialog, the hex text translation, Clear
// All, About, Exit, and the swatch's hint.
#include "frmMain/TForm1.h"

#include "frmMain/TEdit.h"
#include "frmMain/TShape.h"
#include "platform/ColorChooser.h"
#include "platform/MessageBoxes.h"
#include "sTrackBar/TsTrackBar.h"

// The dialog opens on the color last confirmed in it, never on the current one.
void TForm1::translateDialogColor()
{
    if (!FPlatform.ColorDialog.choose(dlgColor1.Color, dlgColor1.CustomColors))
        return;
    const HSLUtils::TColor color = dlgColor1.Color;
    edt1->setText(ColorToHTML(color));
    setCurrentColor(color);
    TBPosisions();
    getRGBparams();
}

void TForm1::btn1Click(QObject*)
{
    translateDialogColor();
}

void TForm1::shp1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    translateDialogColor();
}

// edt1 and edt5 are rewritten only by the change handlers that TBPosisions
// runs for components whose text changes: a typed text of the current color
// stays as typed.
void TForm1::btn2Click(QObject*)
{
    setCurrentColor(HtmlToColor(edt1->text()));
    TBPosisions();
    getRGBparams();
}

void TForm1::btn5Click(QObject*)
{
    edt1->setText(ColorToHTML(0));
    setCurrentColor(HtmlToColor(edt1->text()));
    TBPosisions();
    for (TEdit* box : {edt2, edt3, edt4})
        box->setText(QStringLiteral("0"));
    for (TsTrackBar* slider : {tb4, tb5, tb6})
        slider->setPosition(0);
    for (TEdit* box : {edt6, edt7, edt8})
        box->setText(QStringLiteral("0"));
}

void TForm1::btn3Click(QObject*)
{
    FPlatform.Boxes.show(MessageBoxes::Kind::Information, AboutText());
}

QString TForm1::AboutText()
{
    return QStringLiteral("Huvella " HUVELLA_VERSION "\n\n"
                          "Converts, mixes and picks screen colors: HTML hex, decimal, "
                          "RGB and HSL.\n\n"
                          "https://huvella.example.org");
}

void TForm1::btn4Click(QObject*)
{
    close();
}

// The hint shows the hex text as it stands, typed and untranslated included.
void TForm1::shp1MouseEnter(QObject*)
{
    shp1->setShowHint(true);
    shp1->setHint(edt1->text());
}

void TForm1::shp1MouseLeave(QObject*)
{
    shp1->setShowHint(false);
}
