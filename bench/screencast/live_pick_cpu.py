"""The CPU of the live pick and of the display server, for
run-real-gnome-bench: `gnome` under with-gnome (the screen cast, the pointer
through Mutter's RemoteDesktop), `x11` on Xvfb (X11 live sampling, the pointer
through xdotool), the same colors and pointer path.
    live_pick_cpu.py gnome|x11 HUVELLA COLORS
"""
import math
import os
import subprocess
import sys
import time

SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "support")
sys.path.insert(0, SUPPORT)
from huvella_window import Window, wait_for  # noqa: E402
from known_colors import show_known_colors  # noqa: E402

PICK = "Pick a color from desktop"


def cpu(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/schedstat") as f:
            total += int(f.read().split()[0])
    return total


def over(pids, move):
    """Each process's CPU in % of one core while move() runs."""
    before = [cpu(p) for p in pids]
    start = time.monotonic_ns()
    move()
    took = time.monotonic_ns() - start
    return [100 * (cpu(p) - b) / took for p, b in zip(pids, before)]


def round_path(step):
    """200 points at 20 Hz round the right of a 1920 x 1080 monitor, away
    from the window on the left."""
    start = time.monotonic()
    for i in range(200):
        step(1200 + int(400 * math.cos(i / 25)), 540 + int(400 * math.sin(i / 25)))
        time.sleep(max(0, start + (i + 1) * 0.05 - time.monotonic()))


def pid_of(name):
    return int(subprocess.run(["pgrep", "-n", "-x", name], capture_output=True,
                              text=True).stdout.split()[0])


def main():
    way, huvella, colors_program = sys.argv[1:4]
    colors, _ = show_known_colors(colors_program)
    if way == "gnome":
        pointer = subprocess.Popen([sys.executable, os.path.join(SUPPORT, "gnome_input.py")],
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        assert pointer.stdout.readline().strip() == "ready"

        def move_to(x, y):
            pointer.stdin.write(f"move Meta-0 {x} {y}\n")
            pointer.stdin.flush()
            assert pointer.stdout.readline().strip() == "ok"
        server, name, args = pid_of("gnome-shell"), "GNOME Shell", []
    else:
        def move_to(x, y):
            subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)
        server, name, args = pid_of("Xvfb"), "Xvfb", ["--picker=x11"]
    app = subprocess.Popen([huvella, *args])
    window = Window(app.pid)
    if way == "gnome":
        subprocess.run(["gdbus", "call", "--session", "--dest", "org.gnome.Shell",
                        "--object-path", "/org/gnome/Shell", "--method",
                        "org.freedesktop.DBus.Properties.Set", "org.gnome.Shell",
                        "OverviewActive", "<false>"], capture_output=True)
    window.press(PICK)
    if way == "gnome":
        subprocess.run([sys.executable, os.path.join(SUPPORT, "share_dialog.py"), "share"],
                       check=True)
    move_to(1200, 540)
    first = window.fields()
    move_to(1201, 541)
    wait_for(lambda: window.fields() != first)
    program, display = over([app.pid, server], lambda: round_path(move_to))
    print(f"  sampling:     the program {program:5.2f} %, {name} {display:5.2f} %", flush=True)
    window.press(PICK)  # stops it
    wait_for(lambda: window.caption(PICK) == PICK)
    program, display = over([app.pid, server], lambda: round_path(move_to))
    print(f"  not sampling: the program {program:5.2f} %, {name} {display:5.2f} %", flush=True)
    app.terminate()
    app.wait()
    colors.terminate()


main()
