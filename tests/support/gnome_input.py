"""The real pointer and keyboard of a headless GNOME Shell, moved through
Mutter's own RemoteDesktop API on the session bus (run under with-gnome).

    gnome_input.py

Reads commands from its input, a line at a time, and answers each with "ok"
once Mutter has taken it (or "error: ..."); prints "ready" first:
    move CONNECTOR X Y   the pointer to physical pixel (X, Y) of that monitor
                         (its stream's pixels, whatever the layout mode)
    press | release | click [left|right]
    key KEYSYM           a key pressed and released (an X keysym name: Return)
The session lasts until the input ends.
"""

import sys

from gi.repository import Gio, GLib

BUTTONS = {"left": 0x110, "right": 0x111}  # BTN_LEFT, BTN_RIGHT
KEYSYMS = {"Return": 0xFF0D, "Escape": 0xFF1B, "Shift_L": 0xFFE1, "Left": 0xFF51,
           "Up": 0xFF52, "Right": 0xFF53, "Down": 0xFF54, "space": 0x20, "Tab": 0xFF09}


def proxy(bus, name, path, interface):
    return Gio.DBusProxy.new_sync(bus, Gio.DBusProxyFlags.DO_NOT_AUTO_START, None,
                                  name, path, interface, None)


def connectors(bus):
    config = proxy(bus, "org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                   "org.gnome.Mutter.DisplayConfig")
    _, monitors, _, _ = config.GetCurrentState()
    return [monitor[0][0] for monitor in monitors]


class Input:
    def __init__(self, bus):
        desktop = proxy(bus, "org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                        "org.gnome.Mutter.RemoteDesktop")
        path = desktop.CreateSession()
        self.session = proxy(bus, "org.gnome.Mutter.RemoteDesktop", path,
                             "org.gnome.Mutter.RemoteDesktop.Session")
        session_id = self.session.get_cached_property("SessionId").unpack()
        cast = proxy(bus, "org.gnome.Mutter.ScreenCast", "/org/gnome/Mutter/ScreenCast",
                     "org.gnome.Mutter.ScreenCast")
        cast_path = cast.CreateSession("(a{sv})", {"remote-desktop-session-id":
                                                   GLib.Variant("s", session_id)})
        cast_session = proxy(bus, "org.gnome.Mutter.ScreenCast", cast_path,
                             "org.gnome.Mutter.ScreenCast.Session")
        # Absolute motion is relative to a recorded monitor: one per monitor.
        self.streams = {name: cast_session.RecordMonitor("(sa{sv})", name, {})
                        for name in connectors(bus)}
        self.session.Start()
        # The first key creates the virtual keyboard and reaches no client.
        self.key("Shift_L")

    def move(self, connector, x, y):
        self.session.NotifyPointerMotionAbsolute("(sdd)", self.streams[connector],
                                                 float(x), float(y))

    def button(self, name, pressed):
        self.session.NotifyPointerButton("(ib)", BUTTONS[name], pressed)

    def key(self, name):
        keysym = KEYSYMS[name]
        self.session.NotifyKeyboardKeysym("(ub)", keysym, True)
        self.session.NotifyKeyboardKeysym("(ub)", keysym, False)

    def run(self, words):
        command, args = words[0], words[1:]
        if command == "move":
            self.move(args[0], float(args[1]), float(args[2]))
        elif command in ("press", "release"):
            self.button(args[0] if args else "left", command == "press")
        elif command == "click":
            self.button(args[0] if args else "left", True)
            self.button(args[0] if args else "left", False)
        elif command == "key":
            self.key(args[0])
        else:
            raise ValueError(f"unknown command {command}")


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    pointer = Input(bus)
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        try:
            pointer.run(words)
            print("ok", flush=True)
        except (ValueError, KeyError, IndexError, GLib.Error) as error:
            print(f"error: {error}", flush=True)
    pointer.session.Stop()


main()
