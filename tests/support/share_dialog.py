"""The desktop's screen-share dialog, driven over AT-SPI as a user would.

    share_dialog.py wait|share|cancel|present [--monitors I,J,...] [--forget]

wait: until a share dialog shows (GNOME's "Screen Share", KDE's "Screen
Sharing"); share: chooses the monitors (rows of GNOME's list, 0 first;
default the first) and presses Share; cancel: presses Cancel; present: exits
0 when a dialog is showing now, 1 when none is. --forget unchecks GNOME's
"Remember this selection" / KDE's "Allow restoring on future sessions".
KDE's monitor tiles have no accessible action: they are clicked through the
pointer by the caller (kwin_input); share and cancel work there too.
Exits 1 when no dialog came within the bound (a minute: a busy machine).
"""

import argparse
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

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
            if window is not None and window.get_name() in TITLES:
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=("wait", "share", "cancel", "present"))
    parser.add_argument("--monitors", default="0")
    parser.add_argument("--forget", action="store_true")
    args = parser.parse_args()
    if args.what == "present":
        sys.exit(0 if next(dialogs(), None) is not None else 1)
    window = wait_for_dialog()
    if args.what == "wait":
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
