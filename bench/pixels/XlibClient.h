#pragma once
// A bare Xlib client of the X server on $DISPLAY: the plainest reads there are, to
// measure the service against, and the pointer moves the benchmarks need. Xlib stays in
// the .cpp, away from Qt's headers.
#include <QPoint>

class XlibClient {
public:
    XlibClient();
    ~XlibClient();
    XlibClient(const XlibClient&) = delete;
    XlibClient& operator=(const XlibClient&) = delete;

    // One XGetImage of 1 x 1 pixels of the root window; the raw pixel value.
    unsigned long imagePixel(QPoint at);
    // One XGetImage of the side x side pixels centred on `centre`; their pixel values' sum.
    unsigned long imageBlock(QPoint centre, int side);
    // One XQueryPointer on the root window.
    QPoint pointer();
    // Moves the pointer and waits until the server has done it.
    void movePointer(QPoint to);

private:
    struct _XDisplay* FDisplay = nullptr;
    unsigned long FRoot = 0;
};
