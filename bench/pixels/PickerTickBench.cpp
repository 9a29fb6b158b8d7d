// One whole tick of the picker on a real X server: the pointer and pixel read
// plus every field update and the repaint it asks for, beside a bare one-pixel
// image read. At rest the pixel under the pointer stays the same, so the
// fields are not rewritten; moving, the pointer alternates between two colors
// and every field changes on every tick.
#include "TestPlatform.h"
#include "XlibClient.h"
#include "app/StartUp.h"
#include "frmMain/TForm1.h"
#include "platform/X11DesktopPixels.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

struct Picker {
    TestPlatform doubles;
    X11DesktopPixels desktop;
    Platform platform{doubles.boxes,      doubles.colors, doubles.chooser,
                      doubles.saveDialog, doubles.files,  desktop};
    TForm1 form{platform};

    Picker()
    {
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
    }
    void tick()
    {
        form.tmr1Timer(form.tmr1);
        QCoreApplication::processEvents(); // the repaint the tick asked for
    }
};

// Two points of the window with different colors: the swatch's black outline
// and the red box's red.
QPoint outline(const TForm1& f)
{
    return f.mapToGlobal(QPoint(168, 51)) * f.devicePixelRatio();
}
QPoint redBox(const TForm1& f)
{
    return f.mapToGlobal(QPoint(30, 165)) * f.devicePixelRatio();
}

void BareImageRead(benchmark::State& state)
{
    XlibClient x;
    for (auto _ : state)
        benchmark::DoNotOptimize(x.imagePixel(QPoint(500, 500)));
}

void WholeTickAtRest(benchmark::State& state)
{
    Picker picker;
    XlibClient x;
    x.movePointer(redBox(picker.form));
    picker.tick();
    for (auto _ : state)
        picker.tick();
}

void WholeTickColorChanging(benchmark::State& state)
{
    Picker picker;
    XlibClient x;
    const QPoint points[] = {outline(picker.form), redBox(picker.form)};
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        x.movePointer(points[step++ % 2]);
        state.ResumeTiming();
        picker.tick();
    }
}

BENCHMARK(BareImageRead)->UseRealTime();
BENCHMARK(WholeTickAtRest)->UseRealTime();
BENCHMARK(WholeTickColorChanging)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    PrepareToolkit();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
