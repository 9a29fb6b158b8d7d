#include "sTrackBar/TTrackBar.h"

#include <algorithm>

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(FMin, FMax);
}

void TTrackBar::setPosition(int value)
{
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition)
        return;
    FPosition = value;
    setValue(value);
    if (OnChange)
        OnChange(this);
}

void TTrackBar::setMin(int value)
{
    if (value > FMax)
        return;
    FMin = value;
    setMinimum(value);
    setPosition(FPosition);
}

void TTrackBar::setMax(int value)
{
    if (value < FMin)
        return;
    FMax = value;
    setMaximum(value);
    setPosition(FPosition);
}

void TTrackBar::setTickStyle(TTickStyle value) { FTickStyle = value; }
void TTrackBar::setShowSelRange(bool value) { FShowSelRange = value; }
void TTrackBar::setPositionToolTip(TPositionToolTip value) { FPositionToolTip = value; }
