"""The window's pick with --picker=screenshot on the real headless GNOME Shell
(run under with-gnome), read through AT-SPI as a screen reader reads it.

    window_screenshot_test.py HUVELLA HUVELLA_TEST_COLORS

Every monitor shows known colors. While the frozen frame shows, the fields
follow the pointer at the tick, and the loupe stands beside the pointer: a
second screenshot, taken by this test while the frame shows, has the loupe's
ringed centre cell in the pointer's color right of and below it. A click keeps
the color picked; on the next pick Escape brings back the color from before.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from huvella_window import Window  # noqa: E402
from known_colors import known_color, show_known_colors  # noqa: E402
from pick_screenshot_common import (Input, aim_at, check, failures, frozen, leave_overview,  # noqa: E402
                                    passed, reference, reference_hex, wait_for)

huvella, colors_program = sys.argv[1:3]
PICK = "Pick a color from desktop"
# The loupe's place beside the pointer and its centre cell's inside, in physical
# pixels (frmMain/PickerLoupe): 24 right of and below the pointer, a frame of
# one, cells of 8 a pitch of 9 apart, the centre the eighth.
GAP, CENTRE = 24, 1 + 7 * 9 + 4

# Unsandboxed programs may take screenshots: GNOME's question is the command
# test's.
subprocess.run(["gdbus", "call", "--session", "--dest",
                "org.freedesktop.impl.portal.PermissionStore", "--object-path",
                "/org/freedesktop/impl/portal/PermissionStore", "--method",
                "org.freedesktop.impl.portal.PermissionStore.Set", "screenshot", "true",
                "screenshot", "{'': ['yes']}", "<byte 0>"], check=True, capture_output=True)
pointer = Input()
connector = os.environ["DESKTOP_MONITORS"].split()[0]
# The known colors first: the window then comes above them, and they stay
# around it.
colors, shown = show_known_colors(colors_program)
program = subprocess.Popen([huvella, "--picker=screenshot", "--color", "#123456"])
window = Window(program.pid)
leave_overview()
k = shown.get(connector, (0,))[0]
scratch = os.path.join(os.environ["XDG_RUNTIME_DIR"], "window-screenshot-test")
os.makedirs(scratch, exist_ok=True)
try:
    before = window.text("Hex (HTML) color")
    check(before == "#123456", f"the window opened on {before}")

    # A pick that ends by a click: the fields follow, the loupe shows beside
    # the pointer, the color clicked stays.
    reference(os.path.join(scratch, "before.png"))
    window.press(PICK)
    check(wait_for(frozen) is not None, "no frozen frame")
    x, y = 700, 400
    aim_at(pointer, "the first pick", f"move {connector} {x} {y}")
    check(wait_for(lambda: window.text("Hex (HTML) color") == known_color(x, y, k)),
          f"the fields did not follow to {known_color(x, y, k)}: {window.fields()}")
    x2, y2 = 703, 398
    pointer(f"move {connector} {x2} {y2}")
    check(wait_for(lambda: window.text("Hex (HTML) color") == known_color(x2, y2, k)),
          f"the fields did not follow to {known_color(x2, y2, k)}: {window.fields()}")
    shot = os.path.join(scratch, "loupe.png")
    reference(shot)
    centre = reference_hex(shot, x2 + GAP + CENTRE, y2 + GAP + CENTRE)
    check(centre == known_color(x2, y2, k),
          f"the loupe's centre beside the pointer shows {centre}, not {known_color(x2, y2, k)}")
    check(reference_hex(shot, x2 - 50, y2 - 50) == known_color(x2 - 50, y2 - 50, k),
          "the frozen frame away from the loupe is not the desktop's picture")
    pointer("click")
    check(wait_for(lambda: program.poll() is None and not frozen()), "the click did not end it")
    picked = known_color(x2, y2, k)
    check(window.text("Hex (HTML) color") == picked,
          f"after the click the window shows {window.text('Hex (HTML) color')}, not {picked}")

    # Escape: the fields followed, the color from before comes back.
    window.press(PICK)
    check(wait_for(frozen) is not None, "no frozen frame the second time")
    x3, y3 = 300, 600
    aim_at(pointer, "the second pick", f"move {connector} {x3} {y3}")
    check(wait_for(lambda: window.text("Hex (HTML) color") == known_color(x3, y3, k)),
          "the fields did not follow on the second pick")
    pointer("key Escape")
    check(wait_for(lambda: window.text("Hex (HTML) color") == picked),
          f"after Escape the window shows {window.text('Hex (HTML) color')}, not {picked}")
finally:
    colors.kill()
    program.terminate()
    program.wait()
    colors.wait()

print(f"{passed[0]} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
