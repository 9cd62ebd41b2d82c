"""Dovanel's starts, and the problems of many objects, on a dask cluster.

    python3 dovanel_cluster.py                      # a local cluster of 2 processes
    python3 dovanel_cluster.py --workers 4
    python3 dovanel_cluster.py --scheduler tcp://head.example:8786

silhouette.dovanel keeps nothing between calls, so the starts of one
problem can run in chunks anywhere, and the best chunk result, picked with
Dovanel's own rule (silhouette.pick_best), is the result of one call over
all the starts. solve_on_cluster does that for one problem, solve_many for
many (one object's two view sets and starts each), with a
dask.distributed Client: every chunk is one task, running
silhouette.dovanel(..., threads=1) in a worker, and each problem's choice
one more task beside its chunks. Only silhouette needs to be importable on
the workers (installed there, or on their PYTHONPATH); nothing of this file
is sent.

Run as a script, it solves the example sets of examples/ from 32 starts
spread over a wide range, on a LocalCluster of worker processes on this
machine (127.0.0.1), or on a running cluster whose scheduler is given,
and checks the result against one plain call.
"""

from __future__ import annotations

import argparse
import pathlib
import time
from collections.abc import Iterable, Sequence

import numpy as np

import silhouette


def chunk_starts(starts: np.ndarray, chunks: int) -> list[np.ndarray]:
    """Consecutive rows of starts in min(chunks, S) chunks whose sizes differ
    by at most one (the earlier ones larger); none is empty."""
    count = max(1, min(chunks, len(starts)))
    return [part for part in np.array_split(starts, count) if len(part)]


def _checked(views_a, views_b, starts, max_iterations, tol):
    """(starts as an (S, 7) array, the plain result for no starts), after a
    call without starts has checked every argument: a bad one raises here
    exactly as in a plain call."""
    try:
        array = np.asarray(starts)
    except ValueError:   # ragged
        array = None
    if (array is None or array.dtype.kind not in "iuf" or
            array.shape[-1:] != (7,) or array.ndim > 2):
        # Not starts: the plain call raises its error.
        return None, silhouette.dovanel(views_a, views_b, starts, max_iterations, tol)
    array = array.reshape(-1, 7)
    return array, silhouette.dovanel(views_a, views_b, array[:0], max_iterations, tol)


def _submit(client, views_a, views_b, starts, max_iterations, tol, chunks):
    """Futures of one problem: its chunks' results and the pick of the best."""
    sets = client.scatter([views_a, views_b], broadcast=True)
    parts = [client.submit(silhouette.dovanel, sets[0], sets[1], part,
                           max_iterations, tol, threads=1, pure=False)
             for part in chunk_starts(starts, chunks)]
    return client.submit(silhouette.pick_best, parts, pure=False)


def solve_on_cluster(client, views_a, views_b, starts, max_iterations=100,
                     tol=1e-10, chunks: int | None = None):
    """silhouette.dovanel(views_a, views_b, starts, max_iterations, tol), with
    the starts run in `chunks` tasks on the client's cluster (default: one per
    worker thread). Arguments are checked here first, by a call without
    starts, so a bad one raises exactly as a plain call does; without starts
    that call's result is returned."""
    starts, plain = _checked(views_a, views_b, starts, max_iterations, tol)
    if starts is None or len(starts) == 0:
        return plain
    chunks = chunks or sum(client.nthreads().values())
    return _submit(client, views_a, views_b, starts, max_iterations, tol,
                   chunks).result()


def solve_many(client, problems: Iterable[Sequence], max_iterations=100,
               tol=1e-10, chunks: int | None = None) -> list:
    """solve_on_cluster for each (views_a, views_b, starts) of problems, all
    problems' chunks submitted at once; results in the problems' order."""
    # Every problem's arguments are checked before anything runs.
    checked = [(a, b) + _checked(a, b, s, max_iterations, tol)
               for a, b, s in problems]
    chunks = chunks or sum(client.nthreads().values())
    futures = {k: _submit(client, a, b, s, max_iterations, tol, chunks)
               for k, (a, b, s, _) in enumerate(checked)
               if s is not None and len(s)}
    done = dict(zip(futures, client.gather(list(futures.values()))))
    return [done.get(k, plain) for k, (_, _, _, plain) in enumerate(checked)]


def spread_starts(count: int, seed: int = 1) -> np.ndarray:
    """count starts turned 10 to 30 degrees about random axes near z and
    shifted around (30, -20, 10) mm: a wide guess for the example sets."""
    rng = np.random.default_rng(seed)
    axes = rng.normal(size=(count, 3)) * [0.3, 0.3, 1]
    axes /= np.linalg.norm(axes, axis=1, keepdims=True)
    half = np.radians(rng.uniform(10, 30, count)) / 2
    shift = [30, -20, 10] + rng.normal(scale=3, size=(count, 3))
    return np.column_stack([np.sin(half)[:, None] * axes, np.cos(half), shift])


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scheduler", help="address of a running scheduler, "
                        "e.g. tcp://head.example:8786 (default: a local cluster)")
    parser.add_argument("--workers", type=int, default=2,
                        help="worker processes of the local cluster (default 2)")
    parser.add_argument("--starts", type=int, default=32)
    args = parser.parse_args()

    from dask.distributed import Client, LocalCluster

    examples = pathlib.Path(__file__).resolve().parents[2] / "examples"
    views_a = silhouette.load_view_set(examples / "stone_views_A.txt")
    views_b = silhouette.load_view_set(examples / "stone_views_B.txt")
    starts = spread_starts(args.starts)

    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1,
                               processes=True, host="127.0.0.1",
                               dashboard_address=None)
        client = Client(cluster)
    try:
        print(f"cluster: {client.scheduler.address}, "
              f"{sum(client.nthreads().values())} worker threads")
        began = time.perf_counter()
        rms, pose, residuals = solve_on_cluster(client, views_a, views_b, starts)
        spread = time.perf_counter() - began
        began = time.perf_counter()
        plain = silhouette.dovanel(views_a, views_b, starts)
        alone = time.perf_counter() - began
        same = rms == plain[0] and pose.tobytes() == plain[1].tobytes()
        q = pose[:4] / np.linalg.norm(pose[:4]) * np.sign(pose[3])
        print(f"{len(starts)} starts: RMS {rms:.3g} px, pose "
              f"{np.round(q, 6).tolist()} {np.round(pose[4:], 4).tolist()}")
        print(f"on the cluster {spread:.2f} s, one plain call {alone:.2f} s, "
              f"same result: {same}")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


if __name__ == "__main__":
    main()
