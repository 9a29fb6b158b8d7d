#pragma once
// Waits on a Wayland compositor that cannot hang the program: every wait ends
// when the compositor answers, breaks the connection, or lets a deadline pass.
// A compositor stopped (or one that never sends what it owes, such as a copy
// that is never ready) would otherwise block the event loop for ever.
#include <QDeadlineTimer>
#include <QString>
#include <functional>

struct wl_callback;
struct wl_display;

// How long a compositor may take over what a pick asks at its start.
constexpr int WaylandPatienceMs = 5000;

enum class WaylandWait { Done, Broken, TimedOut };

// What a wait that was not Done says, in one line.
QString WaylandFailure(WaylandWait wait);

// Dispatches the display's events until `done` holds.
WaylandWait DispatchUntil(wl_display* display, QDeadlineTimer deadline,
                          const std::function<bool()>& done);

// Asks the compositor to say when it has handled every request sent so far:
// `*pending` holds the callback until then, and is null after.
void AskRoundtrip(wl_display* display, wl_callback** pending);

// Until the compositor has handled every request sent so far.
WaylandWait Roundtrip(wl_display* display, QDeadlineTimer deadline);
