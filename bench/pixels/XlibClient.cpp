#include "XlibClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

XlibClient::XlibClient() : m_display(XOpenDisplay(nullptr))
{
    if (m_display != nullptr)
        m_root = DefaultRootWindow(m_display);
}

XlibClient::~XlibClient()
{
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

unsigned long XlibClient::imagePixel(QPoint at)
{
    XImage* image = XGetImage(m_display, m_root, at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

unsigned long XlibClient::imageBlock(QPoint centre, int side)
{
    const QPoint corner = centre - QPoint(side / 2, side / 2);
    XImage* image =
        XGetImage(m_display, m_root, corner.x(), corner.y(), static_cast<unsigned>(side),
                  static_cast<unsigned>(side), AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    unsigned long sum = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            sum += XGetPixel(image, x, y);
    }
    XDestroyImage(image);
    return sum;
}

QPoint XlibClient::pointer()
{
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    XQueryPointer(m_display, m_root, &root, &child, &rootX, &rootY, &windowX, &windowY, &buttons);
    return {rootX, rootY};
}

void XlibClient::movePointer(QPoint to)
{
    XWarpPointer(m_display, None, m_root, 0, 0, 0, 0, to.x(), to.y());
    XSync(m_display, False);
}
