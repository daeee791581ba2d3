#!/usr/bin/env python3
"""Compiles the program's Windows resource script with windres and reads the compiled resources
back, to show that they hold what the Windows program file must carry:

  - icon group MAINICON: the 16 x 16 and 32 x 32 images, 24 bits per pixel;
  - icon group 1: the 16 x 16 image alone;
  - every icon image the very image of the .ico file drawn by resources/make_artwork.py;
  - the version record: file and product version as text and as four numbers, internal name
    Tovrel, file name Tovrel.exe, the string table "041104B0" (Japanese, Unicode), translation
    0x0411 with code page 1200, file type application; every resource in language 0x0411.

    check_windows_resources.py WINDRES CPP RC_FILE RESOURCE_DIR WORK_DIR VERSION_TEXT VERSION

With --self-test it instead compiles deliberately broken copies of the script and requires the
reader to reject each one, so that a reader that sees nothing cannot pass.
"""

import os
import re
import struct
import subprocess
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
LANG_JAPANESE = 0x0411
CODE_PAGE_UNICODE = 1200
VFT_APP, VOS_WINDOWS32 = 1, 4


class Mismatch(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Mismatch(message)


def align4(offset):
    return (offset + 3) & ~3


def read_id(data, offset):
    """A resource type or name: 0xFFFF and a number, or a NUL-terminated UTF-16 string."""
    (first,) = struct.unpack_from("<H", data, offset)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    end = offset
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def read_res(data):
    """The resources of a compiled .res file as {(type, name): (language, bytes)}."""
    resources = {}
    offset = 0
    while offset < len(data):
        data_size, header_size = struct.unpack_from("<II", data, offset)
        kind, after = read_id(data, offset + 8)
        name, after = read_id(data, after)
        after = align4(after)
        _, _, language, _, _ = struct.unpack_from("<IHHII", data, after)
        body = data[offset + header_size:offset + header_size + data_size]
        if data_size or kind or name:  # the file starts with an empty entry
            expect((kind, name) not in resources, f"resource {kind}/{name} twice")
            resources[(kind, name)] = (language, body)
        offset = align4(offset + header_size + data_size)
    return resources


def read_ico_images(path):
    """The images of an .ico file as {(width, height): (bits per pixel, image bytes)}."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    expect(kind == 1, f"{path} is not an icon file")
    images = {}
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images[(w or 256, h or 256)] = (bits, data[offset:offset + size])
    return images


def check_icon_group(resources, name, ico_path):
    expect((RT_GROUP_ICON, name) in resources, f"icon group {name} missing")
    language, group = resources[(RT_GROUP_ICON, name)]
    expect(language == LANG_JAPANESE, f"icon group {name}: language {language:#06x}")
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    expect(kind == 1, f"icon group {name}: type {kind}, not icons")
    wanted = read_ico_images(ico_path)
    sizes = []
    for i in range(count):
        w, h, _, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        sizes.append((w, h))
        expect(bits == 24 and planes == 1, f"icon group {name}: {w}x{h} has {bits} bpp")
        expect((RT_ICON, icon_id) in resources, f"icon group {name}: image {icon_id} missing")
        image = resources[(RT_ICON, icon_id)][1]
        expect(len(image) == size, f"icon group {name}: image {icon_id} size {len(image)} != {size}")
        dib_w, dib_h, _, dib_bits = struct.unpack_from("<iiHH", image, 4)
        expect((dib_w, dib_h, dib_bits) == (w, 2 * h, 24),
               f"icon group {name}: image {icon_id} is {dib_w}x{dib_h // 2} at {dib_bits} bpp")
        expect(wanted.get((w, h), (None, None))[1] == image,
               f"icon group {name}: the {w}x{h} image differs from {os.path.basename(ico_path)}")
    expect(sorted(sizes) == sorted(wanted), f"icon group {name}: sizes {sizes}, not {sorted(wanted)}")
    return sizes


def read_version_node(data, offset):
    """One node of the version record: (key, value, children, offset after the node)."""
    length, value_length, text = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = offset + 6
    while struct.unpack_from("<H", data, key_end)[0] != 0:
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    cursor = align4(key_end + 2)
    value_size = value_length * 2 if text else value_length
    value = data[cursor:cursor + value_size]
    if text:
        value = value.decode("utf-16-le").rstrip("\0")
    cursor = align4(cursor + value_size)
    children = []
    while cursor < end:
        child = read_version_node(data, cursor)
        children.append(child[:3])
        cursor = align4(child[3])
    return key, value, children, end


def check_version(resources, version_text, version_numbers):
    expect((RT_VERSION, 1) in resources, "version record 1 missing")
    language, data = resources[(RT_VERSION, 1)]
    expect(language == LANG_JAPANESE, f"version record: language {language:#06x}")
    key, fixed, children, _ = read_version_node(data, 0)
    expect(key == "VS_VERSION_INFO", f"version record: key {key!r}")
    fields = struct.unpack_from("<13I", fixed, 0)
    expect(fields[0] == 0xFEEF04BD, "version record: no fixed file info")
    a, b, c, d = version_numbers
    numbers = ((a << 16) | b, (c << 16) | d)
    expect(fields[2:4] == numbers, f"file version {fields[2]:#x},{fields[3]:#x}")
    expect(fields[4:6] == numbers, f"product version {fields[4]:#x},{fields[5]:#x}")
    expect(fields[8] == VOS_WINDOWS32, f"file OS {fields[8]:#x}")
    expect(fields[9] == VFT_APP, f"file type {fields[9]}, not an application")
    blocks = {k: c for k, _, c in children}
    expect(set(blocks) == {"StringFileInfo", "VarFileInfo"}, f"version blocks {sorted(blocks)}")
    tables = {k: {sk: sv for sk, sv, _ in c} for k, _, c in blocks["StringFileInfo"]}
    expect(list(tables) == ["041104B0"], f"string tables {list(tables)}")
    strings = tables["041104B0"]
    wanted = {"FileVersion": version_text, "ProductVersion": version_text,
              "InternalName": "Tovrel", "OriginalFilename": "Tovrel.exe"}
    expect(strings == wanted, f"version strings {strings}")
    translation = {k: v for k, v, _ in blocks["VarFileInfo"]}.get("Translation", b"")
    expect(translation == struct.pack("<HH", LANG_JAPANESE, CODE_PAGE_UNICODE),
           f"translation {translation.hex()}")


def compile_rc(windres, cpp, rc_path, res_path):
    subprocess.run([windres, f"--preprocessor={cpp}", "-O", "res", "-i", rc_path, "-o", res_path],
                   check=True)
    with open(res_path, "rb") as f:
        return read_res(f.read())


def check(resources, resource_dir, version_text, version_numbers):
    check_icon_group(resources, "MAINICON", os.path.join(resource_dir, "tovrel.ico"))
    check_icon_group(resources, 1, os.path.join(resource_dir, "tovrel16.ico"))
    check_version(resources, version_text, version_numbers)


# Broken copies of the script, each of which the reader must reject: (what is broken, regex, new).
BROKEN = [
    ("no second icon group", r'(?m)^1 ICON .*$', ""),
    ("second group from the two-image file", r'tovrel16\.ico', "tovrel.ico"),
    ("file type DLL", r"FILETYPE 0x1", "FILETYPE 0x2"),
    ("file version numbers 1.0.0.1", r"FILEVERSION (\d+),(\d+),(\d+),\d+", r"FILEVERSION \1,\2,\3,1"),
    ("product version text 1.0", r'"ProductVersion", "[^"]*"', '"ProductVersion", "1.0"'),
    ("internal name misspelt", r'"Tovrel"', '"Tovrell"'),
    ("string table in US English", r'"041104B0"', '"040904B0"'),
    ("translation to code page 1252", r"0x0411, 1200", "0x0411, 1252"),
    ("resources in a neutral language", r"LANGUAGE 0x11, 0x01", "LANGUAGE 0, 0"),
]


def main():
    args = sys.argv[1:]
    self_test = args[:1] == ["--self-test"]
    if self_test:
        args = args[1:]
    windres, cpp, rc_path, resource_dir, work_dir, version_text, version = args
    numbers = tuple(int(part) for part in version.split("."))
    os.makedirs(work_dir, exist_ok=True)
    if not self_test:
        try:
            check(compile_rc(windres, cpp, rc_path, os.path.join(work_dir, "tovrel.res")),
                  resource_dir, version_text, numbers)
        except Mismatch as error:
            sys.exit(f"FAIL: {error}")
        print("the compiled resources hold both icon groups and the version record")
        return
    with open(rc_path, encoding="utf-8") as f:
        source = f.read()
    failures = 0
    for index, (what, pattern, new) in enumerate(BROKEN):
        broken, count = re.subn(pattern, new, source)
        path = os.path.join(work_dir, f"broken{index}.rc")
        with open(path, "w", encoding="utf-8") as f:
            f.write(broken)
        try:
            expect(count > 0, "the pattern no longer matches the script")
            check(compile_rc(windres, cpp, path, path[:-3] + ".res"), resource_dir, version_text,
                  numbers)
            print(f"FAIL: {what}: accepted")
            failures += 1
        except Mismatch as error:
            print(f"ok: {what}: rejected ({error})")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
