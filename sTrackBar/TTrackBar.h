#pragma once
// The slider: keeps its settings, hands them to the QSlider underneath, and
// turns the user's movements into a stored position and notifications.
#include "platform/Notify.h"

#include <QSlider>
#include <cstdint>

enum TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };
enum TTickMark : std::uint8_t { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle : std::uint8_t { tsNone, tsAuto, tsManual };
enum TPositionToolTip : std::uint8_t { ptNone, ptTop, ptLeft, ptBottom, ptRight };

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);

    int Position() const { return FPosition; }
    void setPosition(int value);
    int Min() const { return FMin; }
    void setMin(int value);
    int Max() const { return FMax; }
    void setMax(int value);

    TTickStyle TickStyle() const { return FTickStyle; }
    void setTickStyle(TTickStyle value);
    bool ShowSelRange() const { return FShowSelRange; }
    void setShowSelRange(bool value);
    TPositionToolTip PositionToolTip() const { return FPositionToolTip; }
    void setPositionToolTip(TPositionToolTip value);

    TNotifyEvent OnChange;

private:
    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    TTickStyle FTickStyle = tsAuto;
    bool FShowSelRange = true;
    TPositionToolTip FPositionToolTip = ptNone;
};
