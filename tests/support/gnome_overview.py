"""GNOME Shell's overview, which the shell may open over every window as the
first ones map."""

import os
import subprocess

from huvella_window import wait_for


def _overview(*args):
    return subprocess.run(["gdbus", "call", "--session", "--dest", "org.gnome.Shell",
                           "--object-path", "/org/gnome/Shell", "--method",
                           "org.freedesktop.DBus.Properties." + args[0], "org.gnome.Shell",
                           "OverviewActive", *args[1:]],
                          capture_output=True, text=True).stdout


def leave_overview():
    """Leaves the overview and waits until the shell says it has; true then,
    and off GNOME."""
    if os.environ.get("XDG_CURRENT_DESKTOP") != "GNOME":
        return True
    _overview("Set", "<false>")
    return bool(wait_for(lambda: "false" in _overview("Get")))
