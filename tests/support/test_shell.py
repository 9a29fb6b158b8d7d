"""What GNOME Shell tells the tests through their extension (gnome-shell-focus,
installed by with-gnome): one method of org.huvella.TestShell, its answer."""

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio  # noqa: E402


def ask(method):
    answer = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.huvella.TestShell", "/org/huvella/TestShell", "org.huvella.TestShell", method,
        None, None, Gio.DBusCallFlags.NONE, 5000, None).unpack()
    return answer[0] if len(answer) == 1 else answer
