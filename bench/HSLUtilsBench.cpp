// Cost of the HSL conversions over each arithmetic: one conversion at a time
// (in a scrambled order, so that branch prediction does not learn a sweep),
// and one whole pass over every color and every scaled triple.
#include "HSLUtils/HslAlgorithms.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using namespace HSLUtils;

constexpr std::uint32_t ColorCount = 0x1000000;
constexpr std::uint32_t Side = HslScale + 1; // scaled values 0 to 240
constexpr std::uint32_t TripleCount = Side * Side * Side;

// Multiplying by an odd constant permutes the indices modulo a power of two;
// for the triples, any step coprime to 241^3 permutes them.
constexpr std::uint32_t Scramble = 2654435761u;

template <class Real> void ColorToHslScaledEach(benchmark::State& state)
{
    std::uint32_t i = 0;
    std::int32_t h = 0, s = 0, l = 0;
    for (auto _ : state) {
        const auto color = static_cast<TColor>((i++ * Scramble) & (ColorCount - 1));
        Algorithms::ColorToHslScaled<Real>(color, h, s, l);
        benchmark::DoNotOptimize(h);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(l);
    }
    state.SetItemsProcessed(state.iterations());
}

template <class Real> void HslScaledToColorEach(benchmark::State& state)
{
    std::uint64_t i = 0;
    for (auto _ : state) {
        const auto n = static_cast<std::uint32_t>((i++ * Scramble) % TripleCount);
        const auto h = static_cast<std::int32_t>(n / (Side * Side));
        const auto s = static_cast<std::int32_t>(n / Side % Side);
        const auto l = static_cast<std::int32_t>(n % Side);
        benchmark::DoNotOptimize(Algorithms::HslScaledToColor<Real>(h, s, l));
    }
    state.SetItemsProcessed(state.iterations());
}

// Both directions over their whole domains, 30,774,737 conversions, in order.
template <class Real> void ExhaustivePass(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (TColor color = 0; color < static_cast<TColor>(ColorCount); ++color) {
            std::int32_t h = 0, s = 0, l = 0;
            Algorithms::ColorToHslScaled<Real>(color, h, s, l);
            sum += static_cast<std::uint64_t>(h + s + l);
        }
        for (std::int32_t h = 0; h <= HslScale; ++h)
            for (std::int32_t s = 0; s <= HslScale; ++s)
                for (std::int32_t l = 0; l <= HslScale; ++l)
                    sum += static_cast<std::uint32_t>(Algorithms::HslScaledToColor<Real>(h, s, l));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (ColorCount + TripleCount));
}

BENCHMARK_TEMPLATE(ColorToHslScaledEach, Extended80);
BENCHMARK_TEMPLATE(HslScaledToColorEach, Extended80);
BENCHMARK_TEMPLATE(ExhaustivePass, Extended80)->Iterations(1)->Unit(benchmark::kSecond);
#if HSLUTILS_NATIVE_EXTENDED
BENCHMARK_TEMPLATE(ColorToHslScaledEach, NativeExtended);
BENCHMARK_TEMPLATE(HslScaledToColorEach, NativeExtended);
BENCHMARK_TEMPLATE(ExhaustivePass, NativeExtended)->Iterations(1)->Unit(benchmark::kSecond);
#endif

} // namespace

BENCHMARK_MAIN();
