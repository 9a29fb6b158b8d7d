"""huvella --pick on the real headless KWin (run under with-kwin --fake-input
KWIN_INPUT, with any --monitors and --scale), frozen by the portal's
Screenshot.

    pick_screenshot_kde_test.py HUVELLA HUVELLA_TEST_COLORS KWIN_INPUT

Every monitor shows known colors (huvella-test-colors). At known physical
points of each monitor, through KWin's fake input: a click prints the pixel
and exits 0, Enter after arrow steps prints the pixel stepped to, Escape and
a right click exit 1 with nothing printed. KWin draws the pointer into its
screenshot where it rests as the pick starts, so it is parked first, away from
the points aimed at. No picture is left in ~/Pictures after any pick, nor when
the program is killed on the frozen frame. Without ~/Pictures KWin refuses the
screenshot, and the same pick goes on by KWin's own color picker: no frozen
frame comes, and the program waits on with nothing said, until it is stopped.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from known_colors import known_color, show_known_colors  # noqa: E402
from pick_screenshot_common import (Input, ended, killed_on_frame, check, failures, frozen,  # noqa: E402
                                    passed, pictures, wait_for)

huvella, colors_program, kwin_input = sys.argv[1:4]


def pick(what, park, aim, lines, status, out):
    """One pick: the pointer parked at `park` before the program starts, then
    moved to `aim` and `lines` given once the frozen frame shows. The
    compositor hands the frame the pointer's and the keys' events in the order
    they were made."""
    pointer(park)
    program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    if wait_for(frozen) is None:
        program.kill()
        program.communicate()
        check(False, f"{what}: no frozen frame")
        return
    pointer(aim, *lines)
    ended(program, what, status, out)


pointer = Input([kwin_input])
colors, shown = show_known_colors(colors_program)
try:
    names = sorted(shown)
    for name in names:
        k, width, height = shown[name]
        # Parked on another monitor where there is one, else far from the point.
        other = names[(names.index(name) + 1) % len(names)]
        park = f"move {other} {shown[other][1] - 9} {shown[other][2] - 9}"
        # Even points: at scale 2 KWin's fake input lands the pointer on whole
        # logical pixels only; the arrows then step onto an odd physical one.
        x, y = (width // 3 + 8) & ~1, (height // 2 + 4) & ~1
        at, want = f"move {name} {x} {y}", known_color(x, y, k)
        pick(f"click on {name}", park, at, ["click"], 0, want)
        pick(f"Enter after arrows on {name}", park, at,
             ["key Right", "key Right", "key Left", "key Up", "key Return"], 0,
             known_color(x + 1, y - 1, k))
        pick(f"Escape on {name}", park, at, ["key Escape"], 1, "")
        pick(f"right click on {name}", park, at, ["click right"], 1, "")

    killed_on_frame(huvella)

    os.rmdir(os.path.join(os.environ["HOME"], "Pictures"))
    program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    # The refusal comes in well under a second; a frozen frame would come by then.
    check(wait_for(frozen, seconds=5) is None, "a frozen frame without ~/Pictures")
    check(program.poll() is None, f"without ~/Pictures the pick ended: {program.poll()}")
    program.terminate()
    out, err = program.communicate()
    check(out == "" and "huvella:" not in err, f"without ~/Pictures it said '{out}' '{err[:300]}'")
    check(not pictures(), f"without ~/Pictures it left {pictures()}")
finally:
    colors.kill()
    colors.wait()

print(f"{passed[0]} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
