#pragma once
// The slider: keeps its settings, hands them to the QSlider underneath, and
// turns the user's movements into a stored position and notifications.
//
// The QSlider is only the picture and the platform position: keys, mouse and
// the page repeat are handled here so that each user movement gives exactly
// the reports the program relies on (one per step, one more at the end of each
// key or button action), with arrow, page and Home/End keys stepping towards
// Min for Left/Up/Page Up/Home and towards Max for the others.
#include "sTrackBar/Notify.h"

#include <QSlider>
#include <QTimer>
#include <cstdint>
#include <optional>

class TPositionTip;

enum TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };
enum TTickMark : std::uint8_t { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle : std::uint8_t { tsNone, tsAuto, tsManual };
enum TPositionToolTip : std::uint8_t { ptNone, ptTop, ptLeft, ptBottom, ptRight };

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);

    // Changing the orientation also swaps the slider's width and height.
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void setOrientation(TTrackBarOrientation value);
    TTickMark TickMarks() const { return FTickMarks; }
    void setTickMarks(TTickMark value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void setTickStyle(TTickStyle value);

    // Steps of one arrow key, and of one Page key or one press in the channel.
    int LineSize() const { return FLineSize; }
    void setLineSize(int value);
    int PageSize() const { return FPageSize; }
    void setPageSize(int value);
    // Size of the thumb across the channel, in pixels.
    int ThumbLength() const { return FThumbLength; }
    void setThumbLength(int value);
    bool SliderVisible() const { return FSliderVisible; }
    void setSliderVisible(bool value);

    // Writes clamp the position into the range; a Min above Max or a Max below
    // Min is ignored. OnChange follows each change of the stored position.
    int Min() const { return FMin; }
    void setMin(int value);
    int Max() const { return FMax; }
    void setMax(int value);
    // Spacing of automatic tick marks, in positions.
    int Frequency() const { return FFrequency; }
    void setFrequency(int value);
    // The stored position: refreshed from the QSlider only by a user movement.
    int Position() const { return FPosition; }
    void setPosition(int value);

    TPositionToolTip PositionToolTip() const { return FPositionToolTip; }
    void setPositionToolTip(TPositionToolTip value);

    // Where the thumb stands, in the slider's coordinates: what it paints and
    // what a press must hit to grab it.
    QRect thumbRect() const;

    // The selection range is kept for the form's sake; Qt draws none.
    int SelStart() const { return FSelStart; }
    void setSelStart(int value);
    int SelEnd() const { return FSelEnd; }
    void setSelEnd(int value);
    bool ShowSelRange() const { return FShowSelRange; }
    void setShowSelRange(bool value);

    // Raised after every change of the stored position, by the program or the
    // user, and once in every movement report of the user.
    TNotifyEvent OnChange;

protected:
    // Runs in every movement report of the user, after OnChange; never for a
    // property write.
    virtual void userMovement() {}

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void sliderChange(SliderChange change) override;
    void initStyleOption(QStyleOptionSlider* option) const override;

private:
    // What the held mouse button is doing.
    enum class TAction : std::uint8_t { None, Drag, Page };

    void updateRangeAndPosition(int position, int lo, int hi);
    void recreate();
    template <typename T> void storeAndRecreate(T& field, T value);
    void applyTicks();

    void report();
    void keyActionEnded();
    void flushKeyEnd();
    void moveTo(qint64 target);
    std::optional<qint64> keyTarget(int key) const;

    // Where the style puts the parts, in widget coordinates.
    struct TParts {
        QRect groove;
        QRect thumb;
        bool upsideDown;
    };
    TParts parts() const;
    QRect thumbRectAt(int position) const;
    int valueAt(int thumbStart) const;
    int sideOfThumb(QPoint pointer) const;
    int along(QPoint point) const;

    void beginDrag(QPoint pointer);
    void beginPaging(QPoint pointer);
    void pageStep();
    void pageTimerTick();
    void endAction();
    void syncTip();

    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    int FLineSize = 1;
    int FPageSize = 2;
    int FThumbLength = 20;
    bool FSliderVisible = true;
    int FMin = 0;
    int FMax = 10;
    int FFrequency = 1;
    int FPosition = 0;
    TPositionToolTip FPositionToolTip = ptNone;
    int FSelStart = 0;
    int FSelEnd = 0;
    bool FShowSelRange = true;

    // Whether the last re-creation chose automatic tick marks; a Frequency
    // write only respaces them, it does not choose again.
    bool FAutoTicks = true;

    TPositionTip* FTip = nullptr;
    QTimer FPageTimer;
    // A key release waiting to be told apart from an auto-repeat one.
    QTimer FKeyEndTimer;
    int FReleasedKey = 0;
    quint64 FReleaseTime = 0;

    TAction FAction = TAction::None;
    // Bumped whenever an action starts or ends, so that code running after a
    // report can tell whether a notification handler ended the action.
    unsigned FActionSerial = 0;
    // Reports in progress; a handler may run a nested event loop.
    int FReportDepth = 0;
    int FDragOffset = 0;
    int FPageDirection = 0;
    QPoint FPointer;
    // Where the thumb stood at the last paint: a move repaints only the stretch
    // between there and the new place.
    int FPaintedPosition = 0;
};
