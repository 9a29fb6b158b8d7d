#include "platform/X11PixelFormat.h"

#include <bit>

X11PixelFormat::X11PixelFormat(int bitsPerPixel, bool mostSignificantByteFirst,
                               std::uint32_t redMask, std::uint32_t greenMask,
                               std::uint32_t blueMask, int scanlinePad)
    : FScanlinePad(scanlinePad > 0 ? scanlinePad : 32), FMsbFirst(mostSignificantByteFirst)
{
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return;
    const auto red = channel(redMask, bitsPerPixel);
    const auto green = channel(greenMask, bitsPerPixel);
    const auto blue = channel(blueMask, bitsPerPixel);
    if (!red || !green || !blue)
        return;
    FRed = *red;
    FGreen = *green;
    FBlue = *blue;
    FBytesPerPixel = bitsPerPixel / 8;
}

std::optional<X11PixelFormat::Channel> X11PixelFormat::channel(std::uint32_t mask, int bitsPerPixel)
{
    if (mask == 0 || (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0))
        return std::nullopt;
    const int shift = std::countr_zero(mask);
    const std::uint32_t bits = mask >> shift;
    if ((bits & (bits + 1)) != 0) // not one run of ones
        return std::nullopt;
    return Channel{mask, shift, bits};
}

std::size_t X11PixelFormat::bytesPerRow(int width) const
{
    const int bits = width * FBytesPerPixel * 8;
    return static_cast<std::size_t>((bits + FScanlinePad - 1) / FScanlinePad * FScanlinePad / 8);
}

std::uint32_t X11PixelFormat::Channel::to8Bits(std::uint32_t pixel) const
{
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>(value * 65535 / max >> 8);
}

std::uint32_t X11PixelFormat::Channel::from8Bits(std::uint32_t value) const
{
    return static_cast<std::uint32_t>((std::uint64_t{value} * max + 127) / 255) << shift;
}

std::optional<HSLUtils::TColor> X11PixelFormat::decode(std::span<const std::uint8_t> image) const
{
    if (!readable() || image.size() < static_cast<std::size_t>(FBytesPerPixel))
        return std::nullopt;
    std::uint32_t pixel = 0;
    for (int i = 0; i < FBytesPerPixel; ++i) {
        const std::uint32_t byte = image[static_cast<std::size_t>(i)];
        if (FMsbFirst)
            pixel = pixel << 8 | byte;
        else
            pixel |= byte << (8 * i);
    }
    return static_cast<HSLUtils::TColor>(FRed.to8Bits(pixel) | FGreen.to8Bits(pixel) << 8 |
                                         FBlue.to8Bits(pixel) << 16);
}

bool X11PixelFormat::encode(HSLUtils::TColor color, std::span<std::uint8_t> image) const
{
    if (!readable() || image.size() < static_cast<std::size_t>(FBytesPerPixel))
        return false;
    const auto packed = static_cast<std::uint32_t>(color);
    const std::uint32_t pixel = FRed.from8Bits(packed & 0xFF) |
                                FGreen.from8Bits(packed >> 8 & 0xFF) |
                                FBlue.from8Bits(packed >> 16 & 0xFF);
    for (int i = 0; i < FBytesPerPixel; ++i) {
        const int shift = FMsbFirst ? 8 * (FBytesPerPixel - 1 - i) : 8 * i;
        image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(pixel >> shift);
    }
    return true;
}

bool X11PixelFormat::sameAsQRgb() const
{
    constexpr bool msbFirstHere = std::endian::native == std::endian::big;
    return FBytesPerPixel == 4 && FMsbFirst == msbFirstHere && FRed.mask == 0xFF0000 &&
           FGreen.mask == 0x00FF00 && FBlue.mask == 0x0000FF;
}
