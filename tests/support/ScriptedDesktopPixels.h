#pragma once
// A desktop whose pointer positions and pixels are scripted. Each read takes the next
// answer of its script; the last answer repeats once the script has run out, as for a
// pointer resting over one color; an empty script answers as a desktop that cannot be
// read. Every read is counted, and where pixels were asked for.
#include "platform/DesktopPixels.h"

#include <deque>
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
        lastReadReachedScreen = !pixels.empty();
        return next(pixels, Pixel{Status::NoAccess});
    }

    bool screenReadable() const override { return lastReadReachedScreen; }

    int pixelReads() const { return static_cast<int>(pixelPoints.size()); }
    int reads() const { return cursorReads + pixelReads(); }

    std::deque<std::optional<QPoint>> positions{QPoint(0, 0)};
    std::deque<Pixel> pixels{{Status::Color, 0x000000}};
    int cursorReads = 0;
    std::vector<QPoint> pixelPoints; // one per pixelAt, in order
    bool lastReadReachedScreen = true;

private:
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
