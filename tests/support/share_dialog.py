"""The desktop's screen-share dialog, driven over AT-SPI as a user would.

    share_dialog.py wait|share|cancel|present|tiles [--monitors I,J,...] [--forget]

wait: until a share dialog shows (GNOME's "Screen Share", KDE's "Screen
Sharing"); share: chooses the monitors (rows of GNOME's list, 0 first;
default the first) and presses Share; cancel: presses Cancel; present: exits
0 when a dialog is showing now, 1 when none is. --forget unchecks GNOME's
"Remember this selection" / KDE's "Allow restoring on future sessions".
KDE's monitor tiles have no accessible action: they are clicked through the
pointer by the caller (huvella-test-kwin-input); tiles puts KDE's dialog,
at a known place of the desktop through a KWin script and prints
a line per tile, "NAME X Y" (its centre in the desktop's logical pixels; a
monitor's tile has an empty name, written "-"); share and cancel work there too.
Exits 1 when no dialog came within the bound (a minute: a busy machine).
"""

import argparse
import os
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

# get_action_name is deprecated for get_localized_name, which names nothing here.
warnings.filterwarnings("ignore", category=DeprecationWarning)

TITLES = ("Screen Share", "Screen Sharing")
REMEMBER = ("Remember this selection", "Allow restoring on future sessions")
BOUND = 60.0


def dialogs():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None:
            continue
        for j in range(app.get_child_count()):
            window = app.get_child_at_index(j)
            # KDE's backend keeps its dialog, hidden, once answered.
            if window is not None and window.get_name() in TITLES and \
                    window.get_state_set().contains(Atspi.StateType.SHOWING):
                yield window


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def named(node, names):
    # GTK 4 names a button by its mnemonic and its label: "_Share Share".
    name = node.get_name() or ""
    return name in names or any(word.lstrip("_") in names for word in name.split())


def find(window, role, names=None):
    for node in descendants(window):
        if node.get_role() == role and (names is None or named(node, names)):
            return node
    return None


def wait_for_dialog():
    deadline = time.monotonic() + BOUND
    while time.monotonic() < deadline:
        found = next(dialogs(), None)
        if found is not None and find(found, Atspi.Role.PUSH_BUTTON, ("Share",)) is not None:
            return found
        time.sleep(0.1)
    sys.exit("share_dialog: no share dialog came")


def press(node):
    for i in range(node.get_n_actions()):
        if node.get_action_name(i) in ("click", "press", "activate", "Press"):
            node.do_action(i)
            return
    node.do_action(0)


def wait_sensitive(button):
    deadline = time.monotonic() + BOUND
    while not button.get_state_set().contains(Atspi.StateType.SENSITIVE):
        if time.monotonic() > deadline:
            sys.exit("share_dialog: Share stayed insensitive")
        time.sleep(0.05)


def choose_monitors(window, rows):
    monitors = find(window, Atspi.Role.LIST)
    if monitors is None:
        return  # KDE: the caller clicks a tile
    for row in rows:
        monitors.select_child(row)


def forget(window):
    box = next((node for node in descendants(window) if node.get_role() == Atspi.Role.CHECK_BOX
                and node.get_name() in REMEMBER), None)
    if box is not None and box.get_state_set().contains(Atspi.StateType.CHECKED):
        press(box)


# Where KDE's dialog is put: on the first monitor, clear of the desktop's
# edges; taller by GROW, for a second row of tiles (two monitors give four)
# to show without scrolling.
PLACE = (200, 100)
GROW = 400

MOVE_SCRIPT = """
for (const window of workspace.clientList()) {
    if (window.caption.startsWith("Screen Sharing")) {
        // The surface (bufferGeometry) inside the frame: the frame moved so
        // that the surface's corner lands at the place.
        const frame = window.frameGeometry, surface = window.bufferGeometry;
        window.frameGeometry = {x: frame.x + %d - surface.x, y: frame.y + %d - surface.y,
                                width: frame.width, height: frame.height + %d};
    }
}
"""


def kwin_place_dialog():
    """KWin's script API has the windows' places; a Wayland client knows only
    its own surface."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as script:
        script.write(MOVE_SCRIPT % (*PLACE, GROW))
    name = "huvella-place-share-dialog"
    def kwin(method, args=None):
        return bus.call_sync("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", method,
                             args, None, 0, -1, None)
    try:
        kwin("loadScript", GLib.Variant("(ss)", (script.name, name)))
        kwin("start")
    finally:
        kwin("unloadScript", GLib.Variant("(s)", (name,)))
        os.unlink(script.name)


def tile_centres(window):
    """Each tile's centre, window-relative. Qt 5's AT-SPI answers WINDOW
    extents with x for y; its SCREEN extents are the window-relative ones on
    Wayland, where a client knows no global position."""
    for node in descendants(window):
        if node.get_role() != Atspi.Role.LIST_ITEM:
            continue
        box = node.get_extents(Atspi.CoordType.SCREEN)
        label = find(node, Atspi.Role.LABEL)
        yield (label.get_name() if label is not None else "") or "-", \
            box.x + box.width // 2, box.y + box.height // 2


def print_tiles(window):
    # Laid out once the tiles have a size.
    deadline = time.monotonic() + BOUND
    while not all(x > 0 and y > 0 for _, x, y in tile_centres(window)):
        if time.monotonic() > deadline:
            sys.exit("share_dialog: the tiles were never laid out")
        time.sleep(0.1)
    # KWin moves the window itself, at once; the new size the client lays
    # out in its own time.
    height = window.get_size().y
    kwin_place_dialog()
    while window.get_size().y < height + GROW:
        if time.monotonic() > deadline:
            sys.exit("share_dialog: the dialog did not grow")
        time.sleep(0.1)
    for name, x, y in tile_centres(window):
        print(name, PLACE[0] + x, PLACE[1] + y, flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=("wait", "share", "cancel", "present", "tiles"))
    parser.add_argument("--monitors", default="0")
    parser.add_argument("--forget", action="store_true")
    args = parser.parse_args()
    if args.what == "present":
        sys.exit(0 if next(dialogs(), None) is not None else 1)
    window = wait_for_dialog()
    if args.what == "wait":
        return
    if args.what == "tiles":
        print_tiles(window)
        return
    if args.forget:
        forget(window)
    if args.what == "cancel":
        press(find(window, Atspi.Role.PUSH_BUTTON, ("Cancel",)))
        return
    choose_monitors(window, [int(row) for row in args.monitors.split(",")])
    share = find(window, Atspi.Role.PUSH_BUTTON, ("Share",))
    wait_sensitive(share)
    press(share)


main()
