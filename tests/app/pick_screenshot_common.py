"""What the screenshot tests on the real GNOME Shell and KWin share: their
checks, AT-SPI's view of the windows (GNOME's question), the compositor's of
the frozen frame, the real pointer, the pictures left in the home, and
screenshots of the test's own."""

import glob
import os
import shutil
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SUPPORT = os.path.join(HERE, "..", "support")
sys.path.insert(0, SUPPORT)
import gnome_overview  # noqa: E402
import test_shell  # noqa: E402
from huvella_window import descendants  # noqa: E402
BOUND = 60.0  # against a hang only: the machine is busy
FROZEN = "Huvella: pick a color"
failures = []
passed = [0]


def check(ok, what):
    if ok:
        passed[0] += 1
    else:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr, flush=True)


def wait_for(probe, seconds=BOUND):
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        # AT-SPI's view of the programs follows their events, delivered here.
        while context.pending():
            context.iteration(False)
        try:
            answer = probe()
        except GLib.Error:
            answer = None
        if answer:
            return answer
        time.sleep(0.05)
    return None


def windows():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        for j in range(app.get_child_count() if app is not None else 0):
            window = app.get_child_at_index(j)
            if window is not None:
                yield window


def press(name):
    """Presses the button `name` in whichever window shows one (GNOME's question)."""
    def button():
        for window in windows():
            if not window.get_state_set().contains(Atspi.StateType.SHOWING):
                continue
            for node in descendants(window):
                if node.get_role() == Atspi.Role.PUSH_BUTTON and node.get_name() == name:
                    return node
        return None
    found = wait_for(button)
    if found is not None:
        found.do_action(0)
    return found is not None


def frozen():
    """The frozen frame is on the screen and has the keyboard, as the
    compositor sees it: the command shows it on surfaces of its own, of which
    AT-SPI knows nothing. GNOME Shell names the window with the keyboard once
    its first frame is shown, through the tests' extension (with-gnome); KWin's
    window runner finds the window by title (KWin gives a new fullscreen window
    the keyboard as it maps it)."""
    if os.environ.get("XDG_CURRENT_DESKTOP") == "KDE":
        matches = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            "org.kde.KWin", "/WindowsRunner", "org.kde.krunner1", "Match",
            GLib.Variant("(s)", (FROZEN,)), None, Gio.DBusCallFlags.NONE, 5000, None)
        return any(match[1] == FROZEN for match in matches.unpack()[0])
    return test_shell.ask("FocusTitle") == FROZEN


def pointed():
    """The frozen frame is what the pointer is over, so that a click reaches it
    (GNOME Shell, through the tests' extension; KWin hands a new window the
    pointer at once)."""
    if os.environ.get("XDG_CURRENT_DESKTOP") == "KDE":
        return True
    return test_shell.ask("PointerTitle") == FROZEN


def aim_at(pointer, what, move):
    """The pointer moved onto the frozen frame (`move`: "move CONNECTOR X Y"):
    once the shell finds the frame under it, moved away by a pixel and back. A
    move that the shell takes before the frame is on the screen leaves the
    pointer with the window below: a click would reach that window, and the
    frame would learn of the pointer only at the next move (keys before it
    aim at nothing, and the fields do not follow)."""
    pointer(move)
    check(wait_for(pointed) is not None, f"{what}: the pointer never was over the frame")
    _, connector, x, y = move.split()
    pointer(f"move {connector} {int(x) + 1} {y}", move)


class Input:
    """The real pointer and keys: GNOME's by default, or another helper
    speaking the same lines (KWin's huvella-test-kwin-input)."""

    def __init__(self, command=None):
        command = command or ["/usr/bin/python3", os.path.join(SUPPORT, "gnome_input.py")]
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        assert self.process.stdout.readline().strip() == "ready"

    def __call__(self, *lines):
        for line in lines:
            self.process.stdin.write(line + "\n")
            self.process.stdin.flush()
            answer = self.process.stdout.readline().strip()
            if answer != "ok":
                raise RuntimeError(f"{line}: {answer}")


def ended(program, what, status, out):
    """The pick `program` ends with `status` having printed `out` (and
    nothing more), leaving no picture behind."""
    try:
        got_out, got_err = program.communicate(timeout=BOUND)
    except subprocess.TimeoutExpired:
        program.kill()
        got_out, got_err = program.communicate()
    check((program.returncode, got_out.strip()) == (status, out),
          f"{what}: gave {program.returncode} '{got_out.strip()}' ({got_err[:300]}), "
          f"expected {status} '{out}'")
    check(not pictures(), f"{what}: left {pictures()}")


def killed_on_frame(huvella):
    """Killed on the frozen frame, a pick leaves no picture: it is gone already."""
    program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    check(wait_for(frozen) is not None, "no frozen frame to kill")
    program.kill()
    program.wait()
    check(not pictures(), f"killed on the frozen frame, it left {pictures()}")


def pictures():
    home = os.environ["HOME"]
    return sorted(glob.glob(os.path.join(home, "*.png")) +
                  glob.glob(os.path.join(home, "Pictures", "*.png")))


def reference(path):
    """One portal screenshot of this test's own, moved to `path`."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    token = f"reference{os.getpid()}{int(time.monotonic() * 1000)}"
    sender = bus.get_unique_name()[1:].replace(".", "_")
    handle = f"/org/freedesktop/portal/desktop/request/{sender}/{token}"
    loop, answer = GLib.MainLoop(), {}

    def response(_bus, _sender, _path, _iface, _signal, parameters):
        code, results = parameters.unpack()
        answer.update(code=code, uri=results.get("uri", ""))
        loop.quit()
    subscription = bus.signal_subscribe("org.freedesktop.portal.Desktop",
                                        "org.freedesktop.portal.Request", "Response", handle,
                                        None, Gio.DBusSignalFlags.NONE, response)
    bus.call_sync("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                  "org.freedesktop.portal.Screenshot", "Screenshot",
                  GLib.Variant("(sa{sv})", ("", {"handle_token": GLib.Variant("s", token),
                                                 "interactive": GLib.Variant("b", False)})),
                  None, Gio.DBusCallFlags.NONE, -1, None)
    GLib.timeout_add(int(BOUND * 1000), loop.quit)
    loop.run()
    bus.signal_unsubscribe(subscription)
    if answer.get("code") != 0 or not answer["uri"].startswith("file://"):
        raise RuntimeError(f"no reference screenshot: {answer}")
    shutil.move(GLib.filename_from_uri(answer["uri"])[0], path)


def reference_hex(path, x, y):
    out = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    return "#" + out.split("#")[-1].split()[0][:6]


def leave_overview():
    """GNOME Shell may go to its overview as the first windows map, over them:
    it is left, and waited for."""
    check(gnome_overview.leave_overview(), "the overview stayed")

