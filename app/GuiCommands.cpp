#include "app/GuiCommands.h"

#include "app/CommandLine.h"
#include "app/ConsoleCommands.h"
#include "app/DesktopPlatform.h"
#include "app/PickSession.h"
#include "app/StartUp.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "platform/ClassicSystemColors.h"
#include "platform/DesktopPickers.h"
#include "platform/PickerMode.h"
#include "platform/portal/QtDBusColorPortal.h"
#include "platform/WaylandPickerProbe.h"
#include "platform/wlroots/WaylandWait.h"
#include "platform/wlroots/WlrootsPicker.h"
#include "platform/x11/X11PointerGrab.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <wayland-client.h>

namespace {

constexpr int HexBoxLength = 7;

// How long a grab another program holds may keep the pick waiting: a hotkey
// daemon lets go of the keyboard when the hotkey is released.
constexpr std::chrono::milliseconds GrabPatience(1000);

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

void OpenOnColor(TForm1& form, const QString& text)
{
    form.edt1->setText(text.left(HexBoxLength));
    form.btn2Click(form.btn2);
}

int RunWindow(int& argc, char** argv, const CommandLine& line)
{
    if (line.colorText && !CommandLineColor(*line.colorText))
        return FailureStatus;
    // Qt would abort with no platform to show the window on; say it and fail instead.
    if (!HasDisplay()) {
        std::fputs("huvella: no display to open the window on: neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set\n",
                   stderr);
        return FailureStatus;
    }
    PrepareToolkit();
    QApplication app(argc, argv);
    ConfigureApplication(app);

    DesktopPlatform desktop(line.picker);
    TForm1 Form1(desktop.platform);
    if (line.colorText)
        OpenOnColor(Form1, *line.colorText);
    Form1.show();
    return QApplication::exec();
}

namespace {

// How a command's pick ended, as its exit status: 0 with the color printed in
// the asked format (2 with one line when it cannot be written), 1 for a
// cancel, 2 with `failure` said for a failure.
int StatusOfPick(const DesktopPicker::Ending& ending, const CommandLine& line,
                 const SystemColors& colors, const QString& failure)
{
    using Kind = DesktopPicker::Ending::Kind;
    switch (ending.kind) {
    case Kind::Picked:
        if (WriteOut(FormatColor(ending.color, line.format, colors)))
            return 0;
        std::fputs("huvella: cannot write the color\n", stderr);
        return FailureStatus;
    case Kind::Cancelled:
        return 1;
    case Kind::Failed:
        break;
    }
    std::fprintf(stderr, "huvella: %s\n", qPrintable(failure));
    return FailureStatus;
}

// What the toolkit needs for a command's way: for wlroots' overlays and a
// screenshot on a Wayland session, which are the program's own surfaces, only
// the loupe's text drawn offscreen; widgets for a screenshot's windows
// elsewhere; for the one-shot pick, nothing shown.
std::unique_ptr<QCoreApplication> CommandApplication(PickerMode mode, int& argc, char** argv)
{
    if (mode == PickerMode::Screenshot && CommandShowsOnOwnSurfaces()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto app = std::make_unique<QGuiApplication>(argc, argv);
        // The frozen frame's surfaces name the program's desktop entry.
        QGuiApplication::setDesktopFileName(QStringLiteral(HUVELLA_APP_ID));
        return app;
    }
    if (mode == PickerMode::Screenshot) {
        PrepareToolkit();
        auto app = std::make_unique<QApplication>(argc, argv);
        ConfigureApplication(*app);
        return app;
    }
    if (mode == PickerMode::Wlroots) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

// Why a command's pick failed, in one line.
QString CommandPickFailure(DesktopPicker& picker)
{
    if (auto* wlroots = dynamic_cast<WlrootsPicker*>(&picker); wlroots != nullptr)
        return wlroots->failure().isEmpty()
                   ? QStringLiteral("the Wayland compositor ended the pick")
                   : wlroots->failure();
    return QStringLiteral("the desktop portal gave no color (no portal, or no color picker in it)");
}

// One pick by a DesktopPicker, whichever way: the loupe, where the way shows
// one, follows each move of the point aimed at (there is no window whose ticks
// would pace it), and the ending is the exit status.
int RunCommandPicker(int& argc, char** argv, const CommandLine& line, PickerMode mode)
{
    auto portal = std::make_unique<QtDBusColorPortal>();
    std::unique_ptr<DesktopPicker> picker = MakeCommandPicker(mode, *portal);
    if (auto* wlroots = dynamic_cast<WlrootsPicker*>(picker.get());
        wlroots && !wlroots->prepare()) {
        std::fprintf(stderr, "huvella: %s\n", qPrintable(wlroots->failure()));
        return FailureStatus;
    }
    const std::unique_ptr<QCoreApplication> app = CommandApplication(mode, argc, argv);
    ClassicSystemColors colors;
    std::unique_ptr<PickerLoupe> loupe;
    int status = FailureStatus;
    const auto follow = [&] {
        DesktopPixels* live = picker->live();
        if (!loupe || live == nullptr)
            return;
        if (const std::optional<QPoint> at = live->cursorPos())
            loupe->follow(*at);
    };
    DesktopPicker::Handlers handlers;
    handlers.started = [&] {
        if (DesktopPixels* live = picker->live(); live != nullptr && live->showsOverlays())
            loupe = std::make_unique<PickerLoupe>(*live);
        follow();
    };
    handlers.moved = follow;
    handlers.ended = [&](const DesktopPicker::Ending& ending) {
        loupe.reset();
        status = StatusOfPick(ending, line, colors, CommandPickFailure(*picker));
        QCoreApplication::exit(status);
    };
    picker->start(nullptr, std::move(handlers));
    QCoreApplication::exec();
    loupe.reset();
    // Before the application: what the portal still answers is heard to the end.
    picker.reset();
    portal.reset();
    return status;
}

} // namespace

int RunPick(int& argc, char** argv, const CommandLine& line)
{
    // A failure is one line of ours: the Wayland library's own messages stay out.
    wl_log_set_handler_client([](const char*, va_list) {});
    // Only a Wayland session with the choice left to the program asks the
    // compositor; one that took the connection and does not answer ends here.
    WaylandOffers offers;
    if (line.picker == PickerMode::Auto && ResolvePickerMode(line.picker) == PickerMode::Portal) {
        offers = ProbeWaylandOffers();
        if (!offers.answered) {
            std::fprintf(stderr, "huvella: %s\n",
                         qPrintable(WaylandFailure(WaylandWait::TimedOut)));
            return FailureStatus;
        }
    }
    const PickerMode mode = CommandPickWay(line.picker, HasDisplay(), offers);
    if (mode != PickerMode::X11 && mode != PickerMode::Auto)
        return RunCommandPicker(argc, argv, line, mode);
    // The grab comes first: with no X display there is no QApplication to make.
    QString failure;
    std::unique_ptr<X11PointerGrab> grab = X11PointerGrab::start(failure, GrabPatience);
    if (!grab) {
        std::fprintf(stderr, "huvella: %s\n", qPrintable(failure));
        return FailureStatus;
    }
    PrepareToolkit();
    QApplication app(argc, argv);
    ConfigureApplication(app);

    DesktopPlatform desktop;
    PickSession session(std::move(grab), desktop.desktop, desktop.colors, line.format);
    QObject::connect(&session, &PickSession::finished, &app, &QCoreApplication::exit);

    // The loupe follows the pointer as it does while the window samples.
    PickerLoupe loupe(desktop.desktop);
    const auto follow = [&](QPoint pointer) { loupe.follow(pointer); };
    session.OwnPixelsAt = [&](QPoint at) { return loupe.covers(at); };
    QObject::connect(&session, &PickSession::pointerMoved, &app, follow);
    QObject::connect(&session, &PickSession::finished, &app, [&] { loupe.hide(); });
    if (const std::optional<QPoint> pointer = desktop.desktop.cursorPos())
        follow(*pointer);
    return QApplication::exec();
}
