// One whole tick of the picker on a real X server, in a window configured and
// sampling as the program's is: the pointer and pixel read plus every field
// update and the repaint it asks for, beside a bare one-pixel image read. At
// rest the pixel under the pointer stays the same, so the fields are not
// rewritten; moving, the pointer alternates between two colors and every field
// changes on every tick. Without a loupe (a screen cast's ticks), the desktop
// gives a new color at each read, as under a pointer crossing a photo: the
// fields' work and the window's repaint alone.
#include "TestPlatform.h"
#include "XlibClient.h"
#include "app/StartUp.h"
#include "frmMain/ColorText.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"
#include "platform/x11/X11DesktopPixels.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

namespace {

// A desktop that cannot show a loupe and gives, at the same point, a color
// with every channel changed from the last.
class ChangingDesktop final : public DesktopPixels {
public:
    std::optional<QPoint> cursorPos() override { return QPoint(10, 10); }
    bool screenReadable() const override { return true; }
    Pixel pixelAt(int, int) override
    {
        FColor = (FColor + 0x2B3C4D) % 0x1000000;
        return {Pixel::Status::Color, FColor};
    }

private:
    HSLUtils::TColor FColor = 0x123456;
};

template <typename Desktop> struct Picker {
    TestPlatform doubles;
    Desktop desktop;
    Platform platform{doubles.boxes,      doubles.colors, doubles.chooser,
                      doubles.saveDialog, doubles.files,  desktop};
    TForm1 form{platform};

    Picker()
    {
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        // Sampling as the button starts it; the bench then delivers the ticks.
        QTest::mouseClick(form.btn6, Qt::LeftButton);
        form.tmr1->stop();
    }
    [[gnu::noinline]] void tick() // one symbol for a profiler to count
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
    Picker<X11DesktopPixels> picker;
    XlibClient x;
    x.movePointer(redBox(picker.form));
    picker.tick();
    for (auto _ : state)
        picker.tick();
}

void WholeTickColorChanging(benchmark::State& state)
{
    Picker<X11DesktopPixels> picker;
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

void WholeTickWithoutLoupe(benchmark::State& state)
{
    Picker<ChangingDesktop> picker;
    for (auto _ : state)
        picker.tick();
}

// The same tick as the picker runs it, 50 ms after the last: the caches have
// gone cold in between, as they have at every tick of a real pick, which makes
// a tick several times dearer than in a tight loop. Reports the processor time
// of each tick, its repaint and the sending of it included: the median, the
// mean, and what the mean comes to at 20 ticks a second.
void spacedTicks(benchmark::State& state, const std::function<void()>& tick)
{
    const auto cpuMicroseconds = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
    };
    std::vector<double> spent;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state.ResumeTiming();
        const double start = cpuMicroseconds();
        tick();
        spent.push_back(cpuMicroseconds() - start);
    }
    std::sort(spent.begin(), spent.end());
    const double mean = std::accumulate(spent.begin(), spent.end(), 0.0) / double(spent.size());
    state.counters["median_us"] = spent[spent.size() / 2];
    state.counters["mean_us"] = mean;
    state.counters["core_percent_at_20Hz"] = mean * 20 / 1e4;
}

void SpacedTickWithoutLoupe(benchmark::State& state)
{
    Picker<ChangingDesktop> picker;
    spacedTicks(state, [&] { picker.tick(); });
}

// The floor under it: the same ticks with the sliders and the edit boxes
// hidden, so that only the swatch is repainted. The fields still take every
// text, and their change handlers still run.
void SpacedTickNothingButTheSwatchShown(benchmark::State& state)
{
    Picker<ChangingDesktop> picker;
    for (QWidget* hidden : picker.form.findChildren<QSlider*>())
        hidden->hide();
    for (QWidget* hidden : picker.form.findChildren<QLineEdit*>())
        hidden->hide();
    spacedTicks(state, [&] { picker.tick(); });
}

// A yardstick: a plain Qt window with the same controls in the same places,
// fonts and colors, whose tick does the least any window showing these fields
// must do: each box's text and each slider's value set once for the new
// color, the swatch recolored, then the repaint. No handlers, no nesting.
void SpacedTickBareQtFields(benchmark::State& state)
{
    Picker<ChangingDesktop> picker; // the window copied, and the colors
    picker.form.hide();
    QWidget window;
    window.setFont(picker.form.font());
    window.resize(picker.form.size());
    std::vector<QLineEdit*> boxes;
    std::vector<QSlider*> sliders;
    QWidget* swatch = nullptr;
    for (QWidget* control : picker.form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QWidget* copy = nullptr;
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            auto* plain = new QLineEdit(box->text(), &window);
            plain->setReadOnly(box->isReadOnly());
            boxes.push_back(plain);
            copy = plain;
        } else if (auto* slider = qobject_cast<QSlider*>(control)) {
            auto* plain = new QSlider(slider->orientation(), &window);
            plain->setRange(slider->minimum(), slider->maximum());
            plain->setTickPosition(slider->tickPosition());
            plain->setTickInterval(slider->tickInterval());
            sliders.push_back(plain);
            copy = plain;
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            copy = new QLabel(label->text(), &window);
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            copy = new QPushButton(button->text(), &window);
        } else {
            swatch = copy = new QWidget(&window);
            swatch->setAutoFillBackground(true);
        }
        copy->setGeometry(control->geometry());
        copy->setFont(control->font());
        copy->setPalette(control->palette());
    }
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    spacedTicks(state, [&] {
        const HSLUtils::TColor color = picker.desktop.pixelAt(0, 0).color;
        int h = 0, s = 0, l = 0;
        HSLUtils::ColorToHslScaled(color, h, s, l);
        const int values[] = {color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF, h, s, l};
        const QString texts[] = {HtmlColorText(color), QString::number(color)};
        for (std::size_t i = 0; i < boxes.size(); ++i)
            boxes[i]->setText(i < 2 ? texts[i] : QString::number(values[(i - 2) % 6]));
        for (std::size_t i = 0; i < sliders.size(); ++i)
            sliders[i]->setValue(values[i % 6]);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window,
                         QColor::fromRgb(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF));
        swatch->setPalette(palette);
        QCoreApplication::processEvents();
    });
}

BENCHMARK(BareImageRead)->UseRealTime();
BENCHMARK(WholeTickAtRest)->UseRealTime();
BENCHMARK(WholeTickColorChanging)->UseRealTime();
BENCHMARK(WholeTickWithoutLoupe)->UseRealTime();
BENCHMARK(SpacedTickWithoutLoupe)->Iterations(200)->UseRealTime();
BENCHMARK(SpacedTickNothingButTheSwatchShown)->Iterations(200)->UseRealTime();
BENCHMARK(SpacedTickBareQtFields)->Iterations(200)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    PrepareToolkit();
    QApplication app(argc, argv);
    ConfigureApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
