#pragma once
// The slider of the window's mixers: the plain slider plus a notification of
// the user's own movements, a longer thumb, and the settings a skin would use.
#include "sTrackBar/TTrackBar.h"

#include <QFlags>
#include <QString>

// Looks of a disabled slider in a skinned picture.
enum TDisabledKindItem : std::uint8_t { dkBlended = 0x01, dkGrayed = 0x02 };
Q_DECLARE_FLAGS(TDisabledKind, TDisabledKindItem)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDisabledKind)

// Pointer events that fade between skinned pictures; aeGlobalDef adds the
// application-wide choice.
enum TAnimatEvent : std::uint8_t {
    aeMouseEnter = 0x01,
    aeMouseLeave = 0x02,
    aeMouseDown = 0x04,
    aeMouseUp = 0x08,
    aeGlobalDef = 0x10
};
Q_DECLARE_FLAGS(TAnimatEvents, TAnimatEvent)
Q_DECLARE_OPERATORS_FOR_FLAGS(TAnimatEvents)

class TsTrackBar : public TTrackBar {
    Q_OBJECT
public:
    explicit TsTrackBar(QWidget* parent = nullptr);

    // The skin settings are kept only: no skin is ever loaded, so the slider
    // always paints in the platform style.
    TDisabledKind DisabledKind() const { return FDisabledKind; }
    void setDisabledKind(TDisabledKind value);
    TAnimatEvents AnimatEvents() const { return FAnimatEvents; }
    void setAnimatEvents(TAnimatEvents value) { FAnimatEvents = value; }
    bool ShowFocus() const { return FShowFocus; }
    void setShowFocus(bool value) { FShowFocus = value; }

    // Raised after each movement the user makes; never by a property write.
    TNotifyEvent OnUserChange;

    struct {
        QString SkinSection = QStringLiteral("TRACKBAR");
    } SkinData;

protected:
    void userMovement() override;

private:
    TDisabledKind FDisabledKind = dkBlended;
    TAnimatEvents FAnimatEvents = aeGlobalDef;
    bool FShowFocus = false;
};
