#!/usr/bin/env python3
"""Checks the floors of src/: a folder includes headers of its own floor's
folders' lower floors only (never one of a floor above, nor a folder beside
it on the same floor), and no two units (a header and its .cpp) include
each other's headers both ways. Exits non-zero and names each fault.
   check-floors.py [SRC]"""
import os
import re
import sys

# Lowest first; the folders of a floor use only the floors below.
FLOORS = [
    ["text"],                   # the text table, languages, text helpers
    ["resources", "dates"],     # icons, layouts and identifiers; date values and texts
    ["repeat", "win32"],        # the five modes and RFC 5545 rules; small Win32 helpers
    ["store"],                  # the alarm table and its stores
    ["alert"],                  # an alert's box, its sound and its wait while presenting
    ["calendar", "editor"],     # iCalendar files; the alarm editor
    ["listwindow", "transfer"], # the list window; export, import and the command line
    ["follow"],                 # the followed calendars: their store, fetch, copies and reminders
    ["tray"],                   # the tray monitor: the program's main window
]


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    resources = os.path.join(src, "..", "resources")
    floor_of = {folder: level for level, folders in enumerate(FLOORS) for folder in folders}
    folder_of, includes = {}, {}
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in floor_of:
            print(f"src/{folder} is on no floor: add it to FLOORS in {sys.argv[0]}")
            return 1
        for name in os.listdir(path):
            folder_of[name] = folder
            if name.endswith((".h", ".cpp", ".inc")):
                with open(os.path.join(path, name), encoding="utf-8") as source:
                    includes[(folder, name)] = re.findall(r'#include "([^"]+)"', source.read())
    for name in os.listdir(resources):
        folder_of.setdefault(name, "resources")
    folder_of.setdefault("version.h", "resources")  # made by the build

    faults = []
    uses = {}
    for (folder, name), headers in sorted(includes.items()):
        unit = (folder, os.path.splitext(name)[0])
        for header in headers:
            other = folder_of.get(header)
            if other is None:
                faults.append(f"src/{folder}/{name} includes {header}, which is in no folder of src/")
                continue
            if other != folder and floor_of[other] >= floor_of[folder]:
                faults.append(f"src/{folder}/{name} includes {header} of src/{other}, which is not below it")
            uses.setdefault(unit, set()).add((other, os.path.splitext(header)[0]))
    for unit, used in sorted(uses.items()):
        for other in sorted(used):
            if other != unit and other < unit and unit in uses.get(other, set()):
                faults.append(f"{'/'.join(unit)} and {'/'.join(other)} include each other")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
