#include "frmMain/PickerLoupe.h"

#include "frmMain/ColorText.h"
#include "platform/PackedColor.h"

#include <QFontDatabase>
#include <QPainter>
#include <algorithm>
#include <map>

namespace {

using Block = DesktopPixels::Block;

constexpr int Frame = 1;
constexpr int GridLine = 1;
constexpr int Pitch = PickerLoupe::CellSize + GridLine;
constexpr int GridSide = Frame + Block::Side * Pitch - GridLine + Frame;
constexpr int TextHeight = 20;

const QColor FrameColor(0x20, 0x20, 0x20);
const QColor GridColor(0x50, 0x50, 0x50);
const QRgb HatchLight = qRgb(0xB4, 0xB4, 0xB4);
const QRgb HatchDark = qRgb(0x8C, 0x8C, 0x8C);

// The picture's pixels, written straight: a tick draws 225 cells, and a painter's fill
// sets up clipping and blending for each, as asking the image for each row checks
// whether it is shared.
class Rows {
public:
    explicit Rows(QImage& image)
        : FFirst(reinterpret_cast<QRgb*>(image.bits())), FStride(image.bytesPerLine() / 4)
    {}
    QRgb* operator[](int y) const { return FFirst + y * FStride; }

private:
    QRgb* FFirst;
    qsizetype FStride;
};

// A cell of one color.
void fill(const Rows& rows, QRect cell, QRgb color)
{
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        std::fill(rows[y] + cell.left(), rows[y] + cell.right() + 1, color);
}

// Diagonal stripes two pixels wide, in the loupe's own pixels so that neighbouring
// cells join up.
void hatch(const Rows& rows, QRect cell)
{
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x)
            rows[y][x] = (x + y) / 2 % 2 == 0 ? HatchLight : HatchDark;
    }
}

QFont textFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    return font;
}

} // namespace

// The hex text's characters, each drawn once on the frame's color at the fixed font's
// advance: laying out and shaping the text anew was most of the cost of drawing the loupe
// at every tick. A fixed-width font puts each character at a whole multiple of one
// advance, so the characters side by side are the text.
class PickerLoupe::HexGlyphs {
public:
    explicit HexGlyphs(const QFont& font)
    {
        const QFontMetrics metrics(font);
        FAdvance = metrics.horizontalAdvance(QLatin1Char('0'));
        if (FAdvance <= 0)
            return; // no glyphs: the text is drawn as text
        const int baseline = (TextHeight - metrics.height()) / 2 + metrics.ascent();
        for (const QChar c : QStringLiteral("#0123456789ABCDEF")) {
            if (metrics.horizontalAdvance(c) != FAdvance)
                continue; // drawn as text instead
            QImage glyph(FAdvance, TextHeight, QImage::Format_RGB32);
            glyph.fill(FrameColor);
            QPainter painter(&glyph);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QPoint(0, baseline), QString(c));
            FGlyphs.emplace(c, glyph);
        }
    }

    // Writes `text` centred on the row `width` wide from `top` down; false when one of
    // its characters has no glyph here.
    bool draw(const Rows& rows, int width, int top, const QString& text) const
    {
        const int left = (width - FAdvance * static_cast<int>(text.size())) / 2;
        if (left < 0)
            return false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto glyph = FGlyphs.find(text[i]);
            if (glyph == FGlyphs.end())
                return false;
            for (int y = 0; y < TextHeight; ++y) {
                const QRgb* from = reinterpret_cast<const QRgb*>(glyph->second.constScanLine(y));
                std::copy(from, from + FAdvance,
                          rows[top + y] + left + FAdvance * static_cast<int>(i));
            }
        }
        return true;
    }

private:
    int FAdvance = 0;
    std::map<QChar, QImage> FGlyphs;
};

PickerLoupe::~PickerLoupe()
{
    hide();
}

PickerLoupe::PickerLoupe(DesktopPixels& desktop) : FDesktop(desktop) {}

QSize PickerLoupe::loupeSize()
{
    return {GridSide, GridSide + TextHeight};
}

QRect PickerLoupe::cellRect(int dx, int dy)
{
    return {Frame + (dx + Block::Radius) * Pitch, Frame + (dy + Block::Radius) * Pitch, CellSize,
            CellSize};
}

QRect PickerLoupe::besidePointer(QPoint pointer, QRect monitor)
{
    QRect place(pointer + QPoint(GapToPointer, GapToPointer), loupeSize());
    if (monitor.isEmpty())
        return place;
    if (place.right() > monitor.right())
        place.moveRight(pointer.x() - GapToPointer);
    if (place.bottom() > monitor.bottom())
        place.moveBottom(pointer.y() - GapToPointer);
    place.moveLeft(std::clamp(place.left(), monitor.left(), monitor.right() + 1 - place.width()));
    place.moveTop(std::clamp(place.top(), monitor.top(), monitor.bottom() + 1 - place.height()));
    return place;
}

void PickerLoupe::showBlock(const Block& block)
{
    const bool newPicture = FImage.isNull() || block.cells != FBlock.cells;
    if (newPicture) {
        FText = HtmlColorText(block.pixel.color);
        render(block);
    }
    FBlock = block;
    FMonitor = block.monitor;
    const QRect place = besidePointer(block.centre, block.monitor);
    if (!FVisible || place != FPlacement) {
        placeAt(place);
        return;
    }
    if (newPicture)
        FVisible = FDesktop.showOverlay(place.topLeft(), FImage);
    FPreviousPlacement = {}; // it stood still for a tick: the screen shows it here
}

void PickerLoupe::hide()
{
    if (FVisible)
        FDesktop.hideOverlay();
    FVisible = false;
    FPreviousPlacement = {};
}

bool PickerLoupe::covers(QPoint pointer) const
{
    return FVisible && (FPlacement.contains(pointer) || FPreviousPlacement.contains(pointer));
}

void PickerLoupe::moveClear(QPoint pointer)
{
    placeAt(besidePointer(pointer, FMonitor));
}

std::optional<Block> PickerLoupe::follow(QPoint pointer)
{
    if (covers(pointer)) {
        moveClear(pointer); // the loupe's own pixels are no color to pick
        return std::nullopt;
    }
    // With no place to show the loupe, the block and its picture would be made for
    // nothing at every tick.
    if (!FDesktop.showsOverlays())
        return FDesktop.centreAt(pointer);
    const Block block = FDesktop.blockAt(pointer);
    if (block.pixel.status == DesktopPixels::Pixel::Status::Color)
        showBlock(block);
    else
        hide();
    return block;
}

void PickerLoupe::placeAt(QRect place)
{
    FPreviousPlacement = FVisible ? FPlacement : QRect();
    FPlacement = place;
    FVisible = FDesktop.showOverlay(place.topLeft(), FImage);
}

// The parts that never change: the frame, the grid lines between the cells and the
// white ring on the grid lines around the centre.
QImage PickerLoupe::emptyLoupe()
{
    QImage image(loupeSize(), QImage::Format_RGB32);
    image.fill(FrameColor);
    const Rows rows(image);
    fill(rows, QRect(Frame, Frame, GridSide - 2 * Frame, GridSide - 2 * Frame), GridColor.rgb());
    fill(rows, cellRect(0, 0).adjusted(-GridLine, -GridLine, GridLine, GridLine),
         qRgb(255, 255, 255));
    return image;
}

void PickerLoupe::render(const Block& block)
{
    if (FImage.isNull())
        FImage = emptyLoupe();
    const Rows rows(FImage);
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
            const HSLUtils::TColor cell = block.at(dx, dy);
            if (cell == Block::Outside)
                hatch(rows, cellRect(dx, dy));
            else
                fill(rows, cellRect(dx, dy), ToQRgb(cell));
        }
    }
    // The centre: a black ring just inside the white one, one of which stands out on any
    // color.
    const QRect centre = cellRect(0, 0);
    fill(rows, centre, qRgb(0, 0, 0));
    fill(rows, centre.adjusted(1, 1, -1, -1), ToQRgb(block.at(0, 0)));

    const QRect textRow(0, GridSide, GridSide, TextHeight);
    fill(rows, textRow, FrameColor.rgb());
    if (!FGlyphs)
        FGlyphs = std::make_unique<HexGlyphs>(textFont());
    if (FGlyphs->draw(rows, GridSide, GridSide, FText))
        return;
    fill(rows, textRow, FrameColor.rgb());
    QPainter painter(&FImage);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    painter.drawText(textRow, Qt::AlignCenter, FText);
}
