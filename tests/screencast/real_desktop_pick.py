"""The window's picker on a real desktop (run under with-gnome or with-kwin):
the real compositor, its portal backend and share dialog, PipeWire. Known
colors fill every monitor (huvella-test-colors); the real pointer moves to
known physical pixels, and every field must show that pixel exactly.

    real_desktop_pick.py HUVELLA COLORS POINTER-COMMAND... -- CASE ...

POINTER-COMMAND is the pointer helper to run (gnome_input.py, or KWin's
huvella-test-kwin-input), reading "move CONNECTOR X Y", "click", "key NAME".
Cases:
  cancel   the default way (auto) asks to share; cancelled, nothing changes
  live     cancelling the share dialog changes nothing; the live pick (the
           default way: auto chooses the screen cast) follows the pointer
           pixel-exact in every field; Enter stops it; a second pick shows no
           dialog and follows at once; a click on the button stops it
  cross    the pointer crossing between every pair of monitors, both ways
  noimage  KDE's dialog shared by clicking every monitor's tile; KWin's
           virtual outputs send no image, so the fields keep their color while
           the streams run, then the one-shot pick (KWin's own picker) takes
           over and gives the pixel exactly (on the last monitor); a second
           pick shows no dialog; a click on the button stops a third, Enter
           a fourth
  workspace  as noimage, with KDE's "Full Workspace" tile: one stream across
           every monitor
  oneshot  huvella --pick --picker=portal, and the window with
           --picker=portal, through the desktop's own picker clicked at a
           known point
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))

from gnome_overview import leave_overview  # noqa: E402
from huvella_window import Window, wait_for  # noqa: E402
from known_colors import known_color, show_known_colors  # noqa: E402
import test_shell  # noqa: E402

PICK = "Pick a color from desktop"
SHARE_DIALOG = [sys.executable, os.path.join(HERE, "..", "support", "share_dialog.py")]

failures = []
passed = 0


def check(condition, message):
    global passed
    if condition:
        passed += 1
    else:
        failures.append(message)
        print("FAIL:", message, flush=True)
    return condition


class Pointer:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        if self.process.stdout.readline().strip() != "ready":
            raise RuntimeError("the pointer helper did not start")

    def __call__(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        if answer != "ok":
            raise RuntimeError(f"{line}: {answer}")

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


def fields_of(huvella, hex_text):
    """Every field as the program's own converter gives the color."""
    def run(form):
        return subprocess.run([huvella, "--convert", hex_text, "--format", form], check=True,
                              capture_output=True, text=True,
                              env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout.split()
    return (hex_text, run("dec")[0], *run("rgb"), *run("hsl"))


def shell_pointer():
    """Where GNOME Shell has the pointer (the tests' extension); None elsewhere."""
    if os.environ.get("XDG_CURRENT_DESKTOP") != "GNOME":
        return None
    return test_shell.ask("Pointer")


class Desktop:
    def __init__(self, huvella, colors, pointer):
        self.huvella = huvella
        self.colors, self.monitors = show_known_colors(colors)
        self.pointer = Pointer(pointer)
        self.expected = {}
        self.last_move = None

    def names(self):
        return sorted(self.monitors)

    def size(self, name):
        return self.monitors[name][1:]

    def want(self, name, x, y):
        color = known_color(x, y, self.monitors[name][0])
        if color not in self.expected:
            self.expected[color] = fields_of(self.huvella, color)
        return self.expected[color]

    def move(self, name, x, y):
        """Moves the pointer; on GNOME, until the shell's own pointer has
        followed it: GNOME's picker reads the shell's, which a click can
        overtake on a busy machine (the color of the point before came back)."""
        before = shell_pointer()
        self.pointer(f"move {name} {x} {y}")
        if before is not None and (name, x, y) != self.last_move:
            wait_for(lambda: shell_pointer() != before)
        self.last_move = (name, x, y)

    def picker_settled(self):
        """On GNOME, waits (a little) for its own picker to have read the pixel
        under the pointer: a click that comes while it still reads the point
        before answers that point. Elsewhere, and before the picker shows,
        nothing to wait for: the click then picks nothing, and is made again."""
        if os.environ.get("XDG_CURRENT_DESKTOP") == "GNOME":
            wait_for(lambda: test_shell.ask("PickerSettled"), seconds=2)

    def close(self):
        self.pointer.close()
        self.colors.terminate()
        self.colors.wait()


def start_window(desktop, *args):
    process = subprocess.Popen([desktop.huvella, *args])
    window = Window(process.pid)
    check(leave_overview(), "the overview stayed")
    return process, window


def stop_window(process, window):
    process.terminate()
    process.wait(timeout=30)
    # The program has ended; the client's list may keep it a while. Only a
    # window started next in this process needs the list clean, and its own
    # lookup fails if it never shows.
    wait_for(window.gone)


def follows(desktop, window, name, x, y):
    desktop.pointer(f"move {name} {x} {y}")
    want = desktop.want(name, x, y)
    got = wait_for(lambda: window.fields() == want)
    if not got and os.environ.get("DESKTOP_SHOTS"):
        subprocess.run([sys.executable, os.path.join(HERE, "..", "support", "desktop_screenshot.py"),
                        os.path.join(os.environ["DESKTOP_SHOTS"], f"miss-{x}-{y}.png")])
    return check(got, f"at ({x}, {y}) on {name}: fields {window.fields()}, expected {want}")


def share_dialog(*args):
    return subprocess.run(SHARE_DIALOG + list(args)).returncode


NOT_MONITORS = ("New Virtual Output", "Full Workspace")


def share_kde_tiles(desktop, monitors, workspace=False):
    """KDE's tiles have no accessible action: clicked where the dialog, put
    at a known place, shows them. Monitors: indices among the monitor tiles;
    workspace: "Full Workspace" instead."""
    # A click may come before KWin has mapped the dialog where it was put:
    # Share then does nothing, and the tiles are clicked again. On a busy
    # machine the dialog's tiles reach AT-SPI late: they are waited for.
    tiles = []

    def chosen_tiles():
        nonlocal tiles
        lines = subprocess.run(SHARE_DIALOG + ["tiles"], capture_output=True, text=True).stdout
        tiles = [line.split() for line in lines.splitlines()]
        screens = [t for t in tiles if " ".join(t[:-2]) not in NOT_MONITORS]
        chosen = [screens[i] for i in monitors if i < len(screens)]
        if workspace:
            chosen = [t for t in tiles if " ".join(t[:-2]) == "Full Workspace"]
        return chosen if chosen and len(chosen) >= (1 if workspace else len(monitors)) else None

    for _ in range(5):
        chosen = wait_for(chosen_tiles, seconds=60)
        if chosen is None:
            continue
        first = desktop.names()[0]
        for tile in chosen:
            desktop.pointer(f"move {first} {tile[-2]} {tile[-1]}")
            desktop.pointer("click")
        if share_dialog("share") != 0:
            return False
        if wait_for(lambda: share_dialog("present") == 1, seconds=5):
            return True
    return check(False, f"the share dialog's tiles: {tiles}")


def picked_by_desktop(desktop, window, name, x, y):
    """The desktop's own picker takes the click once shown; until then a click
    picks nothing."""
    want = desktop.want(name, x, y)
    for _ in range(50):
        desktop.move(name, x, y)
        desktop.picker_settled()
        desktop.pointer("click")
        if wait_for(lambda: window.fields() == want, seconds=1):
            break
    return check(window.fields() == want,
                 f"at ({x}, {y}): fields {window.fields()}, expected {want}")


def points_on(desktop, name):
    """Points near the edges and inside, away from the window (which the
    desktop places on the left) and from GNOME's top bar."""
    width, height = desktop.size(name)
    return [(width - 1, height // 8 + 5), (width // 2 + 3, height - 1),
            (width * 5 // 8 + 2, height // 3 + 7), (width * 7 // 8 + 1, height * 5 // 6 + 1)]


def cancelled(window):
    """The default way (auto: the screen cast) asks to share; cancelled, the
    window is as it was, with no message."""
    before = window.fields()
    window.press(PICK)
    check(share_dialog("cancel") == 0, "no share dialog to cancel")
    check(wait_for(lambda: window.caption(PICK) == PICK), "the button kept its stop caption")
    check(window.fields() == before, f"a cancelled pick changed the fields: {window.fields()}")
    check(window.app.get_child_count() == 1, "a cancelled pick showed a message")


def case_cancel(desktop):
    process, window = start_window(desktop)
    cancelled(window)
    stop_window(process, window)


def case_live(desktop):
    name = desktop.names()[0]
    width, height = desktop.size(name)
    process, window = start_window(desktop)
    cancelled(window)

    # Shared: every field follows the pointer. Pressed as a click would, the
    # button has the keyboard focus.
    check(window.focus(PICK), "the button took no focus")
    window.press(PICK)
    check(share_dialog("share") == 0, "no share dialog to share with")
    for x, y in points_on(desktop, name):
        follows(desktop, window, name, x, y)
    x, y = points_on(desktop, name)[-1]
    desktop.pointer("key Return")
    check(wait_for(lambda: window.caption(PICK) == PICK), "Enter did not stop the pick")
    check(window.fields() == desktop.want(name, x, y), "Enter changed the color")

    # Again: no dialog, the grant holds while the program runs.
    window.press(PICK)
    follows(desktop, window, name, width * 3 // 4 + 11, height // 4 + 13)
    check(share_dialog("present") == 1, "the second pick showed the share dialog")
    follows(desktop, window, name, width * 3 // 4 + 12, height // 4 + 14)
    window.press(PICK)  # the button clicked stops it
    check(wait_for(lambda: window.caption(PICK) == PICK), "a click did not stop the pick")
    check(window.fields() == desktop.want(name, width * 3 // 4 + 12, height // 4 + 14), "the click changed the color")
    stop_window(process, window)


def case_cross(desktop):
    names = desktop.names()
    process, window = start_window(desktop)
    check(window.focus(PICK), "the button took no focus")
    window.press(PICK)
    check(share_dialog("share", "--monitors", ",".join(str(i) for i in range(len(names)))) == 0,
          "no share dialog to share with")
    for there in names:
        width, height = desktop.size(there)
        follows(desktop, window, there, width // 2 + 1, height // 3)
    for a in names:
        for b in names:
            if a == b:
                continue
            # At the bottom: the window is on the left, from the top down
            # to nine tenths of a monitor at scale 2.
            wa, ha = desktop.size(a)
            follows(desktop, window, a, wa - 2, ha - 3)
            follows(desktop, window, b, 1, desktop.size(b)[1] - 2)
    desktop.pointer("key Return")
    check(wait_for(lambda: window.caption(PICK) == PICK), "Enter did not stop the pick")
    stop_window(process, window)


def case_oneshot(desktop):
    name = desktop.names()[0]
    width, height = desktop.size(name)
    x, y = width // 5 + 1, height // 4 + 1
    want = desktop.want(name, x, y)
    command = subprocess.Popen([desktop.huvella, "--pick", "--picker=portal"],
                               stdout=subprocess.PIPE, text=True)
    # The desktop's picker follows the real pointer; it takes the click once shown.
    desktop.move(name, x, y)
    printed = None
    for _ in range(50):
        desktop.move(name, x, y)
        desktop.picker_settled()
        desktop.pointer("click")
        try:
            printed = command.communicate(timeout=1)[0].strip()
            break
        except subprocess.TimeoutExpired:
            continue
    check(printed == want[0], f"huvella --pick printed {printed!r}, expected {want[0]}")

    x, y = width // 3 + 1, height * 3 // 4 + 1
    process, window = start_window(desktop, "--picker=portal")
    window.press(PICK)
    picked_by_desktop(desktop, window, name, x, y)
    stop_window(process, window)


def case_noimage(desktop, workspace=False):
    names = desktop.names()
    process, window = start_window(desktop)
    before = window.fields()
    window.press(PICK)
    check(share_kde_tiles(desktop, range(len(names)), workspace), "the share dialog stayed")
    # The dialog gone, the streams run; with no image the fields stay.
    check(window.caption(PICK) != PICK, "the pick ended when shared")
    check(window.fields() == before, f"the fields changed with no image: {window.fields()}")
    width, height = desktop.size(names[-1])
    picked_by_desktop(desktop, window, names[-1], width * 5 // 8 + 2, height // 3 + 7)
    check(wait_for(lambda: window.caption(PICK) == PICK), "the button kept its stop caption")

    # Again, in the same run: the grant is restored, no dialog.
    width, height = desktop.size(names[0])
    x, y = width * 3 // 4 + 11, height // 4 + 13
    window.press(PICK)
    picked_by_desktop(desktop, window, names[0], x, y)
    check(share_dialog("present") == 1, "the second pick showed the share dialog")

    # Stopped by the button while the streams run: the fields keep the color.
    window.press(PICK)
    window.press(PICK)
    check(wait_for(lambda: window.caption(PICK) == PICK), "a click did not stop the pick")
    check(window.fields() == desktop.want(names[0], x, y), "stopping changed the color")

    # Enter stops it too. The pointer elsewhere: had KWin's picker taken the
    # key instead (the hand-over), the fields would show that pixel.
    desktop.pointer(f"move {names[0]} {x + 40} {y + 40}")
    check(window.focus(PICK), "the button took no focus")
    window.press(PICK)
    desktop.pointer("key Return")
    check(wait_for(lambda: window.caption(PICK) == PICK), "Enter did not stop the pick")
    check(window.fields() == desktop.want(names[0], x, y), "Enter changed the color")
    check(window.app.get_child_count() == 1, "the pick showed a message")
    stop_window(process, window)


CASES = {"cancel": case_cancel, "noimage": case_noimage,
         "workspace": lambda desktop: case_noimage(desktop, workspace=True), "live": case_live,
         "cross": case_cross, "oneshot": case_oneshot}


def main():
    args = sys.argv[1:]
    split = args.index("--")
    huvella, colors, pointer, cases = args[0], args[1], args[2:split], args[split + 1:]
    if len(cases) > 1:
        # Each case in a process of its own, so each has an AT-SPI client of
        # its own: a client's list of the programs on the bus, on a busy
        # machine, was seen to keep a program that had ended and never to show
        # the next one, where a new client reads the registry afresh.
        failed = [case for case in cases
                  if subprocess.run([sys.executable, __file__, *args[:split + 1], case]).returncode]
        print(f"{len(cases) - len(failed)} of {len(cases)} cases passed"
              + (f"; failed: {' '.join(failed)}" if failed else ""), flush=True)
        sys.exit(1 if failed else 0)
    desktop = Desktop(huvella, colors, pointer)
    try:
        for case in cases:
            CASES[case](desktop)
    finally:
        desktop.close()
    print(f"{passed} checks passed, {len(failures)} failed", flush=True)
    sys.exit(1 if failures else 0)


main()
