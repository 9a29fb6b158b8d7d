// The picker on a wlroots compositor (run by run-wlroots-bench under a headless
// sway, with the tests' virtual pointer as HUVELLA_TEST_POINTER):
// - the press to the overlays shown (every output copied, the overlays
//   configured and their pictures committed), beside grim copying the same
//   outputs to a file, each the median of 20 runs;
// - the window's tick after one pointer motion (the aimed point read, the loupe
//   drawn into the overlay, every field updated), the median of 100 motions;
// - the program's CPU while the pointer moves over the overlay at 100 Hz for 5 s
//   (the script puts noise on the output first: each tick shows a new color).
#include "app/DesktopPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"
#include "platform/wlroots/WlrootsOverlay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A measure that cannot be taken stops the bench rather than print a figure.
int Fail(const char* why)
{
    std::fprintf(stderr, "WlrootsPickBench: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);

    // The press to the overlays shown, beside grim.
    std::vector<double> overlay, grim;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer clock;
        clock.start();
        QString failure;
        std::unique_ptr<WlrootsOverlay> shown = WlrootsOverlay::open(failure);
        overlay.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (!shown) {
            std::fprintf(stderr, "no overlay: %s\n", qPrintable(failure));
            return 1;
        }
        shown.reset();
        clock.restart();
        QProcess::execute(QStringLiteral("grim"), {QStringLiteral("-t"), QStringLiteral("ppm"),
                                                   QStringLiteral("/dev/null")});
        grim.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("overlays shown:        %7.2f ms (median of 20)\n", Median(overlay));
    std::printf("grim, the same outputs: %6.2f ms (median of 20)\n", Median(grim));
    std::printf("ratio:                 %7.2f (at most 1.5)\n", Median(overlay) / Median(grim));

    // huvella --pick from its start to its overlays' first picture, seen in its
    // protocol log (HUVELLA_PROGRAM: the program to start).
    if (const QString program = qEnvironmentVariable("HUVELLA_PROGRAM"); !program.isEmpty()) {
        std::vector<double> picks;
        for (int run = 0; run < 10; ++run) {
            QProcess pick;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
            pick.setProcessEnvironment(environment);
            QByteArray log;
            QElapsedTimer clock;
            clock.start();
            pick.start(program, {QStringLiteral("--pick")});
            pick.setReadChannel(QProcess::StandardError);
            while (!log.contains(".attach(") && pick.waitForReadyRead(5000))
                log += pick.readAllStandardError();
            picks.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            pick.kill();
            pick.waitForFinished();
        }
        std::printf(
            "huvella --pick, start to overlays: %6.2f ms (median of 10; ratio to grim %.2f)\n",
            Median(picks), Median(picks) / Median(grim));
    }

    // The window's pick.
    DesktopPlatform platform(PickerMode::Wlroots);
    TForm1 form(platform.platform);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return Fail("the window was never shown");
    QProcess pointer;
    pointer.start(qEnvironmentVariable("HUVELLA_TEST_POINTER"),
                  {QStringLiteral("1280"), QStringLiteral("720")});
    pointer.waitForStarted();
    pointer.write("move 1270 710\n");
    QTest::qWait(300);
    form.btn6Click(form.btn6);
    form.tmr1->stop(); // the ticks come from here
    std::vector<double> ticks;
    for (int i = 0; i < 100; ++i) {
        const QPoint at(100 + 3 * i, 100 + i);
        pointer.write(QByteArray("move ") + QByteArray::number(at.x()) + ' ' +
                      QByteArray::number(at.y()) + '\n');
        if (!QTest::qWaitFor([&] { return form.SampledDesktop().cursorPos() == at; }, 2000))
            return Fail("the pointer never reached the overlay");
        QElapsedTimer clock;
        clock.start();
        form.tmr1Timer(form.tmr1);
        ticks.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("one motion's tick:     %7.3f ms (median of 100; at most 1)\n", Median(ticks));

    // 100 Hz for 5 s, the window's timer running as it does.
    form.tmr1->start();
    // Round and round, as run-wlroots-bench moves the X11 pointer: every way.
    QByteArray path;
    for (int i = 0; i < 500; ++i)
        path += "move " + QByteArray::number(qRound(340 + 200 * std::cos(i / 25.0))) + ' ' +
                QByteArray::number(qRound(340 + 200 * std::sin(i / 25.0))) + "\nwait 10\n";
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    pointer.write(path);
    pointer.write("move 1 1\n");
    if (!QTest::qWaitFor([&] { return form.SampledDesktop().cursorPos() == QPoint(1, 1); },
                         20000))
        return Fail("the pointer's path never ended on the overlay");
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    std::printf("CPU, pointer at 100 Hz: %6.2f %% of one core over %.1f s (under 2)\n",
                100 * (CpuSeconds() - cpu0) / seconds, seconds);
    form.btn6Click(form.btn6);
    pointer.closeWriteChannel();
    pointer.waitForFinished();
    return 0;
}
