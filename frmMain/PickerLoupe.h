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
#include <QString>
#include <memory>
#include <optional>

// Drawn by the desktop itself (DesktopPixels::showOverlay): on X11 a move of the loupe is
// then one request to the server, where a toolkit window costs several round trips.
class PickerLoupe {
public:
    static constexpr int CellSize = 8;
    static constexpr int GapToPointer = 24;

    // Shown on `desktop`, which outlives the loupe.
    explicit PickerLoupe(DesktopPixels& desktop);
    ~PickerLoupe();
    PickerLoupe(const PickerLoupe&) = delete;
    PickerLoupe& operator=(const PickerLoupe&) = delete;

    // Shows `block` beside its centre, on the centre's monitor; a block and place equal
    // to the ones shown change nothing.
    void showBlock(const DesktopPixels::Block& block);
    void hide();
    bool isVisible() const { return FVisible; }
    // Whether `pointer` lies where the loupe stands or stood until its last move, where
    // the screen may still show it.
    bool covers(QPoint pointer) const;
    // Moves the loupe beside `pointer` on the monitor it is on, showing what it showed.
    void moveClear(QPoint pointer);
    // One step of following the pointer: a pointer where the loupe stands reads
    // nothing and moves it clear (nullopt); elsewhere the block around the pointer
    // is read once and shown, or the loupe hides when its centre has no pixel. A
    // desktop that shows no loupe gives the pointer's pixel alone.
    std::optional<DesktopPixels::Block> follow(QPoint pointer);

    // The desktop it is shown on.
    DesktopPixels& desktop() const { return FDesktop; }
    // Where it stands.
    QRect placement() const { return FPlacement; }
    // The centre's hex text, as shown.
    QString text() const { return FText; }

    // The loupe's size.
    static QSize loupeSize();
    // Where the loupe stands for `pointer`: right of and below it, flipped to the other
    // side near an edge of `monitor`, and always wholly on it (an empty monitor: anywhere).
    static QRect besidePointer(QPoint pointer, QRect monitor);
    // Where the cell `dx` columns right and `dy` rows below the centre lies in the loupe.
    static QRect cellRect(int dx, int dy);

private:
    class HexGlyphs;

    void placeAt(QRect placement);
    static QImage emptyLoupe();
    // Draws `block` and the text into the picture shown.
    void render(const DesktopPixels::Block& block);

    DesktopPixels& FDesktop;
    bool FVisible = false;
    DesktopPixels::Block FBlock;
    QRect FMonitor;
    QRect FPlacement;
    QRect FPreviousPlacement;
    QString FText;
    QImage FImage;
    std::unique_ptr<HexGlyphs> FGlyphs; // made at the first drawing
};
