"""huvella --pick on the real headless KWin (run under with-kwin), frozen by
the portal's Screenshot, with no input to give it (KWin's fake input needs a
client of its own): the frozen frame shows, with the picture KWin wrote
already gone from ~/Pictures; killed on the frame, it leaves nothing. Without
~/Pictures KWin refuses the screenshot, and the same pick goes on by KWin's own
color picker: no frozen frame comes, and the program waits on with nothing
said, until it is stopped.

    pick_screenshot_kde_test.py HUVELLA
"""

import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from pick_screenshot_common import check, failures, frozen, passed, pictures, wait_for  # noqa: E402

huvella = sys.argv[1]

program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           text=True)
check(wait_for(frozen) is not None, "no frozen frame")
check(not pictures(), f"while the frame shows: {pictures()}")
program.kill()
program.communicate()
check(not pictures(), f"killed on the frozen frame, it left {pictures()}")

os.rmdir(os.path.join(os.environ["HOME"], "Pictures"))
program = subprocess.Popen([huvella, "--pick"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           text=True)
# The refusal comes in well under a second; a frozen frame would come by then.
check(wait_for(frozen, seconds=5) is None, "a frozen frame without ~/Pictures")
check(program.poll() is None, f"without ~/Pictures the pick ended: {program.poll()}")
program.terminate()
out, err = program.communicate()
check(out == "" and "huvella:" not in err, f"without ~/Pictures it said '{out}' '{err[:300]}'")
check(not pictures(), f"without ~/Pictures it left {pictures()}")

print(f"{passed[0]} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
