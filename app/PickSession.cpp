#include "app/PickSession.h"

#include "app/ConsoleCommands.h"
#include "platform/DesktopPixels.h"
#include "platform/x11/X11PointerGrab.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

namespace {

// Long enough for a moved window to be drawn where it went: two picker ticks.
constexpr int ClearOfOwnPixelsMs = 100;

} // namespace

PickSession::PickSession(std::unique_ptr<X11PointerGrab> grab, DesktopPixels& pixels,
                         const SystemColors& colors, ColorFormat format)
    : FGrab(std::move(grab)), FPixels(pixels), FColors(colors), FFormat(format),
      FNotifier(new QSocketNotifier(FGrab->socket(), QSocketNotifier::Read, this))
{
    connect(FNotifier, &QSocketNotifier::activated, this, &PickSession::readInput);
    // Input read in with the grab's replies is queued already; the socket won't tell of it.
    QMetaObject::invokeMethod(this, &PickSession::readInput, Qt::QueuedConnection);
}

PickSession::~PickSession() = default;

void PickSession::readInput()
{
    // Events that came in with a reply wait in the connection's queue, where the
    // socket no longer signals them: take every one that is there.
    while (FGrab) {
        const std::optional<X11PointerGrab::Input> input = FGrab->nextInput();
        if (!input)
            break;
        switch (input->kind) {
        case X11PointerGrab::Input::Kind::Moved:
            emit pointerMoved(input->at);
            break;
        case X11PointerGrab::Input::Kind::PickAt:
            pickAt(input->at);
            break;
        case X11PointerGrab::Input::Kind::PickAtPointer:
            if (const std::optional<QPoint> at = FPixels.cursorPos())
                pickAt(*at);
            else
                finish(Failed, QStringLiteral("cannot read the pointer's position"));
            break;
        case X11PointerGrab::Input::Kind::Step:
            FGrab->movePointerBy(input->step);
            break;
        case X11PointerGrab::Input::Kind::Cancel:
            finish(Cancelled);
            break;
        }
    }
    if (FGrab && FGrab->broken())
        finish(Failed, QStringLiteral("the X server closed the connection"));
}

void PickSession::pickAt(QPoint at)
{
    if (OwnPixelsAt && OwnPixelsAt(at)) {
        emit pointerMoved(at); // the loupe moves clear of the point
        QTimer::singleShot(ClearOfOwnPixelsMs, this, [this, at] {
            if (FGrab)
                pickAt(at);
        });
        return;
    }
    const DesktopPixels::Pixel pixel = FPixels.pixelAt(at.x(), at.y());
    if (pixel.status != DesktopPixels::Pixel::Status::Color) {
        finish(Failed, QStringLiteral("cannot read the screen at %1,%2").arg(at.x()).arg(at.y()));
        return;
    }
    const QByteArray text = FormatColor(pixel.color, FFormat, FColors);
    FGrab.reset(); // the pointer is free before the color is out
    const bool written = WriteOut(text);
    finish(written ? Picked : Failed,
           written ? QString() : QStringLiteral("cannot write the color"));
}

void PickSession::finish(Status status, const QString& failure)
{
    FGrab.reset();
    FNotifier->setEnabled(false);
    if (!failure.isEmpty())
        std::fprintf(stderr, "huvella: %s\n", qPrintable(failure));
    emit finished(status);
}
