#include "sTrackBar/TsTrackBar.h"

TsTrackBar::TsTrackBar(QWidget* parent) : TTrackBar(parent) {}
