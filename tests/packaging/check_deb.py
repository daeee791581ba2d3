#!/usr/bin/env python3
"""Builds the Debian package with CPack and inspects it with dpkg-deb: its name and version, its
control fields (the libraries dpkg-shlibdeps found, the platform plugins, the recommended font),
and its files, which must be the installed tree of check_install.py under /usr, owned by root.

    check_deb.py CPACK BUILD_DIR WORK_DIR SOURCE_DIR APP_ID VERSION_TEXT
"""

import glob
import os
import re
import shutil
import subprocess
import sys

from check_install import Checker, check_tree, report

# Packages the program cannot start without: found by dpkg-shlibdeps from the program's own
# links, except the platform plugins, which Qt loads at run time. A release may name a library's
# package otherwise (Debian 13's libqt6core6t64, from the move to a 64-bit time_t) and have it
# provide the name here: a Depends entry stands for what its installed package provides as well.
REQUIRED_DEPENDS = ["libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                    "qt6-qpa-plugins"]


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def package_names(field):
    """The package names of a Depends-style field, alternatives included, versions dropped."""
    return {re.split(r"[\s(]", alternative.strip())[0]
            for group in field.split(",") for alternative in group.split("|") if alternative.strip()}


def provided(names):
    """The names, and what the installed packages of those names provide."""
    result = set(names)
    for name in names:
        query = subprocess.run(["dpkg-query", "--show", "--showformat=${Provides}", name],
                               capture_output=True, text=True)
        if query.returncode == 0:
            result |= package_names(query.stdout)
    return result


def main():
    cpack, build_dir, work_dir, source_dir, app_id, version_text = sys.argv[1:]
    shutil.rmtree(work_dir, ignore_errors=True)
    subprocess.run([cpack, "-G", "DEB", "-B", work_dir, "--config",
                    os.path.join(build_dir, "CPackConfig.cmake")], check=True)
    architecture = run("dpkg", "--print-architecture").strip()
    check = Checker()
    debs = glob.glob(os.path.join(work_dir, "*.deb"))
    wanted_name = f"tovrel_{version_text}_{architecture}.deb"
    if not check.expect([os.path.basename(d) for d in debs] == [wanted_name],
                        f"cpack wrote {debs}, expected {wanted_name}"):
        report(check, "")
    deb = debs[0]

    fields = {}
    for line in run("dpkg-deb", "--field", deb).splitlines():
        if line and not line[0].isspace() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    for key, value in {"Package": "tovrel", "Version": version_text,
                       "Architecture": architecture, "Section": "utils"}.items():
        check.expect(fields.get(key) == value, f"{key}: {fields.get(key)!r}, expected {value!r}")
    check.expect(bool(fields.get("Maintainer")), "no Maintainer")
    check.expect(bool(fields.get("Description")), "no Description")
    depends = provided(package_names(fields.get("Depends", "")))
    missing = [name for name in REQUIRED_DEPENDS if name not in depends]
    check.expect(not missing, f"Depends lacks {missing}: {fields.get('Depends')}")
    check.expect(package_names(fields.get("Recommends", "")) == {"fonts-ipafont-gothic",
                                                                  "qt6-wayland"},
                 f"Recommends: {fields.get('Recommends')!r}")

    # Every entry of the data archive is root's; the files are checked on the extracted tree.
    for line in run("dpkg-deb", "--contents", deb).splitlines():
        check.expect(line.split()[1] == "root/root", f"not owned by root: {line}")
    extracted = os.path.join(work_dir, "extracted")
    run("dpkg-deb", "--extract", deb, extracted)
    check.expect(os.listdir(extracted) == ["usr"], f"files outside /usr: {os.listdir(extracted)}")
    check_tree(check, os.path.join(extracted, "usr"), source_dir, app_id, version_text)
    report(check, f"{os.path.basename(deb)}: Depends {fields.get('Depends')}; "
                  f"Recommends {fields.get('Recommends')}")


if __name__ == "__main__":
    main()
