"""Checks Form1's accessibility tree through AT-SPI. Waits (20 s at most) for the application."""

import sys
import time

import pyatspi


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def find_frame():
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for child in app:
                if child is not None and child.name == "Tovrel":
                    return child
        time.sleep(0.1)
    fail("no application shows a window named Tovrel")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


frame = find_frame()
if frame.getRole() != pyatspi.ROLE_FRAME:
    fail("Form1's role is %s, not frame" % frame.getRoleName())

fields = {n.name: n for n in descendants(frame) if n.getRole() == pyatspi.ROLE_TEXT}
for caption in ("signedHEX", "unsignedHEX", "bitdata"):
    if caption not in fields:
        fail("no text field named %s among %s" % (caption, sorted(fields)))

for caption, field in fields.items():
    for relation in field.getRelationSet():
        kind = relation.getRelationType()
        if kind == pyatspi.RELATION_CONTROLLER_FOR:
            targets = [relation.getTarget(i).name for i in range(relation.getNTargets())]
            fail("%s claims to control %s" % (caption, targets))

print("ok: frame 'Tovrel' holds the fields %s; no field controls another object" % sorted(fields))
