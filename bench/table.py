#!/usr/bin/env python3
"""Prints the table of one run of scripts/bench.sh from the Google Benchmark results."""

import json
import math
import os
import sys


def load(folder):
    runs = {}
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".json"):
            continue
        with open(os.path.join(folder, name)) as f:
            text = f.read()
        if not text.strip():
            continue  # a program that ran no benchmark
        data = json.loads(text)
        for entry in data.get("benchmarks", []):
            entry["file"] = name[:-5]
            runs.setdefault(name[:-5], []).append(entry)
    return runs


def find(runs, file, prefix):
    for entry in runs.get(file, []):
        if entry["name"] == prefix or entry["name"].startswith(prefix + "/"):
            if entry.get("error_occurred"):
                sys.exit(f"{prefix}: {entry.get('error_message')}")
            return entry
    return None


def seconds(s):
    if s is None:
        return "-"
    if s < 1:
        return f"{s * 1000:.0f} ms" if s >= 0.01 else f"{s * 1000:.1f} ms"
    return f"{s:.2f} s"


def rate(files, s):
    return f"{files / s:,.0f} files/s"


def verdict(ok):
    return "yes" if ok else "NO"


def main():
    folder = sys.argv[1]
    runs = load(folder)
    machine = {}
    with open(os.path.join(folder, "machine.txt")) as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            machine[key] = value

    rows = []  # (what, kestrune, beside, ratio, target, met)

    for arg, label in (("0", "generated song files"), ("1", "clips made by lame"),
                       ("2", "real-library files (ID3v2.3, covers)")):
        r = find(runs, "reader", f"BM_Reader/{arg}")
        if not r:
            continue
        n = r["files"]
        ours, taglib, floor = r["Kestrune s"], r["TagLib s"], r["floor s"]
        ours_rate = n / ours
        library = arg == "2"
        rows.append((f"(a) Reader, {n:,.0f} {label}", rate(n, ours), f"TagLib {rate(n, taglib)}",
                     f"{taglib / ours:.1f}x TagLib",
                     ">=2x TagLib, <=2x floor" if library else ">=50,000/s, >=2x TagLib",
                     verdict(taglib / ours >= 2 and ours <= 2 * floor) if library else
                     verdict(ours_rate >= 50000 and taglib / ours >= 2)))
        rows.append(("", "", f"I/O floor {rate(n, floor)}", f"{ours / floor:.2f}x floor", "", ""))

    # A build beside its floor: at most three times the floor and under `limit` seconds.
    def build_row(entry, what, limit, detail):
        ours, floor = entry["Kestrune s"], entry["floor s"]
        rows.append((what, seconds(ours), f"I/O floor {seconds(floor)}", f"{ours / floor:.2f}x floor",
                     f"<=3x floor, <{limit} s", verdict(ours <= 3 * floor and ours < limit)))
        rows.append((f"    ({detail})", "", "", "", "", ""))

    b = find(runs, "build", "BM_DayBuild")
    if b:
        build_row(b, "(b) 24-hour build, 7 x 5,000 songs, both checks", 2,
                  f"{b['songs placed']:.0f} songs; {b['whole reads']:.0f} playlist reads, "
                  f"{b['replacements']:.0f} rewrites, {b['read MB'] + b['written MB']:.0f} MB")

    br = find(runs, "build", "BM_DayBuildRules")
    if br:
        ours, floor = br["Kestrune s"], br["floor s"]
        rows.append((f"(b2) the same build, every rule on", seconds(ours),
                     f"I/O floor {seconds(floor)}", f"{ours / floor:.2f}x floor",
                     "<=3x floor, <1 s", verdict(ours <= 3 * floor and ours < 1)))
        rows.append((f"    ({br['songs placed']:.0f} songs, {br['rules broken']:.0f} rules broken, "
                     f"{br['replacements']:.0f} rewrites with the play history)", "", "", "", "", ""))
    ck = find(runs, "build", "BM_CheckDay")
    if ck:
        rows.append((f"    check over that day's {ck['songs']:.0f} songs", seconds(ck["Kestrune s"]),
                     "", "", "<100 ms", verdict(ck["Kestrune s"] < 0.1)))
    w = find(runs, "build", "BM_WeekBuild")
    if w:
        build_row(w, "(b) A week, 168 hours from a grid, 7 x 5,000 songs, .m3u8", 10,
                  f"{w['playlists']:.0f} playlists; {w['whole reads']:.0f} file reads, "
                  f"{w['replacements']:.0f} rewrites, {w['MP3 opens']:.0f} MP3 opens")

    cf = find(runs, "clockfill", "BM_WeekFilledToTheClock")
    if cf:
        share = cf["exact within 2 s"] / cf["hours"] if cf["hours"] else 0
        ratio = cf["exact s"] / cf["walk s"] if cf["walk s"] else 0
        rows.append((f"(t) A week filled to the clock, {cf['songs']:.0f} songs, every rule on",
                     seconds(cf["exact s"]), f"fill=walk {seconds(cf['walk s'])}",
                     f"{ratio:.2f}x", "<10 s, <=3x, >=99% within 2 s",
                     verdict(cf["exact s"] < 10 and ratio <= 3 and share >= 0.99)))
        rows.append((f"    hours within 2 s: exact {cf['exact within 2 s']:.0f} of "
                     f"{cf['hours']:.0f} (worst {cf['exact worst s']:.1f} s, "
                     f"{cf['exact missed']:.0f} named); walk {cf['walk within 2 s']:.0f} "
                     f"(mean error {cf['walk mean error s']:.0f} s, worst "
                     f"{cf['walk worst s']:.0f} s)", "", "", "", "", ""))

    for arg, station in (("0", "that station"), ("1", "a starved one (36 currents)")):
        mr = find(runs, "clockfill", "BM_MustRules/" + arg)
        if mr:
            share = mr["within 2 s"] / mr["hours"] if mr["hours"] else 0
            rows.append((f"    artist and title must, {station}: {mr['within 2 s']:.0f} of "
                         f"{mr['hours']:.0f} hours within 2 s, {mr['must breaks']:.0f} must "
                         f"breaks, {mr['slots passed over']:.0f} slots passed over, "
                         f"{mr['misses']:.0f} misses ({mr['misses named']:.0f} named)",
                         seconds(mr["week s"]), "", "", "0 must breaks, >=99.5% within 2 s",
                         verdict(mr["must breaks"] == 0 and share >= 0.995
                                 and mr["misses named"] >= mr["misses"])))

    bp = find(runs, "app", "BM_DayBuildPage")
    if bp:
        rows.append((f"    the same build pressed on the build page ({bp.get('label') or 'window'})",
                     seconds(bp["page s"]), f"without a window {seconds(bp['headless s'])}",
                     f"{bp['page s'] / bp['headless s']:.2f}x", "", ""))

    t = find(runs, "tags", "BM_TagPass")
    if t:
        ours, floor = t["Kestrune s"], t["floor s"]
        rows.append((f"(c) Tag playlists, {t['files']:,.0f} files, 4 categories", seconds(ours),
                     f"I/O floor {seconds(floor)}", f"{ours / floor:.2f}x floor", "<10 s",
                     verdict(ours < 10)))
        rows.append((f"    ({t['replacements']:,.0f} playlist rewrites, "
                     f"{t['read MB'] + t['written MB']:.0f} MB)", "", "", "", "", ""))
    tr = find(runs, "tags-ram", "BM_TagPass")
    if tr:
        ours, floor = tr["Kestrune s"], tr["floor s"]
        rows.append(("    the same on a RAM file system (/dev/shm)", seconds(ours),
                     f"I/O floor {seconds(floor)}", f"{ours / floor:.2f}x floor", "", ""))

    lp, le = find(runs, "load", "BM_LoadPlaylist/0"), find(runs, "load", "BM_LoadPlaylist/1")
    if lp and le:
        ratio = le["real_time"] / lp["real_time"]
        rows.append((f"(e) Loading a playlist of {le['songs']:,.0f} #EXTINF relative entries",
                     f"{le['real_time'] / 1000:.2f} ms",
                     f"plain full paths {lp['real_time'] / 1000:.2f} ms", f"{ratio:.2f}x plain",
                     "<=1.5x plain", verdict(ratio <= 1.5)))

    q = find(runs, "quicklist", "BM_QuickList")
    if q:
        rows.append((f"(d) Quick list, folder of {q['files']:,.0f} files (list + save)",
                     seconds(q["real_time"] / 1000), "", "", "", ""))
    p = find(runs, "app", "BM_QuickListPage")
    if p:
        rows.append(("    in the program: open the folder / save", seconds(p["open s"]) + " / " +
                     seconds(p["save s"]), "", "", "", ""))

    s = find(runs, "app", "BM_StartUp")
    if s:
        rows.append((f"(e) Start-up to the main window ({s.get('label', '?')}, no splash wait)",
                     seconds(s["Kestrune s"]), "", "", "<300 ms", verdict(s["Kestrune s"] < 0.3)))

    print(f"Kestrune benchmarks, {machine.get('date', '')}")
    print(f"Machine: {machine.get('cpu', '?')}, {machine.get('cores', '?')} cores, "
          f"{machine.get('memory', '?')} memory, Linux {machine.get('kernel', '?')}; "
          f"files on {machine.get('disk', '?')}")
    print(f"Load average (1, 5, 15 min): {machine.get('load_before', '?')} before, "
          f"{machine.get('load_after', '?')} after")
    print()
    header = ("Measure", "Kestrune", "Beside it", "Ratio", "Target", "Met")
    widths = [max(len(str(row[i])) for row in rows + [header]) for i in range(6)]
    line = "  ".join(h.ljust(w) for h, w in zip(header, widths))
    print(line)
    print("-" * len(line))
    for row in rows:
        print("  ".join(str(c).ljust(w) for c, w in zip(row, widths)).rstrip())

    # Growth: the time at each size and the exponent b of time ~ size^b between neighbours.
    print()
    print("Growth (Kestrune; seconds at each size; b: exponent of time ~ files^b since the size "
          "before)")
    series = []
    reader = {int(e["files"]): e["Kestrune s"] for e in runs.get("reader", [])
              if e["name"].startswith("BM_ReaderGrowth/")}
    build = {int(e["files"]): e["Kestrune s"] for e in runs.get("build", [])
             if e["name"].startswith("BM_DayBuildGrowth/")}
    def tag_growth(file, row):
        data = {int(e["files"]): e["Kestrune s"] for e in runs.get(file, [])
                if e["name"].startswith("BM_TagPassGrowth/")}
        if row:
            data[int(row["files"])] = row["Kestrune s"]
        return data

    tags = tag_growth("tags", t)
    tags_ram = tag_growth("tags-ram", tr)
    for name, data in (("Reader", reader), ("24-hour build", build), ("Tag pass", tags),
                       ("Tag pass, RAM file system", tags_ram)):
        if data:
            series.append((name, dict(sorted(data.items()))))
    sizes = sorted({n for _, data in series for n in data})
    cells = [["Files"] + [f"{n:,}" for n in sizes] + ["b, first to last size"]]
    for name, data in series:
        row = [name]
        previous = None
        for n in sizes:
            if n not in data:
                row.append("-")
                continue
            cell = f"{data[n]:.3f}"
            if previous:
                cell += f" (b {math.log(data[n] / previous[1]) / math.log(n / previous[0]):.2f})"
            previous = (n, data[n])
            row.append(cell)
        first, last = min(data), max(data)
        row.append(f"{math.log(data[last] / data[first]) / math.log(last / first):.2f}"
                   if last > first else "-")
        cells.append(row)
    widths = [max(len(r[i]) for r in cells) for i in range(len(cells[0]))]
    for i, r in enumerate(cells):
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
        if i == 0:
            print("-" * (sum(widths) + 2 * (len(widths) - 1)))


if __name__ == "__main__":
    main()
