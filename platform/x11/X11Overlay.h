#pragma once
// A picture shown on an X11 desktop above every window, in the root window's pixels:
// a window the window manager leaves alone (no frame, no focus, no taskbar entry) and
// that every click passes through. It lives on the connection that reads the desktop,
// so that following the pointer costs requests that need no answer: a move is one
// ConfigureWindow, a new picture one PutImage, and neither waits for the server.
//
// The picture is the window's background: the server repaints whatever a move uncovers
// by itself, and no event ever comes back to this connection.
#include "platform/X11PixelFormat.h"

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <xcb/xcb.h>

class X11Overlay {
public:
    // `screen` and the format of its root's pixels, which the picture is written in.
    X11Overlay(xcb_connection_t* xcb, const xcb_screen_t& screen, X11PixelFormat format);
    ~X11Overlay();
    X11Overlay(const X11Overlay&) = delete;
    X11Overlay& operator=(const X11Overlay&) = delete;

    // Shows `picture` with its top left corner at `at`, raised above every window. The
    // picture is sent only when its contents are not the ones shown, and the window moves
    // only when it stands elsewhere. False when the picture cannot be written in the
    // screen's pixels.
    bool show(QPoint at, const QImage& picture);
    void hide();

private:
    void create(QSize size);
    void destroy();
    bool upload(const QImage& picture);

    xcb_connection_t* FXcb;
    xcb_window_t FRoot;
    std::uint8_t FDepth;
    xcb_visualid_t FVisual;
    X11PixelFormat FFormat;

    xcb_window_t FWindow = XCB_NONE;
    xcb_pixmap_t FPixmap = XCB_NONE;
    xcb_gcontext_t FGc = XCB_NONE;
    QSize FSize;
    qint64 FPictureKey = 0; // the shown picture's QImage::cacheKey
    QPoint FAt;
    bool FMapped = false;
};
