#pragma once
// The pick on a frozen frame that the desktop portal's Screenshot took (GNOME
// and KDE on Wayland): one call, then the picture over every monitor
// (FrozenScreens), sampled live so that the window's fields follow the
// pointer, ending itself when the user picks or cancels there. Where the
// portal refuses the picture (GNOME's question denied, KDE with no Pictures
// folder, no portal), the same pick goes on at once by the fallback way.
#include "platform/DesktopPicker.h"
#include "platform/FrozenDesktop.h"
#include "platform/portal/ScreenshotPortal.h"

#include <functional>
#include <memory>

class ScreenshotPicker final : public DesktopPicker {
public:
    using Fallback = std::function<std::unique_ptr<DesktopPicker>()>;

    // `fallback` makes the way that takes over a refused pick, when one is;
    // `show` shows the picture (the toolkit's windows unless told otherwise).
    explicit ScreenshotPicker(Fallback fallback, FrozenDesktop::Show show = {});
    ~ScreenshotPicker() override;

    void start(const QWindow* window, Handlers handlers) override;
    void stop() override;
    bool isRunning() const override;
    DesktopPixels* live() override;

    // The frozen frame while it shows; null otherwise.
    FrozenDesktop* screens() const { return FScreens.get(); }
    // The way the last refused pick went on by; null when none.
    DesktopPicker* fallback() const { return FFallback.get(); }

private:
    void onTaken(const QImage& picture);
    void onShown(const QString& failure);
    void fallBack();

    Fallback FMakeFallback;
    FrozenDesktop::Show FShow;
    ScreenshotPortal FPortal;
    std::unique_ptr<FrozenDesktop> FScreens;
    std::unique_ptr<FrozenDesktop> FEndedScreens; // hidden, kept until it is safe to delete
    bool FShown = false;                          // the frame is up
    std::unique_ptr<DesktopPicker> FFallback;
    const QWindow* FWindow = nullptr;
    Handlers FHandlers;
};
