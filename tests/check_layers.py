#!/usr/bin/env python3
"""Fails when a file under src/<folder>/ includes a header from a folder later
in the layer order, or when src/ holds a folder outside that order.

Order, lowest first: console, editor, ui, edit, files, app.
"""
import os
import re
import sys

ORDER = ["console", "editor", "ui", "edit", "files", "app"]
src = os.path.join(sys.argv[1] if len(sys.argv) > 1 else ".", "src")
faults = []
for folder in sorted(os.listdir(src)):
    path = os.path.join(src, folder)
    if not os.path.isdir(path):
        continue
    if folder not in ORDER:
        faults.append(f"src/{folder}/ is not one of the layers {', '.join(ORDER)}")
        continue
    for dirpath, _, names in os.walk(path):
        for name in sorted(names):
            if not name.endswith((".cpp", ".h")):
                continue
            file = os.path.join(dirpath, name)
            with open(file, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
                    if m and m.group(1) in ORDER and ORDER.index(m.group(1)) > ORDER.index(folder):
                        faults.append(f"{os.path.relpath(file, os.path.dirname(src))}:{number} "
                                      f"includes {m.group(1)}/ from the lower layer {folder}/")
for fault in faults:
    print(fault)
print(f"{len(faults)} layering faults")
sys.exit(1 if faults else 0)
