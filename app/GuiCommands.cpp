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
#include "platform/PickerMode.h"
#include "platform/portal/PortalPicker.h"
#include "platform/portal/QtDBusColorPortal.h"
#include "platform/WaylandPickerProbe.h"
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

// One pick by the desktop's own picker, through the desktop portal. It needs
// the session bus, not a display of its own.
int PickThroughPortal(int& argc, char** argv, const CommandLine& line)
{
    QCoreApplication app(argc, argv);
    ClassicSystemColors colors;
    QtDBusColorPortal portal;
    PortalPicker picker(portal);
    int status = FailureStatus;
    DesktopPicker::Handlers handlers;
    handlers.ended = [&](const DesktopPicker::Ending& ending) {
        status = StatusOfPick(ending, line, colors,
                              QStringLiteral("the desktop portal gave no color (no portal, or no "
                                             "color picker in it)"));
        QCoreApplication::exit(status);
    };
    picker.start(nullptr, std::move(handlers));
    QCoreApplication::exec();
    return status;
}

// One pick on the frozen outputs of a wlroots compositor. The program shows no
// window of its own: the toolkit only draws the loupe's text, offscreen.
int PickOnWlroots(int& argc, char** argv, const CommandLine& line)
{
    // The overlays first, before the toolkit starts: the desktop freezes at once.
    WlrootsPicker picker;
    if (!picker.prepare()) {
        std::fprintf(stderr, "huvella: %s\n", qPrintable(picker.failure()));
        return FailureStatus;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ClassicSystemColors colors;
    std::unique_ptr<PickerLoupe> loupe;
    int status = FailureStatus;
    // The loupe follows each move: there is no window whose ticks would pace it.
    picker.moved = [&] {
        if (!loupe)
            return;
        if (const std::optional<QPoint> at = picker.live()->cursorPos())
            loupe->follow(*at);
    };
    DesktopPicker::Handlers handlers;
    handlers.started = [&] { loupe = std::make_unique<PickerLoupe>(*picker.live()); };
    handlers.ended = [&](const DesktopPicker::Ending& ending) {
        loupe.reset();
        status = StatusOfPick(ending, line, colors,
                              picker.failure().isEmpty()
                                  ? QStringLiteral("the Wayland compositor ended the pick")
                                  : picker.failure());
        QCoreApplication::exit(status);
    };
    picker.start(nullptr, std::move(handlers));
    QGuiApplication::exec();
    return status;
}

} // namespace

int RunPick(int& argc, char** argv, const CommandLine& line)
{
    // A failure is one line of ours: the Wayland library's own messages stay out.
    wl_log_set_handler_client([](const char*, va_list) {});
    PickerMode mode = ResolvePickerMode(line.picker);
    if (line.picker == PickerMode::Auto && mode == PickerMode::Portal)
        mode = ChooseWaylandPicker(ProbeWaylandOffers());
    if (mode == PickerMode::Wlroots)
        return PickOnWlroots(argc, argv, line);
    // A command has no window to follow the pointer in: where the window
    // would cast the screen, the command picks once through the portal.
    if (mode == PickerMode::Portal || mode == PickerMode::ScreenCast)
        return PickThroughPortal(argc, argv, line);
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
