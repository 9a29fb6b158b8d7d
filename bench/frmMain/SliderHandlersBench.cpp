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

// The red slider moves between two positions, so that every move changes the
// color and all the texts that follow it.
void RedSliderMove(benchmark::State& state)
{
    Window w;
    prepare(w, state);
    int step = 0;
    for (auto _ : state) {
        w.form.tb1->setPosition(step++ % 2 ? 200 : 57);
        w.form.tb1UserChange(w.form.tb1);
        settle(state);
    }
    benchmark::DoNotOptimize(w.form.CurrentColor());
}
BENCHMARK(RedSliderMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void HueSliderMove(benchmark::State& state)
{
    Window w;
    prepare(w, state);
    w.form.tb5->setPosition(240);
    w.form.tb6->setPosition(120);
    int step = 0;
    for (auto _ : state) {
        w.form.tb4->setPosition(step++ % 2 ? 160 : 40);
        w.form.tb4UserChange(w.form.tb4);
        settle(state);
    }
    benchmark::DoNotOptimize(w.form.CurrentColor());
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
