#pragma once
// A desktop service that passes every read on to another and keeps count: the
// reads made, the last pointer and pixel answered, and when the last tick's
// reads began.
#include "platform/DesktopPixels.h"

#include <QElapsedTimer>
#include <functional>

class CountingDesktopPixels final : public DesktopPixels {
public:
    explicit CountingDesktopPixels(DesktopPixels& desktop) : FDesktop(desktop) { clock.start(); }

    std::optional<QPoint> cursorPos() override
    {
        ++pointerReads;
        pointerReadAt = clock.nsecsElapsed();
        lastPointer = FDesktop.cursorPos();
        if (lastPointer && onPointer)
            onPointer(*lastPointer);
        return lastPointer;
    }

    bool screenReadable() const override { return FDesktop.screenReadable(); }

    Pixel pixelAt(int x, int y) override
    {
        ++pixelReads;
        lastPixel = FDesktop.pixelAt(x, y);
        return lastPixel;
    }

    Block blockAt(QPoint centre) override
    {
        ++pixelReads;
        Block block = FDesktop.blockAt(centre);
        lastPixel = block.pixel;
        return block;
    }

    int pointerReads = 0;
    int pixelReads = 0;
    Pixel lastPixel;
    std::optional<QPoint> lastPointer;
    // Called with each pointer read, before the reader acts on it.
    std::function<void(QPoint)> onPointer;
    QElapsedTimer clock;
    qint64 pointerReadAt = 0; // ns on `clock`

private:
    DesktopPixels& FDesktop;
};
