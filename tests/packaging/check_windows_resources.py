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

With --exe it reads the same resources from the built program file instead, and also that the
program is one file that runs on Windows as it is:

  - the application manifest (resource 1): per-monitor v2 DPI awareness, dpiAware for Windows 7
    to 8.1, Common Controls 6, and Windows 7, 8, 8.1 and 10 among the supported systems;
  - a 64-bit GUI program (no console window) that Windows 7 SP1 loads: subsystem version 6.0 or
    6.1, and it imports only DLLs and functions that Windows 7 SP1 has (no C++ runtime, libgcc or
    winpthread DLL beside it, none of Windows 8's or 10's functions).

    check_windows_resources.py --exe [--self-test] TOVREL_EXE RESOURCE_DIR WORK_DIR VERSION_TEXT VERSION

There --self-test patches copies of the built program (console subsystem, a subsystem version
Windows 7 refuses, manifest without per-monitor v2, dpiAware, Common Controls 6 or Windows 7, a C++
runtime DLL, a DLL or a function Windows 7 lacks imported) and requires each to be rejected.
"""

import os
import re
import struct
import subprocess
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
IMAGE_FILE_MACHINE_AMD64, IMAGE_SUBSYSTEM_WINDOWS_GUI = 0x8664, 2
# What Windows 7 SP1 to 11 bring themselves; anything else would have to ship beside Tovrel.exe.
# Not among them: shcore.dll (Windows 8.1), ucrtbase.dll and vcruntime140.dll (an update of 7 at
# best), the api-ms-win-* API sets (Windows 8).
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "dwmapi.dll", "gdi32.dll",
               "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll",
               "uxtheme.dll"}
# Functions of those DLLs that Windows 7 SP1 lacks: a static import of any stops the program from
# loading there ("The procedure entry point ... could not be located"). Windows 10's dpi functions
# (dpi.h looks them up at run time instead), and what C and C++ runtimes have been seen to import.
MISSING_ON_WINDOWS_7 = {
    "user32.dll": {
        # Windows 10 1607 and later
        "GetDpiForWindow", "GetDpiForSystem", "AdjustWindowRectExForDpi",
        "GetSystemMetricsForDpi", "SystemParametersInfoForDpi", "SetThreadDpiAwarenessContext",
        "GetThreadDpiAwarenessContext", "GetWindowDpiAwarenessContext",
        "AreDpiAwarenessContextsEqual", "GetAwarenessFromDpiAwarenessContext",
        "EnableNonClientDpiScaling", "SetProcessDpiAwarenessContext",
        "GetDpiFromDpiAwarenessContext",
        "IsValidDpiAwarenessContext", "GetSystemDpiForProcess", "SetThreadDpiHostingBehavior",
        # Windows 8 and 8.1
        "LogicalToPhysicalPointForPerMonitorDPI", "PhysicalToLogicalPointForPerMonitorDPI",
        "EnableMouseInPointer", "GetPointerInfo", "GetPointerType",
        "GetDisplayAutoRotationPreferences",
    },
    "kernel32.dll": {
        # Windows 8 and later; winpthreads once imported the first
        "GetSystemTimePreciseAsFileTime", "CreateFile2", "CopyFile2", "GetCurrentThreadStackLimits",
        "GetOverlappedResultEx", "PrefetchVirtualMemory", "GetProcessMitigationPolicy",
        "SetProcessMitigationPolicy", "InitializeSynchronizationBarrier",
        "EnterSynchronizationBarrier", "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll",
        "GetFirmwareType", "CreateFileMappingFromApp", "MapViewOfFileFromApp",
        # an update of 7 at best (KB2533623)
        "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory",
        # Windows 10
        "SetThreadDescription", "GetThreadDescription", "VirtualAlloc2", "MapViewOfFile3",
        "QueryUnbiasedInterruptTimePrecise",
    },
    "gdi32.dll": {"AddFontMemResourceEx2"},
    "shcore.dll": {"GetDpiForMonitor", "SetProcessDpiAwareness", "GetProcessDpiAwareness"},
}
# Subsystem versions Windows 7 loads (it refuses an image that asks for a later Windows) and at
# which Windows draws the frame the same with or without WS_THICKFRAME.
SUBSYSTEM_VERSIONS = {(6, 0), (6, 1)}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
COMPATIBILITY_V1 = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED_OS = {"7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "10": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
LANG_JAPANESE = 0x0411
CODE_PAGE_UNICODE = 1200
VFT_APP, VOS_WINDOWS32 = 1, 4


class Mismatch(Exception):
    pass


class BrokenCopyNotMade(Exception):
    """A self-test could not break its copy: its pattern no longer matches (a fault of the test)."""


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


def read_exe(path):
    """The resources of a program file in the form read_res gives, and the parsed program file."""
    import pefile  # Debian's python3-pefile; only the program file's checks need it

    pe = pefile.PE(path)
    resources = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                key = (kind.id if kind.id is not None else str(kind.name),
                       name.id if name.id is not None else str(name.name))
                expect(key not in resources, f"resource {key[0]}/{key[1]} twice")
                entry = language.data.struct
                resources[key] = (language.id, pe.get_data(entry.OffsetToData, entry.Size))
    return resources, pe


def check_manifest(resources):
    import xml.etree.ElementTree as ElementTree

    expect((RT_MANIFEST, 1) in resources, "application manifest (resource 1) missing")
    root = ElementTree.fromstring(resources[(RT_MANIFEST, 1)][1])
    awareness = [e.text.strip() for e in root.iter(WINDOWS_SETTINGS_2016 + "dpiAwareness")]
    expect(awareness and awareness[0].split(",")[0].strip() == "PerMonitorV2",
           f"manifest: dpiAwareness {awareness}, not PerMonitorV2 first")
    # Windows 7 to 8.1 read only dpiAware: "true" makes Tovrel aware of the system dpi on 7, and
    # "/pm" of each monitor's on 8.1.
    aware = [e.text.strip().lower() for e in root.iter(WINDOWS_SETTINGS_2005 + "dpiAware")]
    expect(aware == ["true/pm"], f"manifest: dpiAware {aware}, not true/pm")
    supported = {e.get("Id", "").lower() for e in root.iter(COMPATIBILITY_V1 + "supportedOS")}
    missing = [name for name, guid in SUPPORTED_OS.items() if guid not in supported]
    expect(not missing, f"manifest: Windows {missing} not among the supported systems")
    controls = [a.attrib for a in root.iter(ASM_V1 + "assemblyIdentity")
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    expect(any(c.get("version") == "6.0.0.0" and c.get("publicKeyToken") == "6595b64144ccf1df"
               for c in controls), f"manifest: Common Controls {controls}, not version 6")


def check_program(pe):
    expect(pe.FILE_HEADER.Machine == IMAGE_FILE_MACHINE_AMD64,
           f"machine {pe.FILE_HEADER.Machine:#x}, not x86-64")
    expect(pe.OPTIONAL_HEADER.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI,
           f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, not a GUI program")
    version = (pe.OPTIONAL_HEADER.MajorSubsystemVersion, pe.OPTIONAL_HEADER.MinorSubsystemVersion)
    expect(version in SUBSYSTEM_VERSIONS,
           f"subsystem version {version[0]}.{version[1]}, not 6.0 or 6.1")
    # Delay-loaded imports too: they fail when first called instead of at start.
    directories = (getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) +
                   getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []))
    imports = {}
    for directory in directories:
        names = {i.name.decode() for i in directory.imports if i.name}
        imports.setdefault(directory.dll.decode().lower(), set()).update(names)
    expect(imports.keys() <= SYSTEM_DLLS,
           f"imports DLLs Windows 7 SP1 lacks: {sorted(imports.keys() - SYSTEM_DLLS)}")
    missing = sorted(f"{dll}!{name}" for dll, names in imports.items()
                     for name in names & MISSING_ON_WINDOWS_7.get(dll, set()))
    expect(not missing, f"imports functions Windows 7 SP1 lacks: {missing}")


def check_exe(path, resource_dir, version_text, version_numbers):
    resources, pe = read_exe(path)
    check(resources, resource_dir, version_text, version_numbers)
    check_manifest(resources)
    check_program(pe)


def patch_subsystem(data, pe, console=3):
    offset = pe.OPTIONAL_HEADER.get_field_absolute_offset("Subsystem")
    data[offset:offset + 2] = struct.pack("<H", console)


def patch_subsystem_version(major, minor):
    def patch(data, pe):
        for field, value in (("MajorSubsystemVersion", major), ("MinorSubsystemVersion", minor)):
            offset = pe.OPTIONAL_HEADER.get_field_absolute_offset(field)
            data[offset:offset + 2] = struct.pack("<H", value)
    return patch


def patch_text(old, new):
    def patch(data, _):
        if len(old) != len(new) or old not in data:
            raise BrokenCopyNotMade(f"{old!r} not in the program file")
        data[:] = data.replace(old, new)
    return patch


# Patched copies of the program file, each of which the reader must reject: (what, patch).
BROKEN_EXE = [
    ("console program", patch_subsystem),
    ("DPI unaware", patch_text(b"PerMonitorV2", b"unaware     ")),
    ("Common Controls 5", patch_text(b'version="6.0.0.0"', b'version="5.8.0.0"')),
    ("C++ runtime DLL imported", patch_text(b"msvcrt.dll", b"libgcc.dll")),
    ("subsystem version 10.0, which Windows 7 refuses", patch_subsystem_version(10, 0)),
    ("subsystem version 5.2, framed otherwise", patch_subsystem_version(5, 2)),
    ("no dpiAware for Windows 7 to 8.1", patch_text(b">true/pm<", b">false/p<")),
    ("Windows 7 not supported", patch_text(SUPPORTED_OS["7"].encode(), b"{" + b"0" * 36 + b"}")),
    ("a DLL of Windows 8.1 imported", patch_text(b"msvcrt.dll", b"shcore.dll")),
    ("a function of Windows 10 imported", patch_text(b"GetMonitorInfoW\0", b"GetDpiForSystem\0")),
]


def exe_main(args):
    self_test = args[:1] == ["--self-test"]
    if self_test:
        args = args[1:]
    exe, resource_dir, work_dir, version_text, version = args
    numbers = tuple(int(part) for part in version.split("."))
    if not self_test:
        try:
            check_exe(exe, resource_dir, version_text, numbers)
        except Mismatch as error:
            sys.exit(f"FAIL: {os.path.basename(exe)}: {error}")
        print(f"{os.path.basename(exe)}: a 64-bit GUI program for Windows 7 SP1 and later, "
              "importing only what Windows 7 SP1 has, with both icon groups, the version record "
              "and the manifest")
        return
    os.makedirs(work_dir, exist_ok=True)
    with open(exe, "rb") as f:
        original = f.read()
    _, pe = read_exe(exe)
    failures = 0
    for index, (what, patch) in enumerate(BROKEN_EXE):
        path = os.path.join(work_dir, f"broken{index}.exe")
        try:
            data = bytearray(original)
            patch(data, pe)
            with open(path, "wb") as f:
                f.write(data)
            check_exe(path, resource_dir, version_text, numbers)
            print(f"FAIL: {what}: accepted")
            failures += 1
        except Mismatch as error:
            print(f"ok: {what}: rejected ({error})")
    sys.exit(1 if failures else 0)


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
    if args[:1] == ["--exe"]:
        return exe_main(args[1:])
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
        if count == 0:
            raise BrokenCopyNotMade(f"{what}: the pattern no longer matches the script")
        try:
            check(compile_rc(windres, cpp, path, path[:-3] + ".res"), resource_dir, version_text,
                  numbers)
            print(f"FAIL: {what}: accepted")
            failures += 1
        except Mismatch as error:
            print(f"ok: {what}: rejected ({error})")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
