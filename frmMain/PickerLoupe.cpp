#include "frmMain/PickerLoupe.h"

#include "frmMain/ColorText.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
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

QColor colorOf(HSLUtils::TColor packed)
{
    return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

// A cell of one color, written straight into the image's rows: a tick draws 225 of them,
// and a painter's fill sets up clipping and blending for each.
void fill(QImage& image, QRect cell, QRgb color)
{
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + cell.left(), row + cell.right() + 1, color);
    }
}

// Diagonal stripes two pixels wide, in the loupe's own pixels so that neighbouring
// cells join up.
void hatch(QImage& image, QRect cell)
{
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = cell.left(); x <= cell.right(); ++x)
            row[x] = (x + y) / 2 % 2 == 0 ? HatchLight : HatchDark;
    }
}

QFont textFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    return font;
}

// The screen whose desktop pixels hold `point`. Qt keeps each screen's top left corner
// and scales what lies beyond it.
QScreen* screenHolding(QPoint point)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const QRect physical(logical.topLeft(), logical.size() * screen->devicePixelRatio());
        if (physical.contains(point))
            return screen;
    }
    return QGuiApplication::primaryScreen();
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

    // Writes `text` centred on the row of `image` from `top` down; false when one of its
    // characters has no glyph here.
    bool draw(QImage& image, int top, const QString& text) const
    {
        const int left = (image.width() - FAdvance * static_cast<int>(text.size())) / 2;
        if (left < 0)
            return false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto glyph = FGlyphs.find(text[i]);
            if (glyph == FGlyphs.end())
                return false;
            for (int y = 0; y < TextHeight; ++y) {
                const QRgb* from = reinterpret_cast<const QRgb*>(glyph->second.constScanLine(y));
                std::copy(from, from + FAdvance,
                          reinterpret_cast<QRgb*>(image.scanLine(top + y)) + left +
                              FAdvance * static_cast<int>(i));
            }
        }
        return true;
    }

private:
    int FAdvance = 0;
    std::map<QChar, QImage> FGlyphs;
};

PickerLoupe::~PickerLoupe() = default;

PickerLoupe::PickerLoupe(QWindow* owner)
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
             Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus |
             Qt::WindowTransparentForInput);
    setProperty("_q_showWithoutActivating", true);
    // Owned by the program's window, it keeps the program from running on once that
    // window is closed.
    setTransientParent(owner);
}

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
    if (FImage.isNull() || block.cells != FBlock.cells) {
        FText = HtmlColorText(block.pixel.color);
        render(block);
        update();
    }
    FBlock = block;
    FMonitor = block.monitor;
    const QRect place = besidePointer(block.centre, block.monitor);
    if (!isVisible()) {
        placeAt(place);
        show();
        raise();
    } else if (place != FPlacement)
        placeAt(place);
    else
        FPreviousPlacement = {}; // it stood still for a tick: the screen shows it here
}

bool PickerLoupe::covers(QPoint pointer) const
{
    return isVisible() && (FPlacement.contains(pointer) || FPreviousPlacement.contains(pointer));
}

void PickerLoupe::moveClear(QPoint pointer)
{
    placeAt(besidePointer(pointer, FMonitor));
}

std::optional<Block> PickerLoupe::follow(DesktopPixels& desktop, QPoint pointer)
{
    if (covers(pointer)) {
        moveClear(pointer); // the loupe's own pixels are no color to pick
        return std::nullopt;
    }
    const Block block = desktop.blockAt(pointer);
    if (block.pixel.status == DesktopPixels::Pixel::Status::Color)
        showBlock(block);
    else
        hide();
    return block;
}

void PickerLoupe::placeAt(QRect place)
{
    QScreen* screen = screenHolding(place.topLeft());
    const qreal ratio = screen->devicePixelRatio();
    const QPoint origin = screen->geometry().topLeft();
    // The window can only stand on whole interface pixels: it stands on the nearest one
    // up and left, which is still on the monitor.
    const QPoint offset(static_cast<int>(std::floor((place.left() - origin.x()) / ratio)),
                        static_cast<int>(std::floor((place.top() - origin.y()) / ratio)));
    place.moveTopLeft(origin + QPoint(static_cast<int>(std::lround(offset.x() * ratio)),
                                      static_cast<int>(std::lround(offset.y() * ratio))));
    FPreviousPlacement = isVisible() ? FPlacement : QRect();
    FPlacement = place;
    setScreen(screen);
    setGeometry(QRect(origin + offset, QSize(static_cast<int>(std::ceil(place.width() / ratio)),
                                             static_cast<int>(std::ceil(place.height() / ratio)))));
    raise();
}

void PickerLoupe::hideEvent(QHideEvent* event)
{
    FPreviousPlacement = {};
    QRasterWindow::hideEvent(event);
}

void PickerLoupe::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
}

QImage PickerLoupe::grab()
{
    QImage image(size() * devicePixelRatio(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio());
    QPainter painter(&image);
    paint(painter);
    return image;
}

void PickerLoupe::paint(QPainter& painter)
{
    // One image pixel on each device pixel: the cells stay crisp at any scale.
    FImage.setDevicePixelRatio(devicePixelRatio());
    painter.fillRect(QRect(QPoint(0, 0), size()), FrameColor);
    painter.drawImage(QPointF(0, 0), FImage);
}

// The parts that never change: the frame, the grid lines between the cells and the
// white ring on the grid lines around the centre.
QImage PickerLoupe::emptyLoupe()
{
    QImage image(loupeSize(), QImage::Format_RGB32);
    image.fill(FrameColor);
    fill(image, QRect(Frame, Frame, GridSide - 2 * Frame, GridSide - 2 * Frame), GridColor.rgb());
    fill(image, cellRect(0, 0).adjusted(-GridLine, -GridLine, GridLine, GridLine),
         qRgb(255, 255, 255));
    return image;
}

void PickerLoupe::render(const Block& block)
{
    if (FImage.isNull())
        FImage = emptyLoupe();
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
            const HSLUtils::TColor cell = block.at(dx, dy);
            if (cell == Block::Outside)
                hatch(FImage, cellRect(dx, dy));
            else
                fill(FImage, cellRect(dx, dy), colorOf(cell).rgb());
        }
    }
    // The centre: a black ring just inside the white one, one of which stands out on any
    // color.
    const QRect centre = cellRect(0, 0);
    fill(FImage, centre, qRgb(0, 0, 0));
    fill(FImage, centre.adjusted(1, 1, -1, -1), colorOf(block.at(0, 0)).rgb());

    const QRect textRow(0, GridSide, GridSide, TextHeight);
    fill(FImage, textRow, FrameColor.rgb());
    if (!FGlyphs)
        FGlyphs = std::make_unique<HexGlyphs>(textFont());
    if (FGlyphs->draw(FImage, GridSide, FText))
        return;
    fill(FImage, textRow, FrameColor.rgb());
    QPainter painter(&FImage);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    painter.drawText(textRow, Qt::AlignCenter, FText);
}
