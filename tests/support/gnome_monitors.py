"""GNOME's monitors, through Mutter's own DisplayConfig on the session bus.

    gnome_monitors.py [--scale S]

With --scale, every monitor gets scale S, side by side from left to right in
the order Mutter lists them, for as long as the shell runs (the temporary
method: nothing is stored). Then prints one line per monitor:
CONNECTOR X Y WIDTH HEIGHT SCALE, the place in the layout's own units (logical
pixels in the logical layout mode, physical ones otherwise) and the size in
physical pixels.
"""

import argparse
import sys

from gi.repository import Gio, GLib

NAME = "org.gnome.Mutter.DisplayConfig"
PATH = "/org/gnome/Mutter/DisplayConfig"
LOGICAL_LAYOUT = 1


def display_config():
    return Gio.DBusProxy.new_for_bus_sync(
        Gio.BusType.SESSION, Gio.DBusProxyFlags.DO_NOT_AUTO_START, None, NAME, PATH, NAME, None
    )


def current_mode(monitor):
    modes = monitor[1]
    return next(m for m in modes if m[6].get("is-current", False))


def apply_scale(config, scale):
    serial, monitors, _, properties = config.GetCurrentState()
    logical = properties.get("layout-mode", 2) == LOGICAL_LAYOUT
    x = 0
    layout = []
    for index, monitor in enumerate(monitors):
        mode = current_mode(monitor)
        # Mutter's fractional scales are near the asked one, not equal to it.
        near = [s for s in mode[5] if abs(s - scale) < 0.01]
        if not near:
            sys.exit(f"gnome_monitors: scale {scale} is not one of {mode[5]} for {monitor[0][0]}")
        layout.append((x, 0, near[0], 0, index == 0, [(monitor[0][0], mode[0], {})]))
        width = mode[1]
        x += round(width / near[0]) if logical else width
    config.call_sync(
        "ApplyMonitorsConfig",
        GLib.Variant("(uua(iiduba(ssa{sv}))a{sv})", (serial, 1, layout, {})),
        Gio.DBusCallFlags.NONE,
        -1,
        None,
    )


def print_layout(config):
    _, monitors, logical_monitors, _ = config.GetCurrentState()
    sizes = {}
    for monitor in monitors:
        mode = current_mode(monitor)
        sizes[monitor[0][0]] = (mode[1], mode[2])
    rows = []
    for x, y, scale, _, _, members, _ in logical_monitors:
        for connector, *_ in members:
            rows.append((x, y, connector, scale))
    for x, y, connector, scale in sorted(rows):
        width, height = sizes[connector]
        print(connector, x, y, width, height, f"{scale:g}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=float)
    args = parser.parse_args()
    config = display_config()
    if args.scale:
        apply_scale(config, args.scale)
    print_layout(config)


main()
