#pragma once
// The magnifier beside the pointer while the desktop is picked from: the block of
// desktop pixels around the pointer, each pixel a square of 8 x 8 device pixels, the
// centre ringed, and the centre's hex text below. It floats above every window, takes
// no focus and lets every click through to the window below it.
//
// Everything here is in desktop pixels (the screen's physical pixels), whatever scale
// the interface is drawn at: the loupe paints device pixels one for one.
#include "platform/DesktopPixels.h"

#include <QImage>
#include <QRasterWindow>
#include <memory>
#include <optional>

class QPainter;

// A window of its own rather than a widget: the loupe moves at every tick, and a
// widget's window asks the X server for its frame at every move.
class PickerLoupe : public QRasterWindow {
public:
    static constexpr int CellSize = 8;
    static constexpr int GapToPointer = 24;

    // `owner`, the program's window when there is one.
    explicit PickerLoupe(QWindow* owner = nullptr);
    ~PickerLoupe() override;

    // Shows `block` beside its centre, on the centre's monitor; a block and place equal
    // to the ones shown change nothing.
    void showBlock(const DesktopPixels::Block& block);
    // Whether `pointer` lies where the loupe stands or stood until its last move, where
    // the screen may still show it.
    bool covers(QPoint pointer) const;
    // Moves the loupe beside `pointer` on the monitor it is on, showing what it showed.
    void moveClear(QPoint pointer);
    // One step of following the pointer: a pointer where the loupe stands reads
    // nothing and moves it clear (nullopt); elsewhere the block around the pointer
    // is read once and shown, or the loupe hides when its centre has no pixel.
    std::optional<DesktopPixels::Block> follow(DesktopPixels& desktop, QPoint pointer);

    // Where it stands.
    QRect placement() const { return FPlacement; }
    // The centre's hex text, as shown.
    QString text() const { return FText; }
    // What the loupe shows, drawn as its window is.
    QImage grab();

    // The loupe's size.
    static QSize loupeSize();
    // Where the loupe stands for `pointer`: right of and below it, flipped to the other
    // side near an edge of `monitor`, and always wholly on it (an empty monitor: anywhere).
    static QRect besidePointer(QPoint pointer, QRect monitor);
    // Where the cell `dx` columns right and `dy` rows below the centre lies in the loupe.
    static QRect cellRect(int dx, int dy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class HexGlyphs;

    void placeAt(QRect placement);
    void paint(QPainter& painter);
    static QImage emptyLoupe();
    // Draws `block` and the text into the image shown.
    void render(const DesktopPixels::Block& block);

    DesktopPixels::Block FBlock;
    QRect FMonitor;
    QRect FPlacement;
    QRect FPreviousPlacement;
    QString FText;
    QImage FImage;
    std::unique_ptr<HexGlyphs> FGlyphs; // made at the first drawing
};
