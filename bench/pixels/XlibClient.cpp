#include "XlibClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>

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

namespace {

// Where a visual's mask puts an 8-bit channel.
unsigned long channel(unsigned value, unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    int bits = 0;
    while ((mask >> bits) & 1)
        ++bits;
    return static_cast<unsigned long>(bits >= 8 ? value << (bits - 8) : value >> (8 - bits))
           << shift;
}

} // namespace

void XlibClient::showPattern(QRect at)
{
    const int screen = DefaultScreen(FDisplay);
    Visual* visual = DefaultVisual(FDisplay, screen);
    const auto depth = static_cast<unsigned>(DefaultDepth(FDisplay, screen));
    const auto width = static_cast<unsigned>(at.width());
    const auto height = static_cast<unsigned>(at.height());
    const Pixmap tile = XCreatePixmap(FDisplay, FRoot, width, height, depth);
    XImage* image =
        XCreateImage(FDisplay, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    image->data =
        static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    for (int y = 0; y < at.height(); ++y) {
        for (int x = 0; x < at.width(); ++x) {
            const unsigned red = static_cast<unsigned>(x * 5) & 0xFF;
            const unsigned green = static_cast<unsigned>(y * 3) & 0xFF;
            const unsigned blue = static_cast<unsigned>(x * 7 + y * 13) & 0xFF;
            XPutPixel(image, x, y,
                      channel(red, visual->red_mask) | channel(green, visual->green_mask) |
                          channel(blue, visual->blue_mask));
        }
    }
    const GC gc = XCreateGC(FDisplay, tile, 0, nullptr);
    XPutImage(FDisplay, tile, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(FDisplay, gc);
    XDestroyImage(image);

    XSetWindowAttributes attributes{};
    attributes.background_pixmap = tile;
    attributes.override_redirect = True; // stays where it is put, with or without a manager
    const Window window =
        XCreateWindow(FDisplay, FRoot, at.x(), at.y(), width, height, 0, static_cast<int>(depth),
                      InputOutput, visual, CWBackPixmap | CWOverrideRedirect, &attributes);
    XFreePixmap(FDisplay, tile);
    XMapRaised(FDisplay, window);
    XSync(FDisplay, False);
}
