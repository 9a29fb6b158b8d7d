#include "sTrackBar/TTrackBar.h"

#include "sTrackBar/TPositionTip.h"
#include "sTrackBar/TTrackBarStyle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

namespace {
// With more automatic tick marks than this the slider marks only the two ends
// of the channel; the marks would merge into a solid bar.
constexpr qint64 AutoTickLimit = 10000;
// Page steps repeat while the button is held in the channel (milliseconds).
constexpr int PageRepeatDelay = 300;
constexpr int PageRepeatInterval = 100;
// How long a key release waits for the press of an auto-repeat (milliseconds).
constexpr int AutoRepeatWait = 30;

// A range this wide has too many marks at the default spacing of one position.
// Widths are taken in 64 bits: Max - Min overflows int for the widest ranges.
bool isWide(int lo, int hi)
{
    return qint64(hi) - lo > AutoTickLimit;
}

Qt::Edge tipEdge(TPositionToolTip side)
{
    switch (side) {
    case ptLeft:
        return Qt::LeftEdge;
    case ptBottom:
        return Qt::BottomEdge;
    case ptRight:
        return Qt::RightEdge;
    case ptNone:
    case ptTop:
        break;
    }
    return Qt::TopEdge;
}

// Counts a scope as running for as long as it lasts, also when a notification
// handler throws.
class TScopeCount {
public:
    explicit TScopeCount(int& count) : FCount(count) { ++FCount; }
    ~TScopeCount() { --FCount; }
    TScopeCount(const TScopeCount&) = delete;
    TScopeCount& operator=(const TScopeCount&) = delete;

private:
    int& FCount;
};
} // namespace

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setStyle(TTrackBarStyle::shared());
    // A child with a name, so that the repeat's ticks can be watched.
    FPageTimer.setParent(this);
    FPageTimer.setObjectName(QStringLiteral("pageRepeat"));
    connect(&FPageTimer, &QTimer::timeout, this, &TTrackBar::pageTimerTick);
    FKeyEndTimer.setSingleShot(true);
    connect(&FKeyEndTimer, &QTimer::timeout, this, &TTrackBar::keyActionEnded);
    connect(this, &QAbstractSlider::valueChanged, this, &TTrackBar::syncTip);

    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button held must reach the slider: they reveal a drag
    // whose release went to another window.
    setMouseTracking(true);
    resize(150, 45);
    recreate();
}

// --- Settings ---------------------------------------------------------------

void TTrackBar::setPosition(int value)
{
    updateRangeAndPosition(value, FMin, FMax);
}

void TTrackBar::setMin(int value)
{
    if (value > FMax)
        return;
    updateRangeAndPosition(FPosition, value, FMax);
}

void TTrackBar::setMax(int value)
{
    if (value < FMin)
        return;
    updateRangeAndPosition(FPosition, FMin, value);
}

void TTrackBar::updateRangeAndPosition(int position, int lo, int hi)
{
    position = std::clamp(position, lo, hi);
    if (isWide(lo, hi) != isWide(FMin, FMax)) {
        // The choice of automatic tick marks is made only when the slider is
        // set up as a whole.
        FMin = lo;
        FMax = hi;
        recreate();
    }
    if (lo != FMin || hi != FMax) {
        FMin = lo;
        FMax = hi;
        setRange(lo, hi);
        applyTicks();
    }
    if (position == FPosition)
        return;
    FPosition = position;
    setValue(position);
    if (OnChange)
        OnChange(this);
}

template <typename T> void TTrackBar::storeAndRecreate(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    recreate();
}

void TTrackBar::setOrientation(TTrackBarOrientation value)
{
    if (value == FOrientation)
        return;
    FOrientation = value;
    resize(height(), width());
    recreate();
}

void TTrackBar::setTickMarks(TTickMark value)
{
    storeAndRecreate(FTickMarks, value);
}

void TTrackBar::setTickStyle(TTickStyle value)
{
    storeAndRecreate(FTickStyle, value);
}

void TTrackBar::setSliderVisible(bool value)
{
    storeAndRecreate(FSliderVisible, value);
}

void TTrackBar::setShowSelRange(bool value)
{
    storeAndRecreate(FShowSelRange, value);
}

void TTrackBar::setPositionToolTip(TPositionToolTip value)
{
    storeAndRecreate(FPositionToolTip, value);
}

void TTrackBar::setLineSize(int value)
{
    if (value == FLineSize)
        return;
    FLineSize = value;
    setSingleStep(value);
}

void TTrackBar::setPageSize(int value)
{
    if (value == FPageSize)
        return;
    FPageSize = value;
    setPageStep(value);
}

void TTrackBar::setThumbLength(int value)
{
    if (value == FThumbLength)
        return;
    FThumbLength = value;
    updateGeometry();
    update();
    syncTip();
}

void TTrackBar::setFrequency(int value)
{
    if (value == FFrequency)
        return;
    FFrequency = value;
    applyTicks();
}

void TTrackBar::setSelStart(int value)
{
    FSelStart = value;
}

void TTrackBar::setSelEnd(int value)
{
    FSelEnd = value;
}

// Hands every stored setting to the QSlider again; the position survives.
void TTrackBar::recreate()
{
    const bool vertical = FOrientation == trVertical;
    QSlider::setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // A vertical trackbar has Min at the top, where Qt puts Max.
    setInvertedAppearance(vertical);
    setSingleStep(FLineSize);
    setPageStep(FPageSize);
    setRange(FMin, FMax);
    setValue(FPosition);
    const qint64 span = qint64(FMax) - FMin;
    FAutoTicks =
        FTickStyle == tsAuto && (FFrequency == 0 ? span : span / FFrequency) <= AutoTickLimit;
    applyTicks();
    syncTip();
    updateGeometry();
    update();
}

void TTrackBar::applyTicks()
{
    if (FTickStyle == tsNone) {
        setTickPosition(NoTicks);
        return;
    }
    setTickPosition(FTickMarks == tmTopLeft ? TicksAbove
                    : FTickMarks == tmBoth  ? TicksBothSides
                                            : TicksBelow);
    // Without automatic tick marks the channel is marked at both ends only.
    const qint64 span = qint64(FMax) - FMin;
    setTickInterval(FAutoTicks ? FFrequency
                               : int(std::clamp<qint64>(span, 1, std::numeric_limits<int>::max())));
}

// --- User movement ----------------------------------------------------------

// One movement report: the platform position becomes the stored one, then
// both notifications run. Handlers may write positions (no report follows) or
// end the action; callers look at FActionSerial before going on.
void TTrackBar::report()
{
    const TScopeCount running(FReportDepth);
    FPosition = value();
    if (OnChange)
        OnChange(this);
    userMovement();
}

void TTrackBar::moveTo(qint64 target)
{
    setValue(int(std::clamp<qint64>(target, FMin, FMax)));
}

std::optional<qint64> TTrackBar::keyTarget(int key) const
{
    const qint64 at = value();
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return at - FLineSize;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return at + FLineSize;
    case Qt::Key_PageUp:
        return at - FPageSize;
    case Qt::Key_PageDown:
        return at + FPageSize;
    case Qt::Key_Home:
        return FMin;
    case Qt::Key_End:
        return FMax;
    default:
        return std::nullopt;
    }
}

void TTrackBar::keyPressEvent(QKeyEvent* e)
{
    if (FKeyEndTimer.isActive() && e->key() == FReleasedKey && e->timestamp() == FReleaseTime) {
        // The release just before belonged to this auto-repeat.
        FKeyEndTimer.stop();
    }
    flushKeyEnd();
    const auto target = keyTarget(e->key());
    if (!target) {
        QSlider::keyPressEvent(e);
        return;
    }
    // With Alt held the key is the window's (a shortcut), not a movement.
    if (e->modifiers() & Qt::AltModifier) {
        e->ignore();
        return;
    }
    moveTo(*target);
    report();
}

void TTrackBar::keyReleaseEvent(QKeyEvent* e)
{
    // Qt pairs every auto-repeated press with a release; only the real release
    // ends the key action.
    if (!keyTarget(e->key()) || e->isAutoRepeat() || (e->modifiers() & Qt::AltModifier)) {
        QSlider::keyReleaseEvent(e);
        return;
    }
    flushKeyEnd();
    if (e->timestamp() == 0) {
        // Made by the program, not the window system: no repeat can follow.
        report();
        return;
    }
    // On X11 Qt marks an auto-repeat release only when it has already read the
    // repeat's press, which carries the same time; wait a moment for it.
    FReleasedKey = e->key();
    FReleaseTime = e->timestamp();
    FKeyEndTimer.start(AutoRepeatWait);
}

void TTrackBar::keyActionEnded()
{
    if (FReportDepth > 0) {
        // Not inside a running handler's nested event loop.
        FKeyEndTimer.start(AutoRepeatWait);
        return;
    }
    report();
}

// A waiting key release is reported before any other input acts.
void TTrackBar::flushKeyEnd()
{
    if (!FKeyEndTimer.isActive())
        return;
    FKeyEndTimer.stop();
    report();
}

TTrackBar::TParts TTrackBar::parts() const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return {style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this),
            style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this),
            opt.upsideDown};
}

QRect TTrackBar::thumbRect() const
{
    return parts().thumb;
}

QRect TTrackBar::thumbRectAt(int position) const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.sliderPosition = position;
    opt.sliderValue = position;
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

void TTrackBar::paintEvent(QPaintEvent* e)
{
    FPaintedPosition = sliderPosition();
    QSlider::paintEvent(e);
}

void TTrackBar::sliderChange(SliderChange change)
{
    // A new value changes the picture only between the thumb's old and new
    // places: the thumb itself and, in styles that fill the groove up to the
    // thumb, the groove between them. The picker moves all six sliders at every
    // tick, and repainting them whole was most of what each tick sent to the
    // screen. Every paint covers all that was marked since the one before, so
    // the stretch from the last painted place always holds every change.
    if (change != SliderValueChange || !isVisible()) {
        QSlider::sliderChange(change);
        return;
    }
    const QRect from = thumbRectAt(FPaintedPosition);
    const QRect to = thumbRectAt(sliderPosition());
    if (orientation() == Qt::Horizontal)
        update(QRect(QPoint(std::min(from.left(), to.left()), 0),
                     QPoint(std::max(from.right(), to.right()), height() - 1)));
    else
        update(QRect(QPoint(0, std::min(from.top(), to.top())),
                     QPoint(width() - 1, std::max(from.bottom(), to.bottom()))));
}

int TTrackBar::along(QPoint point) const
{
    return orientation() == Qt::Horizontal ? point.x() : point.y();
}

// The position at which the thumb's leading edge would stand at this pixel.
int TTrackBar::valueAt(int thumbStart) const
{
    const TParts p = parts();
    const int thumbSize = along(QPoint(p.thumb.width(), p.thumb.height()));
    const int first = along(p.groove.topLeft());
    const int last = along(p.groove.bottomRight()) - thumbSize + 1;
    return QStyle::sliderValueFromPosition(FMin, FMax, thumbStart - first, last - first,
                                           p.upsideDown);
}

// -1 when the pointer lies on the Min side of the thumb, +1 on the Max side,
// 0 over the thumb.
int TTrackBar::sideOfThumb(QPoint pointer) const
{
    const TParts p = parts();
    const int at = along(pointer);
    const int side = at < along(p.thumb.topLeft()) ? -1 : at > along(p.thumb.bottomRight()) ? 1 : 0;
    return p.upsideDown ? -side : side;
}

void TTrackBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    e->accept();
    flushKeyEnd();
    // An action still running here never saw its release.
    endAction();
    const QPoint pointer = e->position().toPoint();
    if (FSliderVisible && thumbRect().contains(pointer))
        beginDrag(pointer);
    else
        beginPaging(pointer);
}

void TTrackBar::mouseDoubleClickEvent(QMouseEvent* e)
{
    // Qt delivers the second press of a double click as this event alone. It is
    // a plain press, so a double click in the channel makes two page steps.
    // Where a platform sends the press as well, that press has already acted.
    if (e->button() == Qt::LeftButton && FAction != TAction::None) {
        e->accept();
        return;
    }
    mousePressEvent(e);
}

void TTrackBar::mouseMoveEvent(QMouseEvent* e)
{
    if (FAction == TAction::None) {
        e->ignore();
        return;
    }
    e->accept();
    if (!(e->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a window took the input meanwhile).
        endAction();
        return;
    }
    FPointer = e->position().toPoint();
    if (FAction != TAction::Drag)
        return;
    const int target = valueAt(along(FPointer) - FDragOffset);
    if (target == value())
        return;
    setValue(target);
    report();
}

void TTrackBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || FAction == TAction::None) {
        e->ignore();
        return;
    }
    e->accept();
    const bool dragged = FAction == TAction::Drag;
    endAction();
    const unsigned serial = FActionSerial;
    if (dragged) {
        report(); // where the thumb was let go
        if (serial != FActionSerial)
            return;
    }
    report(); // the end of the action
}

void TTrackBar::wheelEvent(QWheelEvent* e)
{
    // Direction and size are QSlider's; only a turn that moves is reported.
    flushKeyEnd();
    const int before = value();
    QSlider::wheelEvent(e);
    if (value() != before)
        report();
}

bool TTrackBar::event(QEvent* e)
{
    // The mouse capture is taken away (the window shows a failure during a
    // drag): the action stops where it is, with no further report.
    if (e->type() == QEvent::UngrabMouse) {
        endAction();
        return true;
    }
    return QSlider::event(e);
}

void TTrackBar::hideEvent(QHideEvent* e)
{
    endAction();
    QSlider::hideEvent(e);
}

void TTrackBar::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled())
        endAction();
    QSlider::changeEvent(e);
}

void TTrackBar::initStyleOption(QStyleOptionSlider* option) const
{
    QSlider::initStyleOption(option);
    if (FAction == TAction::Drag) {
        option->activeSubControls = QStyle::SC_SliderHandle;
        option->state |= QStyle::State_Sunken;
    }
}

void TTrackBar::beginDrag(QPoint pointer)
{
    FAction = TAction::Drag;
    ++FActionSerial;
    FDragOffset = along(pointer) - along(thumbRect().topLeft());
    setSliderDown(true);
    syncTip();
    update();
}

void TTrackBar::beginPaging(QPoint pointer)
{
    FAction = TAction::Page;
    ++FActionSerial;
    FPointer = pointer;
    FPageDirection = sideOfThumb(pointer);
    FPageTimer.start(PageRepeatDelay);
    pageStep();
}

void TTrackBar::pageStep()
{
    // Once the thumb has reached the pointer the steps stop.
    if (FPageDirection == 0 || sideOfThumb(FPointer) != FPageDirection)
        return;
    moveTo(qint64(value()) + qint64(FPageDirection) * FPageSize);
    report();
}

void TTrackBar::pageTimerTick()
{
    // A modal window took the input: the release will not come here.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && !modal->isAncestorOf(this)) {
        endAction();
        return;
    }
    // A handler still running (in a nested event loop) gets no report nested
    // inside its own.
    if (FReportDepth > 0)
        return;
    FPageTimer.setInterval(PageRepeatInterval);
    pageStep();
}

void TTrackBar::endAction()
{
    FAction = TAction::None;
    ++FActionSerial;
    FPageTimer.stop();
    if (isSliderDown())
        setSliderDown(false);
    syncTip();
    update();
}

void TTrackBar::syncTip()
{
    if (FAction != TAction::Drag || FPositionToolTip == ptNone || !isVisible()) {
        if (FTip)
            FTip->hide();
        return;
    }
    if (!FTip)
        FTip = new TPositionTip(this);
    const QRect thumb = thumbRect();
    FTip->showBeside(QRect(mapToGlobal(thumb.topLeft()), thumb.size()), tipEdge(FPositionToolTip),
                     value());
}
