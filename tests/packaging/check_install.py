#!/usr/bin/env python3
"""Installs the build into an empty staging folder (prefix STAGE/usr) and checks the tree: the
program, the desktop entry, the hicolor icons, the AppStream metainfo and the licence, nothing
more, and that they name each other by the one application id.

    check_install.py CMAKE BUILD_DIR STAGE SOURCE_DIR APP_ID VERSION_TEXT
"""

import configparser
import os
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree


def expected_files(app_id):
    """The installed files, relative to the prefix, with their permission bits."""
    return {
        "bin/tovrel": 0o755,
        f"share/applications/{app_id}.desktop": 0o644,
        f"share/metainfo/{app_id}.metainfo.xml": 0o644,
        f"share/icons/hicolor/16x16/apps/{app_id}.png": 0o644,
        f"share/icons/hicolor/32x32/apps/{app_id}.png": 0o644,
        "share/doc/tovrel/copyright": 0o644,
    }


def png_header(data):
    """(width, height, bit depth, colour type) of a PNG file."""
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">IIBB", data[16:26])


class Checker:
    def __init__(self):
        self.problems = []

    def expect(self, condition, message):
        if not condition:
            self.problems.append(message)
        return condition


def check_tree(check, prefix, source_dir, app_id, version_text):
    wanted = expected_files(app_id)
    found = {}
    for folder, _, names in os.walk(prefix):
        for name in names:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, prefix)] = os.stat(path).st_mode & 0o777
    check.expect(set(found) == set(wanted),
                 f"installed {sorted(found)}, expected {sorted(wanted)}")
    for path, mode in sorted(wanted.items()):
        if path in found:
            check.expect(found[path] == mode, f"{path}: mode {found[path]:o}, expected {mode:o}")

    def read(path):
        with open(os.path.join(prefix, path), "rb") as f:
            return f.read()

    if "bin/tovrel" in found:
        check.expect(read("bin/tovrel")[:4] == b"\x7fELF", "bin/tovrel is not a program")
    for size in (16, 32):
        path = f"share/icons/hicolor/{size}x{size}/apps/{app_id}.png"
        if path in found:
            data = read(path)
            check.expect(png_header(data) == (size, size, 8, 2),
                         f"{path}: {png_header(data)}, expected {size}x{size} 8-bit RGB")
            with open(os.path.join(source_dir, "resources", f"tovrel-{size}.png"), "rb") as f:
                check.expect(data == f.read(), f"{path} is not resources/tovrel-{size}.png")

    desktop_path = f"share/applications/{app_id}.desktop"
    if desktop_path in found:
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read_string(read(desktop_path).decode("utf-8"))
        entry = entry["Desktop Entry"]
        check.expect(entry.get("Exec", "").split()[:1] == ["tovrel"],
                     f"Exec={entry.get('Exec')}, expected the installed program tovrel")
        check.expect(entry.get("Icon") == app_id, f"Icon={entry.get('Icon')}, expected {app_id}")
        check.expect(entry.get("Name") == "Tovrel", f"Name={entry.get('Name')}")
        check.expect(entry.get("Terminal") == "false", "the entry asks for a terminal")

    metainfo_path = f"share/metainfo/{app_id}.metainfo.xml"
    if metainfo_path in found:
        root = ElementTree.fromstring(read(metainfo_path))
        check.expect(root.findtext("id") == app_id, f"metainfo id {root.findtext('id')}")
        check.expect(root.findtext("launchable") == f"{app_id}.desktop",
                     f"metainfo launchable {root.findtext('launchable')}")
        check.expect(root.findtext("provides/binary") == "tovrel", "metainfo: no binary tovrel")
        versions = [r.get("version") for r in root.iter("release")]
        check.expect(versions == [version_text], f"metainfo releases {versions}")
        images = [i.text for i in root.iter("image")]
        check.expect(len(images) == 1 and images[0].endswith("/docs/screenshot.png"),
                     f"metainfo screenshots {images}")
        check.expect(os.path.isfile(os.path.join(source_dir, "docs", "screenshot.png")),
                     "the metainfo shows docs/screenshot.png, which the repository lacks")

    if "share/doc/tovrel/copyright" in found:
        with open(os.path.join(source_dir, "LICENSE"), "rb") as f:
            check.expect(read("share/doc/tovrel/copyright") == f.read(),
                         "share/doc/tovrel/copyright is not the LICENSE")


def report(check, success):
    for problem in check.problems:
        print(f"FAIL: {problem}")
    if check.problems:
        sys.exit(1)
    print(success)


def main():
    cmake, build_dir, stage, source_dir, app_id, version_text = sys.argv[1:]
    shutil.rmtree(stage, ignore_errors=True)
    prefix = os.path.join(stage, "usr")
    subprocess.run([cmake, "--install", build_dir, "--prefix", prefix], check=True)
    check = Checker()
    check_tree(check, prefix, source_dir, app_id, version_text)
    report(check, f"installed tree under {prefix} is complete")


if __name__ == "__main__":
    main()
