#pragma once
// How an X server lays out a TrueColor image: a pixel's size in bits, its byte order,
// which bits hold red, green and blue, and the bits a row is padded to.
#include "HSLUtils/HSLUtils.h"

#include <cstdint>
#include <optional>
#include <span>

class X11PixelFormat {
public:
    // An unreadable format (sizes other than 8, 16, 24 or 32 bits, a missing or broken
    // mask) gives a format whose decode always fails.
    X11PixelFormat(int bitsPerPixel, bool mostSignificantByteFirst, std::uint32_t redMask,
                   std::uint32_t greenMask, std::uint32_t blueMask, int scanlinePad = 32);

    bool readable() const { return FBytesPerPixel != 0; }
    int bytesPerPixel() const { return FBytesPerPixel; }
    // The bytes of one row of `width` pixels, padding included.
    std::size_t bytesPerRow(int width) const;

    // The packed 0x00BBGGRR color of the pixel whose bytes start `image`. A channel of n
    // bits maps to 8 bits as the X server itself reports that channel's intensity (the
    // high byte of value * 65535 / (2^n - 1)), so 8-bit channels pass unchanged and a
    // 5-bit 31 is 255. Nullopt when the format is unreadable or the bytes are too few.
    std::optional<HSLUtils::TColor> decode(std::span<const std::uint8_t> image) const;
    // Writes the pixel of the packed `color` into the first bytesPerPixel bytes of `image`,
    // each channel scaled to its bits to the nearest step; false when the format is
    // unreadable or the bytes are too few.
    bool encode(HSLUtils::TColor color, std::span<std::uint8_t> image) const;
    // Whether a pixel's bytes are those of a QRgb in memory (0xAARRGGBB as this machine
    // stores a 32-bit value, the alpha byte unused): such pixels need no converting.
    bool sameAsQRgb() const;

private:
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        std::uint32_t max = 0; // the channel's full intensity, 2^bits - 1
        std::uint32_t to8Bits(std::uint32_t pixel) const;
        std::uint32_t from8Bits(std::uint32_t value) const;
    };
    static std::optional<Channel> channel(std::uint32_t mask, int bitsPerPixel);

    int FBytesPerPixel = 0;
    int FScanlinePad = 32;
    bool FMsbFirst = false;
    Channel FRed, FGreen, FBlue;
};
