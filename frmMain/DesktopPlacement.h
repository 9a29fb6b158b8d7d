#pragma once
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window of outer size `window` goes to sit in the middle of the
// desktop `desktop` (all monitors together): each half truncated toward zero,
// never left of or above the desktop's corner.
constexpr QPoint CentredOnDesktop(const QRect& desktop, const QSize& window)
{
    int left = desktop.width() / 2 + desktop.left() - window.width() / 2;
    int top = desktop.height() / 2 + desktop.top() - window.height() / 2;
    if (left < desktop.left())
        left = desktop.left();
    if (top < desktop.top())
        top = desktop.top();
    return {left, top};
}

// Where the client area goes when a window whose frame is `frame` wide on each
// side of a client area of size `client` sits in the middle of the desktop by
// its outer edges.
constexpr QPoint ClientCentredOnDesktop(const QRect& desktop, const QSize& client,
                                        const QMargins& frame)
{
    return CentredOnDesktop(desktop, client.grownBy(frame)) + QPoint(frame.left(), frame.top());
}
