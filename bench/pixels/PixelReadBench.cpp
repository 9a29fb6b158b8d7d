// One read of the pointer and the pixel under it through X11DesktopPixels, as each tick
// of the picker makes it, beside the floor: a bare one-pixel image read of the root
// window by a plain Xlib client. Run it on an X server (run-pixel-bench starts Xvfb).
#include "XlibClient.h"
#include "platform/X11DesktopPixels.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr QPoint restingAt(701, 403);

void BareImageRead(benchmark::State& state)
{
    XlibClient x;
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imagePixel(restingAt));
}

void BarePointerThenImage(benchmark::State& state)
{
    XlibClient x;
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imagePixel(x.pointer()));
}

// The tick's reads: where the pointer is, then the pixel there.
DesktopPixels::Pixel tick(DesktopPixels& pixels)
{
    const std::optional<QPoint> at = pixels.cursorPos();
    return at ? pixels.pixelAt(at->x(), at->y()) : DesktopPixels::Pixel{}; // no pixel
}

void ServicePointerAtRest(benchmark::State& state)
{
    XlibClient x;
    x.movePointer(restingAt);
    X11DesktopPixels pixels;
    for (auto _ : state)
        benchmark::DoNotOptimize(tick(pixels));
}

// The pointer moves between two ticks every time, as while the user aims.
void ServicePointerMoving(benchmark::State& state)
{
    XlibClient x;
    X11DesktopPixels pixels;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        x.movePointer(restingAt + QPoint(++step % 2, 0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(tick(pixels));
    }
}

BENCHMARK(BareImageRead)->UseRealTime();
BENCHMARK(BarePointerThenImage)->UseRealTime();
BENCHMARK(ServicePointerAtRest)->UseRealTime();
BENCHMARK(ServicePointerMoving)->UseRealTime();

// Keeps the time per read of each benchmark: the median when the runs are repeated.
class KeepingReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration ? run.repetitions <= 1
                                                  : run.aggregate_name == "median")
                timeNs[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> timeNs;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Held for the whole run: an X server resets when its last client leaves, and
    // refuses connections while it does.
    XlibClient holder;
    if (!holder.connected()) {
        std::fprintf(stderr, "no X server at DISPLAY\n");
        return 1;
    }
    // A working service, or the figures mean nothing.
    X11DesktopPixels pixels;
    if (tick(pixels).status != DesktopPixels::Pixel::Status::Color) {
        std::fprintf(stderr, "the service reads no pixel under the pointer\n");
        return 1;
    }

    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.timeNs;
    const auto ratio = [&](const char* name) {
        const double floor = t.at("BareImageRead");
        std::printf("%-22s %8.2f us  %.2f x the bare image read\n", name, t.at(name) / 1000,
                    t.at(name) / floor);
    };
    if (t.contains("BareImageRead")) {
        std::printf("\nper read (median):\n");
        for (const char* name : {"BareImageRead", "BarePointerThenImage", "ServicePointerAtRest",
                                 "ServicePointerMoving"}) {
            if (t.contains(name))
                ratio(name);
        }
        std::printf("target: the service within 1.5 x the bare image read\n");
    }
    benchmark::Shutdown();
    return 0;
}
