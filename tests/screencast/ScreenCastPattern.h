#pragma once
// The picture the test source sends: every pixel a color of its own position
// and of the source's number, so that a pixel read at the wrong place, from
// the wrong monitor or with channels swapped is another color.
#include <cstdint>

struct PatternRgb {
    std::uint8_t r, g, b;
};

inline PatternRgb PatternAt(int x, int y, int source)
{
    return {static_cast<std::uint8_t>(x * 3 + y * 7 + source * 101),
            static_cast<std::uint8_t>(x * 11 + y * 2 + source * 37),
            static_cast<std::uint8_t>((x ^ (y << 1)) + source * 59)};
}

// The same as a packed color 0x00BBGGRR.
inline std::int32_t PatternColorAt(int x, int y, int source)
{
    const PatternRgb c = PatternAt(x, y, source);
    return c.r | c.g << 8 | c.b << 16;
}
