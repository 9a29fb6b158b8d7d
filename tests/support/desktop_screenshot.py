"""A screenshot of the whole desktop through the portal (run under with-gnome
or with-kwin), for a person to look at what a test showed.

    desktop_screenshot.py FILE

Grants the screenshot permission in the session's permission store first
(GNOME asks otherwise), asks the portal's Screenshot without a dialog, and
moves the PNG it wrote to FILE. Exits 1 when the portal answered no.
"""

import os
import shutil
import sys
from urllib.parse import unquote, urlparse

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.call_sync("org.freedesktop.impl.portal.PermissionStore",
              "/org/freedesktop/impl/portal/PermissionStore",
              "org.freedesktop.impl.portal.PermissionStore", "SetPermission",
              GLib.Variant("(sbssas)", ("screenshot", True, "screenshot", "", ["yes"])),
              None, Gio.DBusCallFlags.NONE, -1, None)
sender = bus.get_unique_name()[1:].replace(".", "_")
token = "huvellashot%d" % os.getpid()
handle = f"/org/freedesktop/portal/desktop/request/{sender}/{token}"
loop = GLib.MainLoop()
answer = {}


def on_response(_bus, _sender, _path, _interface, _signal, parameters):
    answer["code"], answer["results"] = parameters.unpack()
    loop.quit()


bus.signal_subscribe("org.freedesktop.portal.Desktop", "org.freedesktop.portal.Request",
                     "Response", handle, None, Gio.DBusSignalFlags.NONE, on_response)
bus.call_sync("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
              "org.freedesktop.portal.Screenshot", "Screenshot",
              GLib.Variant("(sa{sv})", ("", {"handle_token": GLib.Variant("s", token),
                                             "interactive": GLib.Variant("b", False)})),
              None, Gio.DBusCallFlags.NONE, -1, None)
GLib.timeout_add_seconds(60, loop.quit)
loop.run()
if answer.get("code") != 0:
    sys.exit(f"desktop_screenshot: the portal answered {answer.get('code')}")
shutil.move(unquote(urlparse(answer["results"]["uri"]).path), sys.argv[1])
