#pragma once
// A desktop whose pointer positions and pixels are scripted. Each read takes the next
// answer of its script; the last answer repeats once the script has run out, as for a
// pointer resting over one color; an empty script answers as a desktop that cannot be
// read. Every read is counted, and where pixels were asked for.
#include "platform/DesktopPixels.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <type_traits>
#include <vector>

class ScriptedDesktopPixels final : public DesktopPixels {
public:
    using Status = Pixel::Status;

    std::optional<QPoint> cursorPos() override
    {
        ++cursorReads;
        lastReadReachedScreen = !positions.empty();
        return next(positions, std::nullopt);
    }

    Pixel pixelAt(int x, int y) override
    {
        pixelPoints.emplace_back(x, y);
        lastReadReachedScreen = scene || !pixels.empty();
        if (scene)
            return onMonitor(QPoint(x, y)) ? Pixel{Status::Color, scene(QPoint(x, y))}
                                           : Pixel{Status::NoPixel};
        return next(pixels, Pixel{Status::NoAccess});
    }

    Block blockAt(QPoint centre) override
    {
        Block block;
        block.centre = centre;
        block.pixel = pixelAt(centre.x(), centre.y());
        for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
            for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
                const QPoint point = centre + QPoint(dx, dy);
                if (scene && onMonitor(point))
                    block.at(dx, dy) = scene(point);
            }
        }
        block.at(0, 0) = block.pixel.color;
        for (const QRect& monitor : monitors) {
            if (monitor.contains(centre))
                block.monitor = monitor;
        }
        return block;
    }

    bool screenReadable() const override { return lastReadReachedScreen; }

    // The overlay is shown as a desktop shows it: only a picture with new contents is
    // drawn again.
    bool showOverlay(QPoint at, const QImage& picture) override
    {
        if (!overlayAt || picture.cacheKey() != overlayPicture.cacheKey()) {
            overlayPicture = picture;
            ++overlayDrawings;
        }
        overlayAt = at;
        return true;
    }
    void hideOverlay() override { overlayAt.reset(); }
    bool showsOverlays() const override { return true; }

    int pixelReads() const { return static_cast<int>(pixelPoints.size()); }
    int reads() const { return cursorReads + pixelReads(); }

    std::deque<std::optional<QPoint>> positions{QPoint(0, 0)};
    std::deque<Pixel> pixels{{Status::Color, 0x000000}};
    int cursorReads = 0;
    std::vector<QPoint> pixelPoints; // one per pixelAt or blockAt, in order
    std::function<HSLUtils::TColor(QPoint)> scene;
    std::vector<QRect> monitors{QRect(0, 0, 1920, 1080)};
    bool lastReadReachedScreen = true;
    std::optional<QPoint> overlayAt; // where the overlay stands while shown
    QImage overlayPicture;           // the latest picture drawn
    int overlayDrawings = 0;

private:
    bool onMonitor(QPoint point) const
    {
        return std::any_of(monitors.begin(), monitors.end(),
                           [point](const QRect& monitor) { return monitor.contains(point); });
    }

    template <class T> static T next(std::deque<T>& script, std::type_identity_t<T> unreadable)
    {
        if (script.empty())
            return unreadable;
        T answer = script.front();
        if (script.size() > 1)
            script.pop_front();
        return answer;
    }
};
