#!/usr/bin/env python3
"""Runs resources/make_artwork.py into an empty folder and requires it to write exactly the
committed images, byte for byte: the images in resources/ are what the script draws, and nothing
else draws them.

    check_artwork.py PYTHON RESOURCE_DIR WORK_DIR
"""

import filecmp
import os
import shutil
import subprocess
import sys

IMAGE_ENDINGS = (".bmp", ".ico", ".png")


def main():
    python, resource_dir, work_dir = sys.argv[1:]
    shutil.rmtree(work_dir, ignore_errors=True)
    subprocess.run([python, os.path.join(resource_dir, "make_artwork.py"), work_dir], check=True)
    drawn = sorted(os.listdir(work_dir))
    committed = sorted(name for name in os.listdir(resource_dir) if name.endswith(IMAGE_ENDINGS))
    problems = []
    if drawn != committed:
        problems.append(f"the script draws {drawn}, resources/ holds {committed}")
    for name in sorted(set(drawn) & set(committed)):
        if not filecmp.cmp(os.path.join(work_dir, name), os.path.join(resource_dir, name),
                           shallow=False):
            problems.append(f"{name} differs from what the script draws")
    for problem in problems:
        print(f"FAIL: {problem}")
    if problems:
        sys.exit(1)
    print(f"the script reproduces all {len(drawn)} images byte for byte")


if __name__ == "__main__":
    main()
