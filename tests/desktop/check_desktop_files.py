#!/usr/bin/python3
"""Checks what a desktop sees of an installed Huvella under a prefix (/usr in
a package, any folder for `cmake --install`): the program, a desktop entry and
AppStream metainfo that pass their validators and name each other, and the
icon in the hicolor theme at every size.

  check_desktop_files.py PREFIX APP_ID VERSION
  check_desktop_files.py --cmake-install BUILD_DIR APP_ID VERSION
"""
import configparser
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ICON_SIZES = (16, 24, 32, 48, 64, 72, 96, 128)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def validator(command, path):
    run = subprocess.run(command + [path], capture_output=True, text=True)
    output = (run.stdout + run.stderr).strip()
    check(run.returncode == 0, f"{command[0]} rejects {path}:\n{output}")
    print(f"{' '.join(command)} {os.path.basename(path)}: exit {run.returncode}"
          + (f"\n{output}" if output else ""))


def desktop_entry(prefix, app_id):
    path = os.path.join(prefix, "share/applications", app_id + ".desktop")
    if not check(os.path.isfile(path), f"no desktop entry {path}"):
        return None
    validator(["desktop-file-validate"], path)
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str  # keys are case-sensitive
    parser.read(path, encoding="utf-8")
    entry = parser["Desktop Entry"]
    check(entry.get("Name") == "Huvella", f"Name is {entry.get('Name')!r}")
    check(len(entry.get("Comment", "")) > 10, "no one-line Comment")
    check("Graphics" in entry.get("Categories", "").split(";"),
          f"Categories {entry.get('Categories')!r} lack Graphics")
    check(entry.get("Icon") == app_id, f"Icon is {entry.get('Icon')!r}, not the theme icon {app_id}")
    program = entry.get("Exec", "").split()[0] if entry.get("Exec") else ""
    check(os.access(os.path.join(prefix, "bin", program), os.X_OK),
          f"Exec {program!r} is not the installed program")
    return entry


def metainfo(prefix, app_id, version):
    path = os.path.join(prefix, "share/metainfo", app_id + ".metainfo.xml")
    if not check(os.path.isfile(path), f"no metainfo {path}"):
        return
    validator(["appstreamcli", "validate", "--no-net", "--strict"], path)
    root = ET.parse(path).getroot()
    check(root.findtext("id") == app_id, f"component id {root.findtext('id')!r}")
    launchable = root.find("launchable[@type='desktop-id']")
    check(launchable is not None and launchable.text == app_id + ".desktop",
          "the launchable is not the installed desktop entry")
    paragraphs = root.findall("description/p")
    check(paragraphs and all(p.text and p.text.strip() for p in paragraphs), "no description")
    image = root.find("screenshots/screenshot[@type='default']/image")
    check(image is not None and (image.text or "").startswith("https://"),
          "no default screenshot")
    check(root.findtext("project_license") == "MIT",
          f"project_license is {root.findtext('project_license')!r}, not MIT")
    check(root.findtext("metadata_license") == "CC0-1.0",
          f"metadata_license is {root.findtext('metadata_license')!r}, not CC0-1.0")
    release = root.find("releases/release")
    check(release is not None and release.get("version") == version,
          f"the latest release is not the program's version {version}")


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", header[16:24])


def icons(prefix, app_id):
    theme = os.path.join(prefix, "share/icons/hicolor")
    for size in ICON_SIZES:
        path = os.path.join(theme, f"{size}x{size}/apps/{app_id}.png")
        if check(os.path.isfile(path), f"no {size}x{size} icon"):
            check(png_size(path) == (size, size),
                  f"{path} is {png_size(path)}, not a {size}x{size} PNG")
    found = sorted(os.listdir(theme)) if os.path.isdir(theme) else []
    expected = sorted(f"{size}x{size}" for size in ICON_SIZES)
    check(found == expected, f"icon sizes {found}, expected {expected}")


def check_prefix(prefix, app_id, version):
    check(os.access(os.path.join(prefix, "bin/huvella"), os.X_OK), "no bin/huvella")
    check(os.path.isfile(os.path.join(prefix, "share/man/man1/huvella.1.gz")),
          "no manual page share/man/man1/huvella.1.gz")
    desktop_entry(prefix, app_id)
    metainfo(prefix, app_id, version)
    icons(prefix, app_id)


def main(args):
    if len(args) == 4 and args[0] == "--cmake-install":
        build, app_id, version = args[1:]
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                           check=True, stdout=subprocess.DEVNULL)
            check_prefix(prefix, app_id, version)
    elif len(args) == 3:
        check_prefix(*args)
    else:
        sys.exit(__doc__)
    for failure in failures:
        print("FAIL:", failure)
    print("desktop files:", "bad" if failures else "good")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
