#include "platform/portal/ScreenCastPicker.h"

#include <QFileInfo>
#include <QTimer>
#include <dlfcn.h>
#include <unistd.h>

namespace {
using EndingKind = DesktopPicker::Ending::Kind;
// How long the streams may take to run once the desktop granted them.
constexpr int RunningPatienceMs = 5000;
} // namespace

ScreenCastPicker::ScreenCastPicker(QString module, std::unique_ptr<DesktopPicker> oneShot)
    : FRunningDeadline(new QTimer(this)), FModule(std::move(module)), FOneShot(std::move(oneShot))
{
    FRunningDeadline->setSingleShot(true);
    FRunningDeadline->setInterval(RunningPatienceMs);
    connect(FRunningDeadline, &QTimer::timeout, this, [this] {
        if (FRunning && !FStarted)
            endLater({EndingKind::Failed, 0});
    });
}

// The streams go before the session that shares them.
ScreenCastPicker::~ScreenCastPicker()
{
    FDesktop.reset();
    FPortal.close();
}

bool ScreenCastPicker::isRunning() const
{
    return FRunning;
}

DesktopPixels* ScreenCastPicker::live()
{
    return FRunning && FStarted ? FDesktop.get() : nullptr;
}

void ScreenCastPicker::start(const QWindow* window, Handlers handlers)
{
    stop();
    FHandlers = std::move(handlers);
    FWindow = window;
    FRunning = true;
    FAskedAgain = false;
    ++FPicks;
    openSession();
}

void ScreenCastPicker::openSession()
{
    FPortal.open(FWindow, {[this](ScreenCastPortal::Grant grant) { onGranted(grant); },
                           [this](bool cancelled) {
                               endLater({cancelled ? EndingKind::Cancelled : EndingKind::Failed, 0});
                           },
                           [this] { endLater(stoppedByDesktop()); }});
}

void ScreenCastPicker::onGranted(ScreenCastPortal::Grant grant)
{
    FDesktop = newDesktop();
    if (!FDesktop) {
        ::close(grant.fd);
        endLater({EndingKind::Failed, 0});
        return;
    }
    FRunningDeadline->start();
    const bool opened = FDesktop->open(grant.fd, grant.streams,
                                       {[this] {
                                            FRunningDeadline->stop();
                                            FStarted = true;
                                            // Asked again, the window samples already.
                                            if (!FAskedAgain && FHandlers.started)
                                                FHandlers.started();
                                        },
                                        [this] {
                                            endLater({EndingKind::Failed, 0});
                                        },
                                        [this] { handOverLater(); }, [this] { askAgainLater(); }});
    if (!opened)
        endLater({EndingKind::Failed, 0});
}

// Not from inside the desktop's own call.
void ScreenCastPicker::handOverLater()
{
    QTimer::singleShot(0, this, [this, pick = FPicks] {
        if (pick == FPicks && FRunning)
            handOver();
    });
}

// GNOME Shell sends a monitor's picture when it draws that monitor: once as
// the stream starts, then at each change on it. A session restored at once
// after the last one closed can miss that first drawing on a busy machine,
// and then sends nothing while the screen stays still. A new session, with
// the grant restored and so no dialog, asks for that first drawing again;
// a desktop that sends no picture to that one either (KWin's virtual
// outputs) gets the one-shot pick.
void ScreenCastPicker::askAgainLater()
{
    QTimer::singleShot(0, this, [this, pick = FPicks] {
        if (pick != FPicks || !FRunning)
            return;
        if (FAskedAgain || FPortal.restoreToken().isEmpty()) {
            handOver();
            return;
        }
        FAskedAgain = true;
        FStarted = false; // no ticks until the new streams run
        FDesktop.reset();
        openSession();
    });
}

// The streams will never give a color (no pointer, or no image): the live
// pick is never left silent, the one-shot pick takes over.
void ScreenCastPicker::handOver()
{
    if (!FOneShot) {
        endLater({EndingKind::Failed, 0});
        return;
    }
    FStarted = false; // no ticks: the one-shot pick samples nothing
    FDesktop.reset();
    FPortal.close();
    Handlers oneShot;
    oneShot.ended = [this, pick = FPicks](const Ending& ending) {
        if (pick == FPicks && FRunning)
            endLater(ending);
    };
    FOneShot->start(FWindow, std::move(oneShot));
}

// The desktop stopped sharing ("Stop sharing" in GNOME): sampling stops as
// when the user stops, on the color the last tick showed. Before any tick read
// a color the window still shows the one from before the pick.
DesktopPicker::Ending ScreenCastPicker::stoppedByDesktop() const
{
    const auto last = FStarted && FDesktop ? FDesktop->lastColorRead() : std::nullopt;
    if (last)
        return {EndingKind::Picked, *last};
    return {EndingKind::Cancelled, 0};
}

void ScreenCastPicker::stop()
{
    if (!FRunning)
        return;
    FRunning = false;
    FStarted = false;
    FRunningDeadline->stop();
    ++FPicks;
    FDesktop.reset();
    FPortal.close();
    if (FOneShot)
        FOneShot->stop();
    FHandlers = {};
}

void ScreenCastPicker::endLater(Ending ending)
{
    QTimer::singleShot(0, this, [this, ending, pick = FPicks] {
        if (pick != FPicks || !FRunning)
            return;
        const Handlers handlers = FHandlers;
        stop();
        if (handlers.ended)
            handlers.ended(ending);
    });
}

QString ScreenCastPicker::beside(const QString& module)
{
    return QFileInfo(module).absolutePath() + QStringLiteral("/huvella-screencast.so");
}

// The module stays loaded once loaded: PipeWire keeps state of its own.
std::unique_ptr<ScreenCastDesktop> ScreenCastPicker::newDesktop()
{
    if (FNewDesktop == nullptr) {
        if (FModule.isEmpty()) {
            Dl_info here{};
            if (dladdr(reinterpret_cast<void*>(&beside), &here) == 0 || here.dli_fname == nullptr)
                return nullptr;
            FModule = beside(QString::fromLocal8Bit(here.dli_fname));
        }
        void* module = dlopen(FModule.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
            return nullptr;
        FNewDesktop = reinterpret_cast<HuvellaNewScreenCastDesktop>(
            dlsym(module, HUVELLA_NEW_SCREENCAST_DESKTOP));
        if (FNewDesktop == nullptr)
            return nullptr;
    }
    return std::unique_ptr<ScreenCastDesktop>(FNewDesktop());
}
