#!/usr/bin/env python3
"""Table and plot of Dovanel's side-by-side benchmark.

Reads the JSON that build/bench/dovanel_bench writes with
--benchmark_out=FILE --benchmark_out_format=json, prints docs/benchmarks.md's
Markdown tables (CPU time per start and per residual evaluation, plain and
current implementation, and the 16-start search on 1 and 2 threads, wall
time) and draws docs/images/dovanel_bench.png: time per start against the
number of hull vertices, one line per number of views, plain (dashed) and
current (solid).

    /usr/bin/python3 bench/dovanel_bench_plot.py bench/dovanel_bench.json [PNG]
"""
import json
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(path):
    with open(path) as f:
        data = json.load(f)
    rows = {}
    for b in data["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        parts = b["name"].split("/")
        rows[tuple(parts)] = b
    return data.get("context", {}), rows


def ms(b, key):
    return b[key] * MS[b["time_unit"]]


def side_by_side(rows, name):
    """{(views, points): (plain ms, current ms, mean hull)} of one benchmark."""
    out = {}
    for key, b in rows.items():
        if key[0] != name or len(key) != 4:
            continue
        impl, views, points = int(key[1]), int(key[2]), int(key[3])
        entry = out.setdefault((views, points), [None, None, None])
        entry[impl] = ms(b, "cpu_time")
        entry[2] = b.get("hull", points)
    return out


def table(title, values, unit, scale):
    lines = [f"| views | hull vertices | {title}, before | after | speed-up |",
             "|---|---|---|---|---|"]
    for (views, points), (plain, current, hull) in sorted(values.items()):
        lines.append(
            f"| {views}+{views} | {hull:.0f} | {plain * scale:.3g} {unit} | "
            f"{current * scale:.3g} {unit} | {plain / current:.1f}x |")
    return "\n".join(lines)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    path = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    png = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        here, "..", "docs", "images", "dovanel_bench.png")
    context, rows = load(path)
    starts = side_by_side(rows, "BM_Start")
    evals = side_by_side(rows, "BM_ResidualEvaluation")

    print(table("per start", starts, "ms", 1.0))
    print()
    print(table("per evaluation", evals, "us", 1e3))
    print()
    print("| 16 starts, 8+8 views, 512 vertices | wall time | against plain |")
    print("|---|---|---|")
    sixteen = {(int(k[1]), int(k[2])): ms(b, "real_time")
               for k, b in rows.items() if k[0] == "BM_SixteenStarts"}
    plain = sixteen.get((0, 1))
    for (impl, threads), t in sorted(sixteen.items()):
        label = "plain, sequential" if impl == 0 else f"current, {threads} thread{'s' if threads > 1 else ''}"
        print(f"| {label} | {t:.1f} ms | {plain / t:.1f}x |")
    if (1, 1) in sixteen and (1, 2) in sixteen:
        print(f"\n2 threads against 1: {sixteen[(1, 1)] / sixteen[(1, 2)]:.2f}x")

    fig, ax = plt.subplots(figsize=(6.4, 4.2), dpi=110)
    colours = {2: "tab:blue", 4: "tab:orange", 8: "tab:green"}
    for views in sorted({v for v, _ in starts}):
        pts = sorted((hull, p, c) for (v, _), (p, c, hull) in starts.items()
                     if v == views)
        hulls = [h for h, _, _ in pts]
        ax.plot(hulls, [p for _, p, _ in pts], "--o", color=colours.get(views),
                label=f"{views}+{views} views, before")
        ax.plot(hulls, [c for _, _, c in pts], "-s", color=colours.get(views),
                label=f"{views}+{views} views, after")
    ax.set_xscale("log", base=2)
    ax.set_yscale("log")
    ax.set_xlabel("hull vertices per view (H)")
    ax.set_ylabel("CPU time per start (ms)")
    ax.set_title("Dovanel: one start (at most 20 iterations), one thread")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(fontsize=8, ncol=2)
    fig.tight_layout()
    fig.savefig(png)
    print(f"\nwrote {os.path.normpath(png)}"
          f" ({context.get('num_cpus', '?')} cpus,"
          f" load {context.get('load_avg', '?')})")


if __name__ == "__main__":
    main()
