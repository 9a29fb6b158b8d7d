#pragma once
// A bare Xlib client of the X server on $DISPLAY: the plainest reads there are, to
// measure the service against, and the pointer moves the benchmarks need. Xlib stays in
// the .cpp, away from Qt's headers.
#include <QPoint>
#include <QRect>
#include <cstdint>

class XlibClient {
public:
    XlibClient();
    ~XlibClient();
    XlibClient(const XlibClient&) = delete;
    XlibClient& operator=(const XlibClient&) = delete;

    bool connected() const { return FDisplay != nullptr; }

    // One XGetImage of 1 x 1 pixels of the root window; the raw pixel value.
    unsigned long imagePixel(QPoint at);
    // One XGetImage of the side x side pixels centred on `centre`; their pixel values' sum.
    unsigned long imageBlock(QPoint centre, int side);
    // One XQueryPointer on the root window.
    QPoint pointer();
    // Moves the pointer and waits until the server has done it.
    void movePointer(QPoint to);
    // Maps a window of this client at `at` whose every pixel differs from its neighbours,
    // as a photo or a gradient does: a pointer moving across it reads a new color at each
    // step. The server repaints it from its background on exposure, so this client costs
    // nothing while another program is measured over it.
    void showPattern(QRect at);

private:
    struct _XDisplay* FDisplay = nullptr;
    unsigned long FRoot = 0;
};
