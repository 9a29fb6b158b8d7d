#include "sTrackBar/TsTrackBar.h"

TsTrackBar::TsTrackBar(QWidget* parent) : TTrackBar(parent)
{
    setThumbLength(23);
}

void TsTrackBar::setDisabledKind(TDisabledKind value)
{
    if (value == FDisabledKind)
        return;
    FDisabledKind = value;
    update();
}

void TsTrackBar::userMovement()
{
    if (OnUserChange)
        OnUserChange(this);
}
