#include "XlibClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

XlibClient::XlibClient() : FDisplay(XOpenDisplay(nullptr))
{
    if (FDisplay != nullptr)
        FRoot = DefaultRootWindow(FDisplay);
}

XlibClient::~XlibClient()
{
    if (FDisplay != nullptr)
        XCloseDisplay(FDisplay);
}

unsigned long XlibClient::imagePixel(QPoint at)
{
    XImage* image = XGetImage(FDisplay, FRoot, at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

unsigned long XlibClient::imageBlock(QPoint centre, int side)
{
    const QPoint corner = centre - QPoint(side / 2, side / 2);
    XImage* image = XGetImage(FDisplay, FRoot, corner.x(), corner.y(), static_cast<unsigned>(side),
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
    XQueryPointer(FDisplay, FRoot, &root, &child, &rootX, &rootY, &windowX, &windowY, &buttons);
    return {rootX, rootY};
}

void XlibClient::movePointer(QPoint to)
{
    XWarpPointer(FDisplay, None, FRoot, 0, 0, 0, 0, to.x(), to.y());
    XSync(FDisplay, False);
}
