// One read of the pointer and the pixel under it through X11DesktopPixels, and of the
// pointer and the loupe's block around it, as each tick of the picker makes it, beside
// the floor: a bare one-pixel image read of the root window by a plain Xlib client. Run it on an X
// server: run-pixel-bench starts Xvfb and prints the ratios.
#include "XlibClient.h"
#include "platform/x11/X11DesktopPixels.h"

#include <benchmark/benchmark.h>

namespace {

constexpr QPoint restingAt(701, 403);

// Every read is of the pixel under the pointer: Xvfb's cursor is drawn in software and
// the server takes it off the screen for a read that it covers.
void BareImageRead(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imagePixel(restingAt));
}

void BareBlockRead(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imageBlock(restingAt, DesktopPixels::Block::Side));
}

void BarePointerThenImage(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imagePixel(x.pointer()));
}

// The tick's reads: where the pointer is, then the pixel there.
DesktopPixels::Pixel tick(DesktopPixels& pixels)
{
    const std::optional<QPoint> at = pixels.cursorPos();
    return at ? pixels.pixelAt(at->x(), at->y()) : DesktopPixels::Pixel{}; // no pixel
}

// The tick's reads with the loupe: where the pointer is, then the block around it.
DesktopPixels::Block blockTick(DesktopPixels& pixels)
{
    const std::optional<QPoint> at = pixels.cursorPos();
    return at ? pixels.blockAt(*at) : DesktopPixels::Block{};
}

void ServiceBlockAtRest(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    X11DesktopPixels pixels;
    if (blockTick(pixels).pixel.status != DesktopPixels::Pixel::Status::Color) {
        state.SkipWithError("the service reads no block around the pointer");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(blockTick(pixels));
}

void ServicePointerAtRest(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    X11DesktopPixels pixels;
    if (tick(pixels).status != DesktopPixels::Pixel::Status::Color) {
        state.SkipWithError("the service reads no pixel under the pointer");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(tick(pixels));
}

// The pointer moves before every read, as while the user aims.
template <class Read> void whileMoving(benchmark::State& state, XlibClient& x, Read read)
{
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        x.movePointer(restingAt + QPoint(++step % 2, 0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(read());
    }
}

void BarePointerThenImageMoving(benchmark::State& state)
{
    XlibClient x;
    whileMoving(state, x, [&] { return x.imagePixel(x.pointer()); });
}

void ServicePointerMoving(benchmark::State& state)
{
    XlibClient x;
    X11DesktopPixels pixels;
    whileMoving(state, x, [&] { return tick(pixels); });
}

void ServiceBlockMoving(benchmark::State& state)
{
    XlibClient x;
    X11DesktopPixels pixels;
    whileMoving(state, x, [&] { return blockTick(pixels); });
}

BENCHMARK(BareImageRead)->UseRealTime();
BENCHMARK(BareBlockRead)->UseRealTime();
BENCHMARK(ServiceBlockAtRest)->UseRealTime();
BENCHMARK(ServiceBlockMoving)->UseRealTime();
BENCHMARK(BarePointerThenImage)->UseRealTime();
BENCHMARK(ServicePointerAtRest)->UseRealTime();
BENCHMARK(BarePointerThenImageMoving)->UseRealTime();
BENCHMARK(ServicePointerMoving)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
