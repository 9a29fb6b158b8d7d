"""The running Huvella window over AT-SPI, as a screen reader sees it: its
fields read by their accessible names, its buttons pressed."""

import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

FIELDS = ("Hex (HTML) color", "Decimal value", "Red value", "Green value", "Blue value",
          "Hue value", "Saturation value", "Luminance value")


def heard():
    """Handles what the AT-SPI bus has said meanwhile: the client learns of a
    program that came or went only from the registry's signals, which wait in
    the main context until something runs it (a script runs no loop)."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(probe, seconds=20.0, step=0.05):
    """probe() until it answers something true (a bound against a hang only)."""
    deadline = time.monotonic() + seconds
    while True:
        heard()
        try:
            answer = probe()
        except gi.repository.GLib.Error:  # the program or the bus still starting
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(step)


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child
            yield from descendants(child)


class Window:
    def __init__(self, pid=None):
        """The window of the program with that process id (any, without)."""
        self.pid = pid
        self.app = wait_for(self._application, seconds=60)
        if self.app is None:
            raise RuntimeError("no Huvella window on the AT-SPI bus")
        self.controls = {}
        for node in descendants(self.app):
            self.controls.setdefault(node.get_name(), node)

    def _application(self):
        # By its process: the registry may still list a program just ended.
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or app.get_name() != "Huvella":
                continue
            if self.pid is not None and app.get_process_id() != self.pid:
                continue
            if app.get_child_count() > 0:
                return app
        return None

    def gone(self):
        """Once the program has ended: whether the registry has let it go."""
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "Huvella" and \
                    app.get_process_id() == self.pid:
                return False
        return True

    def text(self, name):
        return self.controls[name].get_text(0, -1)

    def fields(self):
        """Every field's text, in FIELDS' order."""
        return tuple(self.text(name) for name in FIELDS)

    def press(self, name):
        self.controls[name].do_action(0)

    def focus(self, name):
        """The keyboard focus on that control, as a click on it would put it."""
        return self.controls[name].grab_focus()

    def caption(self, name):
        return self.controls[name].get_name()
