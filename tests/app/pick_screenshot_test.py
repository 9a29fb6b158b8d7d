"""huvella --pick on the real headless GNOME Shell (run under with-gnome, with
any --monitors and --scale), frozen by the portal's Screenshot.

    pick_screenshot_test.py HUVELLA HUVELLA_TEST_COLORS

Every monitor shows known colors (huvella-test-colors). At known physical
points of each monitor: a click prints the pixel and exits 0, Enter after
arrow steps prints the pixel stepped to, Escape and a right click exit 1 with
nothing printed. At an integer scale the pixel is checked against the known
color itself; at a fractional one, where GNOME scales the pattern's window,
against an independent portal screenshot. GNOME's question is answered Allow
at the first pick; taken back and answered Deny, the same pick goes on by
GNOME's own color picker. No picture is left in the home or its Pictures
folder after any pick, nor when the program is killed on the frozen frame.
"""

import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from known_colors import known_color, show_known_colors  # noqa: E402
from pick_screenshot_common import (BOUND, Input, aim_at, ended, killed_on_frame, check, failures, frozen,  # noqa: E402
                                    leave_overview, passed, pictures, press, reference,
                                    reference_hex, wait_for)

huvella, colors_program = sys.argv[1:3]


def pick(what, lines, status, out, aim):
    """One pick: aimed at `aim` (a move) once the frozen frame shows and has
    the keyboard, then `lines`."""
    program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    if wait_for(frozen) is None:
        program.kill()
        check(False, f"{what}: no frozen frame")
        return
    aim_at(pointer, what, aim)
    pointer(*lines)
    ended(program, what, status, out)


pointer = Input()
scratch = os.path.join(os.environ["XDG_RUNTIME_DIR"], "pick-screenshot-test")
os.makedirs(scratch, exist_ok=True)
monitors = [line.split() for line in os.environ["DESKTOP_MONITORS"].splitlines()]
# The remote desktop's pointer is made at its first move: a program that starts
# before then is told of it only then, and a click that comes with that move
# can reach the program before it has taken the pointer.
pointer(f"move {monitors[0][0]} 40 40")
colors, shown = show_known_colors(colors_program)
leave_overview()
try:
    # The first pick: GNOME asks; Allow, and the pick goes on to a frozen frame
    # without the question in it.
    first = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True)
    check(press("Allow"), "GNOME's question did not show")
    check(wait_for(frozen) is not None, "no frozen frame after Allow")
    fractional = any(float(m[5]) != int(float(m[5])) for m in monitors)
    # Where the question stood, in the middle of the first monitor, the frame
    # shows the known colors: it was taken again once the question had gone.
    connector, _, _, width, height, _ = monitors[0]
    x, y = int(width) // 2, int(height) // 2
    aim_at(pointer, "after Allow", f"move {connector} {x} {y}")
    pointer("click" if not fractional else "key Escape")
    out, _ = first.communicate(timeout=BOUND)
    if fractional:
        check(first.returncode == 1, f"Escape after Allow gave {first.returncode}")
    else:
        want = known_color(x, y, shown.get(connector, (0,))[0])
        check((first.returncode, out.strip()) == (0, want),
              f"after Allow the frame gave {first.returncode} '{out.strip()}' where the "
              f"question stood, not {want}")

    if fractional:
        reference(os.path.join(scratch, "reference.png"))
    for connector, mx, my, width, height, _scale in monitors:
        mx, my, width, height = int(mx), int(my), int(width), int(height)
        k = shown.get(connector, (0,))[0]

        def expected(x, y):
            if fractional:
                return reference_hex(os.path.join(scratch, "reference.png"), mx + x, my + y)
            return known_color(x, y, k)
        x, y = width // 3 + 7, height // 2 + 3
        at = f"move {connector} {x} {y}"
        pick(f"click on {connector}", ["click"], 0, expected(x, y), aim=at)
        pick(f"Enter after arrows on {connector}",
             ["key Right", "key Right", "key Left", "key Up", "key Return"], 0,
             expected(x + 1, y - 1), aim=at)
        pick(f"Escape on {connector}", ["key Escape"], 1, "", aim=at)
        pick(f"right click on {connector}", ["click right"], 1, "", aim=at)

    killed_on_frame(huvella)

    # Deny: the stored answer taken back, GNOME asks again; denied, the same
    # pick goes on by GNOME's own picker, which a click answers.
    subprocess.run(["gdbus", "call", "--session", "--dest",
                    "org.freedesktop.impl.portal.PermissionStore", "--object-path",
                    "/org/freedesktop/impl/portal/PermissionStore", "--method",
                    "org.freedesktop.impl.portal.PermissionStore.Delete",
                    "screenshot", "screenshot"], check=True, capture_output=True)
    connector, _, _, width, height, _ = monitors[0]
    x, y = int(width) // 2 + 5, int(height) // 3 + 1
    program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    check(press("Deny"), "GNOME's question did not show again")
    # GNOME's picker shows no window of ours: clicked until the pick ends.
    deadline = time.monotonic() + BOUND
    while program.poll() is None and time.monotonic() < deadline:
        pointer(f"move {connector} {x} {y}", "click")
        time.sleep(0.2)
    if program.poll() is None:
        program.kill()
    got_out, got_err = program.communicate()
    got = got_out.strip()
    if fractional:
        # GNOME's own picker reads its stage at a fractional scale, not the
        # screenshot: a color is all that is asked of it there.
        ok = program.returncode == 0 and len(got) == 7 and got.startswith("#")
        want = "a color"
    else:
        want = known_color(x, y, shown.get(connector, (0,))[0])
        ok = (program.returncode, got) == (0, want)
    check(ok, f"after Deny: {program.returncode} '{got}' ({got_err[:300]}), expected 0 '{want}'")
    check(not pictures(), f"after Deny it left {pictures()}")
finally:
    colors.kill()
    colors.wait()
    shutil.rmtree(scratch, ignore_errors=True)

print(f"{passed[0]} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
