#pragma once
// Huvella's one window: the current color in eleven places at once, kept in
// step by the routines below, with the color dialog, the desktop picker and
// the report as its commands.
#include "HSLUtils/HSLUtils.h"
#include "frmMain/FailureBoundary.h"
#include "frmMain/TColorDialog.h"
#include "platform/DesktopPicker.h"
#include "platform/DesktopPixels.h"
#include "platform/Platform.h"
#include "platform/TSaveTextFileDialog.h"

#include <QWidget>
#include <memory>

class PickerLoupe;
class QLabel;
class QTimer;
class TButton;
class TEdit;
class TShape;
class TsTrackBar;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(Platform& platform, QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, by their short names.
    TColorDialog dlgColor1;
    TButton* btn1;
    TEdit* edt1;
    TButton* btn2;
    TShape* shp1;
    TButton* btn3;
    TButton* btn4;
    QLabel* lbl1;
    TsTrackBar* tb1;
    TsTrackBar* tb2;
    TsTrackBar* tb3;
    TButton* btn5;
    TEdit* edt2;
    TEdit* edt3;
    TEdit* edt4;
    TButton* btn6;
    QTimer* tmr1;
    TEdit* edt5;
    QLabel* lbl2;
    QLabel* lbl3;
    QLabel* lbl4;
    TButton* btn7;
    TSaveTextFileDialog dlg1;
    TEdit* edt6;
    TEdit* edt7;
    TEdit* edt8;
    QLabel* lbl5;
    TsTrackBar* tb4;
    TsTrackBar* tb5;
    TsTrackBar* tb6;
    QLabel* lbl6;
    QLabel* lbl7;
    QLabel* lbl8;

    // Handlers.
    void FormCreate(QObject* Sender);
    void btn1Click(QObject* Sender);
    void btn2Click(QObject* Sender);
    void btn3Click(QObject* Sender);
    void btn4Click(QObject* Sender);
    void btn5Click(QObject* Sender);
    void btn6Click(QObject* Sender);
    void btn7Click(QObject* Sender);
    void shp1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y);
    void shp1MouseEnter(QObject* Sender);
    void shp1MouseLeave(QObject* Sender);
    void tb1UserChange(QObject* Sender);
    void tb2UserChange(QObject* Sender);
    void tb3UserChange(QObject* Sender);
    void tb4UserChange(QObject* Sender);
    void tb5UserChange(QObject* Sender);
    void tb6UserChange(QObject* Sender);
    void edt2Change(QObject* Sender);
    void edt3Change(QObject* Sender);
    void edt4Change(QObject* Sender);
    void edt2KeyPress(QObject* Sender, QChar& Key);
    void tmr1Timer(QObject* Sender);

    // Routines that copy the current color from one group of fields to another.
    void TBPosisions();
    void getRGBparams();
    void RGBlabels();
    void TBbyLabelsChange();
    void ChangeColor();
    void SetTBsColor();
    void FromHSLtoColor();
    void CheckForValue(TEdit* edit);

    // The packed color of the desktop pixel at (X, Y), or -1 (0xFFFFFFFF)
    // where there is none; EInvalidOperation when the screen can't be read.
    HSLUtils::TColor DesktopColor(int X, int Y);

    // Writes the report of the value fields to FileName; EInOutError on failure.
    void SavetoText(const QString& FileName);

    // The color text forms: the hex text of a color (writing its decimal text
    // into edt5 on the way), and the color of a hex text (0 after a warning
    // when the text can't be read).
    QString ColorToHTML(HSLUtils::TColor Color);
    HSLUtils::TColor HtmlToColor(const QString& Text);

    // The current color: the swatch's fill, its only home.
    HSLUtils::TColor CurrentColor() const;

    // The magnifier that follows the pointer while the picker samples.
    PickerLoupe& Loupe();
    // The desktop the picker's ticks read.
    DesktopPixels& SampledDesktop();

    // The About message: name, version, what the program does, its web address.
    static QString AboutText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setCurrentColor(HSLUtils::TColor color);
    HSLUtils::TColor sampleColor(const DesktopPixels::Pixel& pixel);
    QColor paintColor(HSLUtils::TColor color) const;
    void rgbSliderMoved();
    void hideLoupe();
    void layNumbersOutUnshaped();
    // Fails with the toolkit's message, once per run of unreadable-screen reads.
    void screenUnreadable();
    void pickerStopped();
    void pickerEnded(const DesktopPicker::Ending& ending);
    void showPickedColor(HSLUtils::TColor color);
    void translateDialogColor();

    void createControls();
    void connectHandlers();
    void timerTick();

    // A handler as Qt may call it: inside the failure boundary.
    template <auto Handler, class... Args> auto guarded()
    {
        return [this](Args... args) { FBoundary.run([&] { (this->*Handler)(args...); }); };
    }

    // The same for a Qt signal of `sender`: the handler gets the sender.
    template <auto Handler> auto guardedSignal(QObject* sender)
    {
        return [this, sender] { FBoundary.run([&] { (this->*Handler)(sender); }); };
    }

    Platform& FPlatform;
    FailureBoundary FBoundary;
    bool FPlaced = false;
    bool FScreenFailureShown = false;       // the picker's unreadable-screen box is up for this run
    std::unique_ptr<PickerLoupe> FLoupe;    // made at the first tick that reads the pointer
    std::unique_ptr<DesktopPicker> FPicker; // made at the first pick
    HSLUtils::TColor FColorBeforePick = 0;  // shown again when a live pick is cancelled
    bool FPickSampled = false;              // this pick's ticks may have changed the color

    int FRed = 0;
    int FGreen = 0;
    int FBlue = 0;
};
