#!/usr/bin/env python3
"""Turns the JSON of one align_benchmarks run into the Markdown tables of
BENCHMARKS.md, so that the tables are always one run's figures.

usage: align_benchmarks --benchmark_format=json --benchmark_out=run.json
       python3 align_model/benchmark/tables.py run.json
"""
import json
import re
import sys


def load(path):
    with open(path) as handle:
        run = json.load(handle)
    figures = {}
    for bench in run["benchmarks"]:
        name = re.sub(r"/min_time:[0-9.]+$", "", bench["name"])
        figures[name] = bench
    return run["context"], figures


def us(bench):
    return bench["real_time"] / 1000.0 if bench["time_unit"] == "ns" else bench["real_time"]


def num(value):
    if value >= 100:
        return f"{value:.0f}"
    if value >= 10:
        return f"{value:.1f}"
    if value >= 1:
        return f"{value:.2f}"
    return f"{value:.3f}"


def kb(bench):
    return f"{bench.get('bytes', 0.0) / 1000.0:.1f} kB"


def scans(figures):
    seen = []
    for name in figures:
        if name.startswith("Floor/"):
            seen.append(name.split("/", 1)[1])
    return seen


def callback_table(figures):
    print("| scan | floor µs | harness µs / allocs | feature off µs (x floor) | feature off allocs / bytes "
          "| feature on µs (x floor) | line off µs (x floor) | line off allocs / bytes "
          "| line on µs (x floor) | poses/scan |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for scan in scans(figures):
        cells = [scan, num(us(figures[f"Floor/{scan}"]))]
        harness = figures[f"Harness/{scan}"]
        cells.append(f"{num(us(harness))} / {harness.get('allocs', 0):.0f}")
        for program in ("feature", "line"):
            off = figures[f"Callback/{program}/debug_off/{scan}"]
            on = figures[f"Callback/{program}/debug_on/{scan}"]
            cells.append(f"{num(us(off))} ({off['x_floor']:.1f}x)")
            cells.append(f"{off.get('allocs', 0):.0f} / {kb(off)}")
            cells.append(f"{num(us(on))} ({on['x_floor']:.1f}x)")
        cells.append(f"{figures[f'Callback/feature/debug_off/{scan}'].get('poses', 0):.0f}")
        print("| " + " | ".join(cells) + " |")


STAGES = ["window", "points", "detection", "refit", "refit_orthogonal", "corner_search", "line_search",
          "feature_manager", "messages"]


def stage_table(figures):
    print("| scan | segments | " + " | ".join(STAGES) + " |")
    print("|---" * (len(STAGES) + 2) + "|")
    for scan in scans(figures):
        first = figures.get(f"Stage/window/{scan}")
        if first is None:
            continue
        cells = [scan, f"{first.get('segments', 0):.0f}"]
        for stage in STAGES:
            bench = figures[f"Stage/{stage}/{scan}"]
            cells.append(f"{num(us(bench))} ({bench.get('allocs', 0):.0f})")
        print("| " + " | ".join(cells) + " |")


def scaling_tables(figures):
    readings = sorted({int(m.group(1)) for name in figures
                       for m in [re.match(r"Scaling/callback/feature/approach_(\d+)$", name)] if m})
    print("| readings | feature approach µs (x floor, allocs) | line approach µs (x floor, allocs) "
          "| feature worst µs (x floor, allocs) | line worst µs (x floor, allocs) |")
    print("|---|---|---|---|---|")
    for count in readings:
        cells = [str(count)]
        for scan in ("approach", "worst"):
            for program in ("feature", "line"):
                bench = figures[f"Scaling/callback/{program}/{scan}_{count}"]
                cells.append(f"{num(us(bench))} ({bench['x_floor']:.1f}x, {bench.get('allocs', 0):.0f})")
        # columns: feature approach, line approach, feature worst, line worst
        print("| " + " | ".join(cells) + " |")
    print()
    segments = sorted({int(m.group(1)) for name in figures
                       for m in [re.match(r"Scaling/corner_search/(\d+)$", name)] if m})
    print("| segments | corner search µs (allocs) | line search µs (allocs) |")
    print("|---|---|---|")
    for count in segments:
        corner = figures[f"Scaling/corner_search/{count}"]
        line = figures[f"Scaling/line_search/{count}"]
        print(f"| {count} | {num(us(corner))} ({corner.get('allocs', 0):.0f}) "
              f"| {num(us(line))} ({line.get('allocs', 0):.0f}) |")


def main():
    context, figures = load(sys.argv[1])
    print(f"Run of {context['date']}, {context['num_cpus']} CPUs, load average "
          + ", ".join(f"{value:.2f}" for value in context.get("load_avg", [])) + "\n")
    callback_table(figures)
    print()
    stage_table(figures)
    print()
    scaling_tables(figures)


if __name__ == "__main__":
    main()
