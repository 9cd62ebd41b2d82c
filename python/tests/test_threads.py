"""Many threads calling at once give the results of one thread."""

from __future__ import annotations

from concurrent.futures import ThreadPoolExecutor

import numpy as np

import silhouette
from scenes import perturbed, random_pair


def fingerprint(result) -> bytes:
    return b"".join(np.asarray(x).tobytes() for x in result)


def test_threads_calling_at_once_get_the_results_of_one_thread(stone_sets):
    rng = np.random.default_rng(5)
    pairs = [random_pair(rng, 2, 3) for _ in range(3)]
    clouds = [rng.normal(size=(n, 2)) for n in (100, 5_000, 100_000)]
    tasks = []
    for k in range(3):
        views_a, views_b, truth = pairs[k]
        starts = [perturbed(rng, truth, 5, 0.05) for _ in range(2)]
        tasks += [
            (silhouette.pirolet, (clouds[k],), {}),
            (silhouette.kestrim, (views_a + views_b,), {}),
            (silhouette.dovanel, (views_a, views_b, starts), {"threads": 1}),
            (silhouette.kestrim, (stone_sets[k % 2],), {}),
        ]
    # A failing call among them must not disturb the others.
    tasks.append((silhouette.dovanel, (stone_sets[0], [], [0] * 7), {}))
    tasks = tasks * 6

    def run(task):
        function, args, kwargs = task
        try:
            return fingerprint(function(*args, **kwargs))
        except ValueError as error:
            return str(error)

    alone = [run(t) for t in tasks]
    with ThreadPoolExecutor(max_workers=8) as pool:
        together = list(pool.map(run, tasks))
    assert together == alone
    assert alone[-1] == "viewVecB has no views: each set needs at least one."
