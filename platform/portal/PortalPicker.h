#pragma once
// One pick by the desktop portal's own picker: nothing is sampled, the
// portal's answer ends the pick with its color, a cancel or a failure.
#include "platform/DesktopPicker.h"

class ColorPortal;

class PortalPicker : public DesktopPicker {
public:
    // Picks through `portal`, which outlives the picker.
    explicit PortalPicker(ColorPortal& portal);
    ~PortalPicker() override;

    void start(const QWindow* window, Handlers handlers) override;
    void stop() override;
    bool isRunning() const override;
    DesktopPixels* live() override { return nullptr; }

private:
    ColorPortal& FPortal;
};
