#!/usr/bin/env python3
"""Writes src/core/rules/CaseFoldingTable.inc: Unicode simple case folding (the C and S
mappings) as runs, from the Unicode data of the Python that runs it.

A code point's simple folding is its full folding where that is one character, else its
lower case where that is one character, else itself (this gives the S mappings, such as
U+1E9E to U+00DF, where the full folding has several characters)."""
import sys
import unicodedata


def simple_fold(c):
    ch = chr(c)
    folded = ch.casefold()
    if len(folded) == 1:
        return ord(folded)
    lower = ch.lower()
    if len(lower) == 1:
        return ord(lower)
    return c


def main():
    pairs = []
    for c in range(0x110000):
        if 0xD800 <= c <= 0xDFFF:
            continue
        f = simple_fold(c)
        if f != c:
            pairs.append((c, f))
    # Runs of code points a fixed step apart that move by one delta: (first, last, step, delta).
    runs = []
    for c, f in pairs:
        delta = f - c
        if runs:
            first, last, step, d = runs[-1]
            if d == delta and (
                (step == 0 and c - last in (1, 2)) or (step != 0 and c - last == step)
            ):
                runs[-1] = (first, c, c - last, d)
                continue
        runs.append((c, c, 0, delta))
    out = sys.stdout
    out.write("// Made by tools/casefold/make_case_folding.py from Unicode %s; do not edit.\n"
              % unicodedata.unidata_version)
    out.write("// {first, last, step, delta}: every step-th code point from first to last folds "
              "to itself plus delta.\n")
    for first, last, step, delta in runs:
        out.write("{0x%04X, 0x%04X, %d, %d},\n" % (first, last, step if step else 1, delta))


if __name__ == "__main__":
    main()
