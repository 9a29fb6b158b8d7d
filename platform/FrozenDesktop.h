#pragma once
// The desktop frozen in one picture and shown over every monitor until the
// user picks there or cancels: the point aimed at is a picture pixel, moved by
// the pointer and a pixel at a time by the arrow keys; a left click or Enter
// picks it, Escape or a right click cancels. As a DesktopPixels it reads the
// picture, and shows the loupe over it.
//
// Two families show it: the toolkit's fullscreen windows (portal/FrozenScreens,
// any session) and surfaces on the program's own Wayland connection
// (wlroots/WlrootsOverlay), whose input never wakes the toolkit's threads.
#include "platform/DesktopPixels.h"

#include <QString>
#include <functional>
#include <memory>

class QImage;

class FrozenDesktop : public DesktopPixels {
public:
    enum class Outcome { Picked, Cancelled, Failed };

    // The point aimed at moved.
    std::function<void()> moved;
    // The user picked (`color` is the aimed pixel's) or cancelled, or the desktop
    // took the frame away. Once, from the event loop; the frame is hidden by then.
    std::function<void(Outcome outcome, HSLUtils::TColor color)> finished;

    // Runs once from the event loop, never from inside the call that showed the
    // frame: with an empty failure when the frame is up (input counts from then
    // on), or why it is not.
    using Opened = std::function<void(const QString& failure)>;
    // Shows `picture`, all monitors in one, in physical pixels, as the portal's
    // screenshot holds them. Null when it cannot even begin.
    using Show = std::function<std::unique_ptr<FrozenDesktop>(const QImage& picture, Opened opened)>;
};
