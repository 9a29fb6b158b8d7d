// The software arithmetic gives the same results as the hardware one on
// every input the program can pass: all 2^24 colors (fractions compared bit
// for bit) and every scaled triple with H 0 to 240 and S, L 0 to 240.
#include "HSLUtils/HslAlgorithms.h"
#include "Hex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace HSLUtils;

#if HSLUTILS_NATIVE_EXTENDED

// Counts mismatches and keeps the first few for the failure message.
class Mismatches {
public:
    void add(const std::string& what)
    {
        if (++FCount <= 10)
            FFirst.push_back(what);
    }
    long count() const { return FCount; }
    void merge(const Mismatches& other)
    {
        for (const std::string& s : other.FFirst)
            if (FFirst.size() < 10)
                FFirst.push_back(s);
        FCount += other.FCount;
    }
    std::string report() const
    {
        std::string text;
        for (const std::string& s : FFirst)
            text += "  " + s + "\n";
        return text;
    }

private:
    long FCount = 0;
    std::vector<std::string> FFirst;
};

// Runs check(i, mismatches) for i in [0, count), half of them on a second
// thread: the sanitizer build runs this about twice as fast on two cores.
template <class Check> Mismatches onTwoThreads(std::int32_t count, Check check)
{
    Mismatches first, second;
    std::thread helper([&] {
        for (std::int32_t i = count / 2; i < count; ++i)
            check(i, second);
    });
    for (std::int32_t i = 0; i < count / 2; ++i)
        check(i, first);
    helper.join();
    first.merge(second);
    return first;
}

TEST(HslExhaustive, EveryColorToHsl)
{
    const Mismatches mismatches = onTwoThreads(0x1000000, [](TColor color, Mismatches& found) {
        double soft[3], native[3];
        Algorithms::ColorToHsl<Extended80>(color, soft[0], soft[1], soft[2]);
        Algorithms::ColorToHsl<NativeExtended>(color, native[0], native[1], native[2]);
        if (std::memcmp(soft, native, sizeof soft) != 0)
            found.add(hex(color) + " fractions");
        std::int32_t s[3], n[3];
        Algorithms::ColorToHslScaled<Extended80>(color, s[0], s[1], s[2]);
        Algorithms::ColorToHslScaled<NativeExtended>(color, n[0], n[1], n[2]);
        if (std::memcmp(s, n, sizeof s) != 0)
            found.add(hex(color) + " scaled");
    });
    EXPECT_EQ(mismatches.count(), 0) << mismatches.report();
}

TEST(HslExhaustive, EveryScaledTripleToColor)
{
    const Mismatches mismatches = onTwoThreads(HslScale + 1, [](std::int32_t h, Mismatches& found) {
        for (std::int32_t s = 0; s <= HslScale; ++s)
            for (std::int32_t l = 0; l <= HslScale; ++l) {
                const TColor soft = Algorithms::HslScaledToColor<Extended80>(h, s, l);
                const TColor native = Algorithms::HslScaledToColor<NativeExtended>(h, s, l);
                if (soft != native)
                    found.add("(" + std::to_string(h) + ", " + std::to_string(s) + ", " +
                              std::to_string(l) + "): software " + hex(soft) + ", x87 " +
                              hex(native));
            }
    });
    EXPECT_EQ(mismatches.count(), 0) << mismatches.report();
}

#else

TEST(HslExhaustive, NeedsTheX87Format)
{
    GTEST_SKIP() << "long double is not the 80-bit extended format here";
}

#endif

} // namespace
