#!/usr/bin/python3
# The velmora application's windows as a screen reader reads them through
# AT-SPI: one "role|name|value" line for each shown element (value: a value
# element's current value), depth first, each window's line first.
#   atspi_tree.py [EXPECTED_LINE...]
# With expected lines (* and ? as in file names), reads the tree again until
# it holds all of them (the program may still be drawing) and fails after 20
# seconds, printing what it read. (/usr/bin/python3: the system's, where Debian puts python3-pyatspi.)
import fnmatch
import sys
import time

import pyatspi


def lines(element, out):
    states = element.getState()
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    try:
        value = "%g" % element.queryValue().currentValue
    except NotImplementedError:
        value = ""
    out.append("%s|%s|%s" % (element.getRoleName(), element.name, value))
    for child in element:
        if child is not None:
            lines(child, out)


def tree():
    out = []
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "velmora":
            for window in application:
                if window is not None:
                    lines(window, out)
    return out


expected = sys.argv[1:]
deadline = time.monotonic() + 20
while True:
    try:
        read = tree()
    except Exception:  # the tree changed while it was read: read it again
        read = []
    missing = [e for e in expected if not any(fnmatch.fnmatchcase(r, e) for r in read)]
    if not missing or time.monotonic() > deadline:
        break
    time.sleep(0.1)
print("\n".join(read))
if missing:
    print("missing: " + "; ".join(missing), file=sys.stderr)
    sys.exit(1)
