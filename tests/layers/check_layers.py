#!/usr/bin/env python3
"""Fails on an #include in src/core that breaks the layer table of docs/architecture.md.

The table is read from the document itself, so the picture a newcomer reads and the rule this
test keeps are one and the same. A folder may include its own files and those of rows below;
never a sibling on its own row, never a row above.
"""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
doc = root / "docs" / "architecture.md"
core = root / "src" / "core"

rows = {}
for line in doc.read_text(encoding="utf-8").splitlines():
    # | 3 | output, rules, timing | ... |
    m = re.match(r"\|\s*(\d+)\s*\|\s*([^|]+?)\s*\|", line)
    if not m:
        continue
    for folder in re.findall(r"`?([a-z]+)`?", m.group(2)):
        rows[folder] = int(m.group(1))
if not rows:
    sys.exit(f"{doc}: no layer table found")

folders = sorted(p.name for p in core.iterdir() if p.is_dir())
problems = [f"src/core/{f}/ has no row in {doc.name}" for f in folders if f not in rows]

include = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"')
for path in sorted(core.rglob("*")):
    if path.suffix not in (".h", ".cpp", ".inc") or path.parent == core:
        continue
    here = path.relative_to(core).parts[0]
    for number, text in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
        m = include.match(text)
        if not m or m.group(1) == here:
            continue
        there = m.group(1)
        if there not in rows:
            problems.append(f"{path.relative_to(root)}:{number}: includes {there}/, which has no row")
        elif rows[there] >= rows[here]:
            side = "a sibling on its row" if rows[there] == rows[here] else "a row above"
            problems.append(f"{path.relative_to(root)}:{number}: {here} (row {rows[here]}) "
                            f"includes {there} (row {rows[there]}), {side}")

for p in problems:
    print(p)
print(f"{len(problems)} include lines break the layers" if problems else
      f"layers hold: {len(folders)} folders, rows from {doc.name}")
sys.exit(1 if problems else 0)
