"""Times silhouette.pirolet against scipy.spatial.ConvexHull(points).area / pi
on the same points, in one process, and prints a table.

    PYTHONPATH=build/python /usr/bin/python3 python/bench/pirolet_vs_scipy.py

Each time is the median of repeated calls (at least 5, for about a second
per case); the machine's load shows in them, so compare the ratios of one
run. A second table times the same calls on one thread and on two at once
(each computation runs without the GIL), and how fast a pure-Python loop
runs on the main thread while another thread is inside pirolet, against
its speed alone: near 0% if a call held the GIL, near 100% with a second
core free.
"""

from __future__ import annotations

import math
import pathlib
import statistics
import threading
import time

import numpy as np
from scipy.spatial import ConvexHull

import silhouette

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def traced_outline(count: int) -> np.ndarray:
    """The example stone's outline (400 vertices) resampled to `count` points
    evenly along its perimeter, in boundary order, as a tracer gives them."""
    outline = np.loadtxt(EXAMPLES / "stone_outline.txt", comments="%")
    closed = np.vstack([outline, outline[:1]])
    along = np.concatenate([[0], np.cumsum(np.linalg.norm(np.diff(closed, axis=0), axis=1))])
    s = np.linspace(0, along[-1], count, endpoint=False)
    return np.column_stack([np.interp(s, along, closed[:, 0]),
                            np.interp(s, along, closed[:, 1])])


def disc(count: int, seed: int = 1) -> np.ndarray:
    rng = np.random.default_rng(seed)
    r, a = np.sqrt(rng.random(count)), rng.uniform(0, 2 * np.pi, count)
    return np.column_stack([r * np.cos(a), r * np.sin(a)])


def circle(count: int) -> np.ndarray:
    a = np.arange(count) * 2 * np.pi / count
    return np.column_stack([np.cos(a), np.sin(a)])


def median_time(call, budget: float = 1.0) -> float:
    times = []
    began = time.perf_counter()
    while len(times) < 5 or (time.perf_counter() - began < budget and len(times) < 2000):
        t = time.perf_counter()
        call()
        times.append(time.perf_counter() - t)
    return statistics.median(times)


def loop_rate(seconds: float, busy=None) -> float:
    """Iterations per second of a pure-Python loop on this thread, run for
    `seconds`, or while the thread `busy` is alive."""
    count, began = 0, time.perf_counter()
    while (busy.is_alive() if busy else time.perf_counter() - began < seconds):
        count += 1
    return count / (time.perf_counter() - began)


def scipy_diameter(points: np.ndarray) -> float:
    return ConvexHull(points).area / math.pi   # in 2-D, area is the perimeter


CASES = [
    ("traced outline", traced_outline(2000), 5.0),
    ("traced outline", traced_outline(20_000), None),
    ("disc", disc(2000), None),
    ("disc", disc(100_000), None),
    ("disc", disc(1_000_000), 1.5),
    ("circle", circle(100_000), None),
]


def main() -> None:
    print(f"{'points':<16} {'N':>9} {'pirolet ms':>11} {'SciPy ms':>10} "
          f"{'SciPy/pirolet':>14} {'goal':>6} {'rel. diff':>10}")
    for name, points, goal in CASES:
        ours = median_time(lambda: silhouette.pirolet(points))
        theirs = median_time(lambda: scipy_diameter(points))
        d, ref = silhouette.pirolet(points)[0], scipy_diameter(points)
        print(f"{name:<16} {len(points):>9} {1e3 * ours:>11.3f} {1e3 * theirs:>10.3f} "
              f"{theirs / ours:>13.2f}x {'' if goal is None else f'{goal:g}x':>6} "
              f"{abs(d - ref) / ref:>10.1e}")

    print()
    print(f"{'8 calls, disc':<16} {'N':>9} {'1 thread ms':>11} {'2 threads ms':>13} "
          f"{'speed-up':>9} {'loop during calls':>18}")
    for count in (2000, 100_000, 1_000_000):
        points = disc(count, seed=2)

        def calls(n):
            for _ in range(n):
                silhouette.pirolet(points)

        def two_threads():
            workers = [threading.Thread(target=calls, args=(4,)) for _ in range(2)]
            for w in workers:
                w.start()
            for w in workers:
                w.join()
        one = median_time(lambda: calls(8))
        two = median_time(two_threads)
        alone = loop_rate(0.3)
        worker = threading.Thread(target=calls, args=(8,))
        worker.start()
        during = loop_rate(0, busy=worker)
        worker.join()
        print(f"{'':<16} {count:>9} {1e3 * one:>11.2f} {1e3 * two:>13.2f} "
              f"{one / two:>8.2f}x {100 * during / alone:>17.0f}%")


if __name__ == "__main__":
    main()
