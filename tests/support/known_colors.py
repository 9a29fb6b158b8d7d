"""The known colors that huvella-test-colors shows (KnownColors.cpp), and the
program started and waited for."""

import subprocess


def known_color(x, y, k):
    """The color at physical pixel (x, y) of the monitor listed k-th: '#RRGGBB'."""
    return "#%02X%02X%02X" % (x % 256, y % 256, (16 * (x // 256) + y // 256 + 128 * k) % 256)


def show_known_colors(program):
    """Starts the program; once every monitor shows, returns it and
    {monitor name: (k, physical width, physical height)}."""
    process = subprocess.Popen([program], stdout=subprocess.PIPE, text=True)
    monitors = {}
    for line in process.stdout:
        words = line.split()
        if words[0] == "shown":
            monitors[words[1]] = tuple(int(word) for word in words[2:5])
        elif words[0] == "ready":
            return process, monitors
    raise RuntimeError("huvella-test-colors stopped before it showed its colors")
