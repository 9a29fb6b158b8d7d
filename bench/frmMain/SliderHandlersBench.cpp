// One user move of a slider, with every field update and nested change
// handler it runs, on the real widgets (offscreen platform).
#include "TestPlatform.h"
#include "frmMain/TForm1.h"
#include "sTrackBar/TsTrackBar.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct Window {
    TestPlatform doubles;
    TForm1 form{doubles.platform};
};

// Argument 1: the window is shown and each move is followed by the repaint
// it asks for; argument 0: the handler alone.
void prepare(Window& w, const benchmark::State& state)
{
    if (state.range(0) == 0)
        return;
    w.form.show();
    QCoreApplication::processEvents();
}

void settle(const benchmark::State& state)
{
    if (state.range(0) != 0)
        QCoreApplication::processEvents();
}

// One slider moving between two positions, so that every move changes the
// color and all the texts that follow it.
void moveBackAndForth(benchmark::State& state, Window& w, TsTrackBar* slider,
                      void (TForm1::*handler)(QObject*), int from, int to)
{
    int step = 0;
    for (auto _ : state) {
        slider->setPosition(step++ % 2 ? to : from);
        (w.form.*handler)(slider);
        settle(state);
    }
    benchmark::DoNotOptimize(w.form.CurrentColor());
}

void RedSliderMove(benchmark::State& state)
{
    Window w;
    prepare(w, state);
    moveBackAndForth(state, w, w.form.tb1, &TForm1::tb1UserChange, 57, 200);
}
BENCHMARK(RedSliderMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The hue moves at full saturation and middle luminance.
void HueSliderMove(benchmark::State& state)
{
    Window w;
    prepare(w, state);
    w.form.tb5->setPosition(240);
    w.form.tb6->setPosition(120);
    moveBackAndForth(state, w, w.form.tb4, &TForm1::tb4UserChange, 40, 160);
}
BENCHMARK(HueSliderMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
