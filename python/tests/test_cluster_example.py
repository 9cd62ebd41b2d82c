"""examples/dovanel_cluster.py on a LocalCluster of worker processes on the
loopback address: the same results as plain calls."""

from __future__ import annotations

import sys

import numpy as np
import pytest

import silhouette
from conftest import ROOT
from scenes import perturbed, random_pair

sys.path.insert(0, str(ROOT / "python" / "examples"))
import dovanel_cluster  # noqa: E402

distributed = pytest.importorskip("distributed")

# Debian's tornado warns about dask's use of it; nothing of ours.
pytestmark = pytest.mark.filterwarnings(
    "ignore:make_current is deprecated:DeprecationWarning")


def same(a, b) -> bool:
    return all(np.asarray(x).tobytes() == np.asarray(y).tobytes() for x, y in zip(a, b))


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1,
                                       processes=True, host="127.0.0.1",
                                       dashboard_address=None)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


@pytest.mark.parametrize("count, chunks", [(1, None), (9, None), (9, 4), (12, 30)])
def test_spreading_one_problems_starts_gives_one_calls_result(
        client, stone_sets, count, chunks):
    starts = dovanel_cluster.spread_starts(count, seed=count)
    starts[count // 2] = np.nan   # a failed start among them
    result = dovanel_cluster.solve_on_cluster(client, *stone_sets, starts,
                                              chunks=chunks)
    assert same(result, silhouette.dovanel(*stone_sets, starts))


def test_many_objects_problems_give_their_plain_results(client, stone_sets):
    rng = np.random.default_rng(9)
    problems = [(*stone_sets, dovanel_cluster.spread_starts(6))]
    for sizes in [(2, 3), (3, 3)]:
        a, b, truth = random_pair(rng, *sizes)
        problems.append((a, b, [perturbed(rng, truth, d, 0.1) for d in (5, 20, 40)]))
    problems.append((*stone_sets, np.empty((0, 7))))
    problems.append((problems[1][0], problems[1][1], problems[1][2][0]))
    results = dovanel_cluster.solve_many(client, problems, 60, 1e-12)
    assert len(results) == len(problems)
    for (a, b, s), result in zip(problems, results):
        assert same(result, silhouette.dovanel(a, b, s, 60, 1e-12))


def test_bad_arguments_raise_as_in_a_plain_call(client, stone_sets):
    for starts, error in [(np.zeros((3, 6)), ValueError), ("x", TypeError)]:
        with pytest.raises(error) as raised:
            dovanel_cluster.solve_on_cluster(client, *stone_sets, starts)
        with pytest.raises(error) as plain:
            silhouette.dovanel(*stone_sets, starts)
        assert str(raised.value) == str(plain.value)
    with pytest.raises(ValueError, match=r"^tol in \[mfe;tol\] must not be negative"):
        dovanel_cluster.solve_many(client, [(*stone_sets, np.zeros((2, 7)))], tol=-1)


def test_chunks_are_consecutive_and_never_empty():
    starts = np.arange(7 * 10, dtype=float).reshape(10, 7)
    for chunks, sizes in [(1, [10]), (3, [4, 3, 3]), (10, [1] * 10), (25, [1] * 10)]:
        parts = dovanel_cluster.chunk_starts(starts, chunks)
        assert [len(p) for p in parts] == sizes
        assert np.array_equal(np.vstack(parts), starts)
