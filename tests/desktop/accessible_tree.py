#!/usr/bin/python3
"""The running Huvella window as a screen reader reads it over AT-SPI: every
control found by its accessible name with its role, the value boxes' texts,
the sliders' values and ranges, and the swatch's color; then a value set
through the accessibility interface, the Clear All and Exit buttons pressed
through it, and the window followed live."""
import sys
import time

import pyatspi

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def wait_for(probe, seconds=20.0):
    """probe() until it returns something true; its last answer."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            answer = probe()
        except Exception:  # the program or the bus still starting
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(0.1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        if child is not None and child.name == "Huvella" and child.childCount > 0:
            return child
    return None


def controls(node):
    """Every accessible below node, by name (a list: names may repeat)."""
    found = {}
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        found.setdefault(child.name, []).append(child)
        for name, nodes in controls(child).items():
            found.setdefault(name, []).extend(nodes)
    return found


def text(node):
    return node.queryText().getText(0, -1)


def read_only(node):
    return node.getState().contains(pyatspi.STATE_READ_ONLY)


BUTTONS = [
    "Translate a color to his values...",
    "Translate HTML color value to Color",
    "Pick a color from desktop",
    "Clear All",
    "Save...",
    "About...",
    "Exit",
]
# name: (first text, read-only)
BOXES = {
    "Hex (HTML) color": ("#000000", False),
    "Decimal value": ("0", True),
    "Red value": ("0", False),
    "Green value": ("0", False),
    "Blue value": ("0", False),
    "Hue value": ("0", True),
    "Saturation value": ("0", True),
    "Luminance value": ("0", True),
}
# name: (first value, maximum)
SLIDERS = {
    "Red slider": (0, 255),
    "Green slider": (0, 255),
    "Blue slider": (0, 255),
    "Hue slider": (0, 240),
    "Saturation slider": (0, 240),
    "Luminance slider": (0, 240),
}


def one(named, name, role):
    nodes = [n for n in named.get(name, []) if n.getRole() == role]
    others = [n.getRoleName() for n in named.get(name, []) if n.getRole() != role]
    check(len(nodes) == 1, f"{len(nodes)} {role} named {name!r}, not one"
          + (f" (named so: {others})" if others else ""))
    return nodes[0] if nodes else None


def first_view(window, named):
    check(window.getRole() == pyatspi.ROLE_FRAME,
          f"the window is a {window.getRoleName()}, not a frame")
    check(window.name == "Huvella", f"the window is named {window.name!r}")
    for caption in BUTTONS:
        button = one(named, caption, pyatspi.ROLE_PUSH_BUTTON)
        if button is not None:
            check(button.description != "", f"button {caption!r} has no description (its hint)")
    for name, (expected, locked) in BOXES.items():
        box = one(named, name, pyatspi.ROLE_TEXT)
        if box is not None:
            check(text(box) == expected, f"{name!r} reads {text(box)!r}, not {expected!r}")
            check(read_only(box) == locked, f"{name!r} read-only is {read_only(box)}, not {locked}")
    for name, (expected, maximum) in SLIDERS.items():
        slider = one(named, name, pyatspi.ROLE_SLIDER)
        if slider is not None:
            value = slider.queryValue()
            check(value.currentValue == expected,
                  f"{name!r} is at {value.currentValue}, not {expected}")
            check((value.minimumValue, value.maximumValue) == (0, maximum),
                  f"{name!r} spans {value.minimumValue}..{value.maximumValue}, not 0..{maximum}")
    swatch = one(named, "Current color", pyatspi.ROLE_IMAGE)
    if swatch is not None:
        check(swatch.description == "#000000",
              f"the swatch says {swatch.description!r}, not #000000")

    # Nothing the keyboard reaches may be nameless.
    def walk(node):
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child.getState().contains(pyatspi.STATE_FOCUSABLE):
                check(child.name.strip() != "", f"a nameless focusable {child.getRoleName()}")
            walk(child)
    walk(window)


def press(named, caption):
    action = named[caption][0].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"{caption!r} offers {names}, no Press")
    if "Press" in names:
        action.doAction(names.index("Press"))


def live(named):
    """A value put in through AT-SPI runs the program's own change handling,
    and the tree follows it."""
    hex_box = named["Hex (HTML) color"][0]
    swatch = named["Current color"][0]
    red = named["Red value"][0]
    check(red.queryEditableText().setTextContents("255"), "'Red value' takes no text")
    check(wait_for(lambda: text(hex_box) == "#FF0000", 5), f"red 255 gives hex {text(hex_box)!r}")
    check(text(named["Decimal value"][0]) == "255", "red 255 gives another decimal value")
    check(named["Red slider"][0].queryValue().currentValue == 255, "the red slider did not follow")
    check(swatch.description == "#FF0000", f"the swatch says {swatch.description!r} for red")

    press(named, "Clear All")
    check(wait_for(lambda: text(red) == "0", 5), "Clear All left 'Red value' at " + text(red))
    check(text(hex_box) == "#000000" and swatch.description == "#000000",
          "Clear All did not bring back black")


def main():
    app = wait_for(application)
    if app is None:
        print("FAIL: no application named Huvella on the AT-SPI bus")
        return 1
    window = app.getChildAtIndex(0)
    named = wait_for(lambda: (lambda n: n if "Exit" in n else None)(controls(window)))
    if not named:
        print("FAIL: the window's controls are not on the AT-SPI bus")
        return 1
    print(f"{len(named)} named accessibles in {window.getRoleName()} {window.name!r}")
    first_view(window, named)
    if not failures:
        live(named)
    press(named, "Exit")
    for failure in failures:
        print("FAIL:", failure)
    print("accessible tree:", "bad" if failures else "good")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
