#pragma once
// One pick from the command line: the grabbed pointer aims, a left click or
// Enter reads the physical pixel under it as the window's picker reads it, and
// the color goes to stdout in the asked format.
#include "frmMain/ColorFormat.h"

#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

class DesktopPixels;
class QSocketNotifier;
class SystemColors;
class X11PointerGrab;

class PickSession : public QObject {
    Q_OBJECT
public:
    // The exit status a pick ends with.
    enum Status { Picked = 0, Cancelled = 1, Failed = 2 };

    PickSession(std::unique_ptr<X11PointerGrab> grab, DesktopPixels& pixels,
                const SystemColors& colors, ColorFormat format);
    ~PickSession() override;

    // Whether something of the program's own (the loupe) may show on the screen at a
    // point: a pick there waits until it has moved clear, so that its pixels are never
    // the color picked.
    std::function<bool(QPoint)> OwnPixelsAt;

signals:
    // Where the pointer is, in physical pixels: what a loupe follows.
    void pointerMoved(QPoint at);
    // The pick is over: the grab is released and the color, if any, printed.
    void finished(int status);

private:
    void readInput();
    void pickAt(QPoint at);
    void finish(Status status, const QString& failure = {});

    std::unique_ptr<X11PointerGrab> FGrab;
    DesktopPixels& FPixels;
    const SystemColors& FColors;
    ColorFormat FFormat;
    QSocketNotifier* FNotifier;
};
