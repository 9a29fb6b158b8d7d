#include "frmMain/PickerLoupe.h"

#include "frmMain/ColorText.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

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

// Diagonal stripes two pixels wide, in the loupe's own pixels so that neighbouring
// cells join up.
void hatch(QImage& image, QRect cell)
{
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x)
            image.setPixel(x, y, (x + y) / 2 % 2 == 0 ? HatchLight : HatchDark);
    }
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

PickerLoupe::PickerLoupe()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its window
    setFocusPolicy(Qt::NoFocus);
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
        FImage = render(block);
        FText = HtmlColorText(block.pixel.color);
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
    QWidget::hideEvent(event);
}

void PickerLoupe::paintEvent(QPaintEvent*)
{
    // One image pixel on each device pixel: the cells stay crisp at any scale.
    FImage.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.fillRect(rect(), FrameColor);
    painter.drawImage(QPointF(0, 0), FImage);
}

QImage PickerLoupe::render(const Block& block) const
{
    QImage image(loupeSize(), QImage::Format_RGB32);
    image.fill(FrameColor);
    QPainter painter(&image);
    painter.fillRect(QRect(Frame, Frame, GridSide - 2 * Frame, GridSide - 2 * Frame), GridColor);
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
            const HSLUtils::TColor cell = block.at(dx, dy);
            if (cell == Block::Outside)
                hatch(image, cellRect(dx, dy));
            else
                painter.fillRect(cellRect(dx, dy), colorOf(cell));
        }
    }
    // The centre: a white ring on the grid lines around it and a black ring just inside,
    // one of which stands out on any color.
    const QRect centre = cellRect(0, 0);
    const QRect outer = centre.adjusted(-GridLine, -GridLine, GridLine, GridLine);
    painter.fillRect(outer, Qt::white);
    painter.fillRect(centre, Qt::black);
    painter.fillRect(centre.adjusted(1, 1, -1, -1), colorOf(block.at(0, 0)));

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, GridSide, GridSide, TextHeight), Qt::AlignCenter,
                     HtmlColorText(block.pixel.color));
    return image;
}
