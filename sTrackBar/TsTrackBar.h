#pragma once
#include "sTrackBar/TTrackBar.h"

#include <QString>

class TsTrackBar : public TTrackBar {
    Q_OBJECT
public:
    explicit TsTrackBar(QWidget* parent = nullptr);

    // Raised after each movement the user makes; never by a property write.
    TNotifyEvent OnUserChange;

    struct {
        QString SkinSection = QStringLiteral("TRACKBAR");
    } SkinData;
};
