"""A stand-in for the desktop portal on a private session bus.

  fake_portal.py frontend   owns org.freedesktop.portal.Desktop and answers
                            Screenshot.PickColor as the test scripted it, and
                            ScreenCast's requests each before its reply
  fake_portal.py backend    owns a portal backend (impl.portal.Screenshot,
                            impl.portal.Access and impl.portal.ScreenCast) for
                            the real xdg-desktop-portal

Either way the test steers it over org.huvella.test.FakePortal on
/org/huvella/test: Script(name) sets how the next picks are answered, Calls()
returns what the program called. Prints "ready" once its names are owned.
The stand-in frontend offers ScreenCast only with HUVELLA_FAKE_SCREENCAST=1:
otherwise it is a portal with the color picker alone. The backend's screen
cast shares the monitors that Monitors("node x y width height;...") sets; its
cursor modes come from HUVELLA_FAKE_CURSOR_MODES (the
frontend reads them once, at its start).
"""
import math
import os
import socket
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DESKTOP_PATH = "/org/freedesktop/portal/desktop"
FRONTEND_NAME = "org.freedesktop.portal.Desktop"
BACKEND_NAME = "org.freedesktop.impl.portal.desktop.huvellatest"
CONTROL_NAME = "org.huvella.test.FakePortal"


def color(r, g, b, signature="ddd"):
    return dbus.Struct((r, g, b), signature=signature, variant_level=1)


def results(**values):
    return dbus.Dictionary(values, signature="sv")


# How a pick is answered: (response, results). Other scripts are handled apart.
ANSWERS = {
    "color": (0, results(color=color(0.2, 0.4, 0.6))),
    "clamped": (0, results(color=color(1.0000001, -0.0000001, 0.5))),
    "outside": (0, results(color=color(0.5, 1.002, 0.5))),
    "far": (0, results(color=color(1e308, -1e308, 5e-324))),
    "cancel": (1, results()),
    "other": (2, results()),
    "nan": (0, results(color=color(math.nan, 0.4, 0.6))),
    "infinite": (0, results(color=color(0.2, math.inf, 0.6))),
    "missing": (0, results(colour=color(0.2, 0.4, 0.6))),
    "text": (0, results(color=dbus.String("#336699", variant_level=1))),
    "two": (0, results(color=dbus.Struct((0.2, 0.4), signature="dd", variant_level=1))),
    "integers": (0, results(color=color(51, 102, 153, signature="iii"))),
    "array": (0, results(color=dbus.Array([0.2, 0.4, 0.6], signature="d", variant_level=1))),
}

state = {"script": "color", "calls": [], "monitors": [], "sessions": {}}


def record(call):
    state["calls"].append(call)


def subscribed(bus, sender, handle):
    """Whether `sender` listens for Response on `handle` right now."""
    stats = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    rules = stats.GetAllMatchRules(dbus_interface="org.freedesktop.DBus.Debug.Stats")
    return any(f"path='{handle}'" in rule and "member='Response'" in rule
               for rule in rules.get(sender, []))


class Request(dbus.service.Object):
    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.path = path

    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method("org.freedesktop.portal.Request")
    def Close(self):
        record("Close " + self.path)

    def answer(self, name):
        self.respond(*ANSWERS[name])

    def respond(self, response, values):
        self.Response(dbus.UInt32(response), values)
        record("Response " + self.path)
        self.remove_from_connection()


class Frontend(dbus.service.Object):
    """org.freedesktop.portal.Screenshot as the program sees it."""

    def __init__(self, bus):
        super().__init__(bus, DESKTOP_PATH)
        self.bus = bus

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss",
                         out_signature="v")
    def Get(self, interface, name):
        record(f"Get {interface} {name}")
        if interface != "org.freedesktop.portal.Screenshot" or name != "version":
            raise dbus.exceptions.DBusException("no such property",
                                                name="org.freedesktop.DBus.Error.InvalidArgs")
        return dbus.UInt32(1 if state["script"] == "version1" else 2, variant_level=1)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s",
                         out_signature="a{sv}")
    def GetAll(self, interface):
        record(f"GetAll {interface}")
        if interface == "org.freedesktop.portal.Screenshot":
            return dbus.Dictionary({"version": dbus.UInt32(2)}, signature="sv")
        if interface == "org.freedesktop.portal.ScreenCast" and SCREENCAST_FRONTEND:
            return dbus.Dictionary(SCREENCAST, signature="sv")
        raise dbus.exceptions.DBusException("no such interface",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    def answerFirst(self, sender, options, values):
        token = str(options.get("handle_token", ""))
        handle = f"{DESKTOP_PATH}/request/{sender[1:].replace('.', '_')}/{token}"
        Request(self.bus, handle).respond(0, values)  # before the reply
        return handle

    @dbus.service.method("org.freedesktop.portal.ScreenCast", in_signature="a{sv}",
                         out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender):
        record("CreateSession")
        token = str(options.get("session_handle_token", ""))
        session = f"{DESKTOP_PATH}/session/{sender[1:].replace('.', '_')}/{token}"
        return self.answerFirst(sender, options,
                                results(session_handle=dbus.String(session, variant_level=1)))

    @dbus.service.method("org.freedesktop.portal.ScreenCast", in_signature="oa{sv}",
                         out_signature="o", sender_keyword="sender")
    def SelectSources(self, session, options, sender):
        record("SelectSources")
        if "restore_token" in options:
            record(f"restore_token of {len(options['restore_token'])}")
        return self.answerFirst(sender, options, results())

    @dbus.service.method("org.freedesktop.portal.ScreenCast", in_signature="osa{sv}",
                         out_signature="o", sender_keyword="sender")
    def Start(self, session, parent, options, sender):
        record("Start")
        streams = dbus.Array([dbus.Struct((dbus.UInt32(42), dbus.Dictionary(
            {"position": pair(0, 0), "size": pair(64, 48)}, signature="sv")),
            signature="ua{sv}")], signature="(ua{sv})", variant_level=1)
        # A grant with a restore token of 4 MB.
        token = "t" * (4 << 20) if state["script"] == "hugetoken" else "huvella-token"
        return self.answerFirst(sender, options, results(
            streams=streams, restore_token=dbus.String(token, variant_level=1)))

    @dbus.service.method("org.freedesktop.portal.ScreenCast", in_signature="oa{sv}",
                         out_signature="h")
    def OpenPipeWireRemote(self, session, options):
        record("OpenPipeWireRemote")
        if state["script"] == "silent":
            # A socket whose other end is kept and never written to.
            mine, theirs = socket.socketpair()
            state["silent"] = (mine, theirs)
            return dbus.types.UnixFd(theirs)
        raise dbus.exceptions.DBusException("no PipeWire here",
                                            name="org.freedesktop.DBus.Error.Failed")

    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def PickColor(self, parent, options, sender):
        script = state["script"]
        token = str(options.get("handle_token", ""))
        handle = f"{DESKTOP_PATH}/request/{sender[1:].replace('.', '_')}/{token}"
        record(f"PickColor parent={parent} token={token} "
               f"subscribed={'yes' if subscribed(self.bus, sender, handle) else 'no'}")
        if script == "error":
            raise dbus.exceptions.DBusException("the picker broke",
                                                name="org.freedesktop.DBus.Error.Failed")
        if script == "elsewhere":
            # An older portal's own path, answered once the program knows it.
            request = Request(self.bus, f"{DESKTOP_PATH}/request/elsewhere/{token}")
            GLib.timeout_add(200, lambda: request.answer("color") and False)
            return request.path
        if script == "vanish":
            # Says where it will answer, then leaves the bus without a word.
            def leave():
                self.bus.release_name(FRONTEND_NAME)
                record("Vanished")
                return False
            GLib.timeout_add(300, leave)
            return handle
        if script == "slow":
            # Answers only long after; a Close does not stop this fake's answer,
            # so that the program is seen to drop it.
            request = Request(self.bus, handle)
            GLib.timeout_add(600, lambda: request.answer("color") and False)
            return handle
        request = Request(self.bus, handle)
        request.answer(script)  # before the reply: only an early subscriber hears it
        return handle


class Session(dbus.service.Object):
    """A screen-cast session of the backend, which the frontend closes."""

    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.path = path

    @dbus.service.method("org.freedesktop.impl.portal.Session")
    def Close(self):
        record("impl Session.Close")
        state["sessions"].pop(self.path, None)
        self.remove_from_connection()

    @dbus.service.signal("org.freedesktop.impl.portal.Session", signature="")
    def Closed(self):
        pass


def pair(a, b):
    return dbus.Struct((dbus.Int32(a), dbus.Int32(b)), signature="ii", variant_level=1)


SCREENCAST_FRONTEND = os.environ.get("HUVELLA_FAKE_SCREENCAST") == "1"
SCREENCAST = {
    "AvailableSourceTypes": dbus.UInt32(1 | 2),
    "AvailableCursorModes": dbus.UInt32(int(os.environ.get("HUVELLA_FAKE_CURSOR_MODES", "7"))),
    "version": dbus.UInt32(4),
}


class Backend(dbus.service.Object):
    """The implementation side, behind the real xdg-desktop-portal."""

    def __init__(self, bus):
        super().__init__(bus, DESKTOP_PATH)
        self.bus = bus

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss",
                         out_signature="v")
    def Get(self, interface, name):
        if interface == "org.freedesktop.impl.portal.ScreenCast":
            return dbus.UInt32(SCREENCAST[name], variant_level=1)
        return dbus.UInt32(2, variant_level=1)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s",
                         out_signature="a{sv}")
    def GetAll(self, interface):
        if interface == "org.freedesktop.impl.portal.ScreenCast":
            return dbus.Dictionary(SCREENCAST, signature="sv")
        return dbus.Dictionary({"version": dbus.UInt32(2)}, signature="sv")

    @dbus.service.method("org.freedesktop.impl.portal.ScreenCast", in_signature="oosa{sv}",
                         out_signature="ua{sv}")
    def CreateSession(self, handle, session_handle, app_id, options):
        record("impl CreateSession")
        state["sessions"][str(session_handle)] = Session(self.bus, str(session_handle))
        return (dbus.UInt32(0), results(session_id=dbus.String("huvella-test",
                                                               variant_level=1)))

    @dbus.service.method("org.freedesktop.impl.portal.ScreenCast", in_signature="oosa{sv}",
                         out_signature="ua{sv}")
    def SelectSources(self, handle, session_handle, app_id, options):
        restore = options.get("restore_data")
        record(f"impl SelectSources types={int(options.get('types', 0))} "
               f"multiple={bool(options.get('multiple', False))} "
               f"cursor_mode={int(options.get('cursor_mode', 0))} "
               f"persist_mode={int(options.get('persist_mode', 0))} "
               f"restore={str(restore[2]) if restore is not None else 'none'}")
        return (dbus.UInt32(0), results())

    @dbus.service.method("org.freedesktop.impl.portal.ScreenCast", in_signature="oossa{sv}",
                         out_signature="ua{sv}", async_callbacks=("ok", "error"))
    def Start(self, handle, session_handle, app_id, parent, options, ok, error):
        record("impl Start")
        answer = self.startAnswer()
        if state["script"] == "slow":
            # The user takes a while in the share dialog.
            GLib.timeout_add(1500, lambda: ok(*answer) and False)
        else:
            ok(*answer)

    def startAnswer(self):
        if state["script"] == "cancel":
            return (dbus.UInt32(1), results())
        monitors = [] if state["script"] == "nostreams" else state["monitors"]
        streams = dbus.Array([
            dbus.Struct((dbus.UInt32(node),
                         dbus.Dictionary({"position": pair(x, y), "size": pair(w, h),
                                          "source_type": dbus.UInt32(1, variant_level=1)},
                                         signature="sv")), signature="ua{sv}")
            for node, x, y, w, h in monitors], signature="(ua{sv})", variant_level=1)
        restore = dbus.Struct((dbus.String("huvella-test"), dbus.UInt32(1),
                               dbus.String("granted-monitors", variant_level=1)),
                              signature="suv", variant_level=1)
        return (dbus.UInt32(0), results(streams=streams,
                                        persist_mode=dbus.UInt32(1, variant_level=1),
                                        restore_data=restore))

    @dbus.service.method("org.freedesktop.impl.portal.Screenshot", in_signature="ossa{sv}",
                         out_signature="ua{sv}", async_callbacks=("ok", "error"))
    def PickColor(self, handle, app_id, parent, options, ok, error):
        record(f"impl PickColor parent={parent}")
        if state["script"] == "never":
            return  # the desktop's picker stays open
        ok(*ANSWERS[state["script"]])

    @dbus.service.method("org.freedesktop.impl.portal.Screenshot", in_signature="ossa{sv}",
                         out_signature="ua{sv}")
    def Screenshot(self, handle, app_id, parent, options):
        return (dbus.UInt32(2), results())

    @dbus.service.method("org.freedesktop.impl.portal.Access", in_signature="osssssa{sv}",
                         out_signature="ua{sv}")
    def AccessDialog(self, handle, app_id, parent, title, subtitle, body, options):
        return (dbus.UInt32(0), results())


class Control(dbus.service.Object):
    def __init__(self, bus, owned):
        super().__init__(bus, "/org/huvella/test")
        self.bus = bus
        self.owned = owned

    @dbus.service.method(CONTROL_NAME, in_signature="s")
    def Script(self, name):
        state["script"] = name
        state["calls"] = []

    @dbus.service.method(CONTROL_NAME, out_signature="as")
    def Calls(self):
        return dbus.Array(state["calls"], signature="s")

    # "node x y width height" for each monitor, separated by ";".
    @dbus.service.method(CONTROL_NAME, in_signature="s")
    def Monitors(self, monitors):
        state["monitors"] = [tuple(int(v) for v in m.split()) for m in monitors.split(";")]

    # The desktop ends every share, as GNOME's "Stop sharing" does.
    @dbus.service.method(CONTROL_NAME)
    def CloseSessions(self):
        for session in list(state["sessions"].values()):
            session.Closed()
            session.remove_from_connection()
        state["sessions"] = {}

    # The portal's name given up and taken again: a desktop without a portal.
    @dbus.service.method(CONTROL_NAME)
    def Vanish(self):
        self.bus.release_name(self.owned)

    @dbus.service.method(CONTROL_NAME)
    def Return(self):
        self.bus.request_name(self.owned, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)


def main():
    side = sys.argv[1]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    owned = FRONTEND_NAME if side == "frontend" else BACKEND_NAME
    names = [dbus.service.BusName(owned, bus), dbus.service.BusName(CONTROL_NAME, bus)]
    (Frontend if side == "frontend" else Backend)(bus)
    Control(bus, owned)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del names


if __name__ == "__main__":
    main()
