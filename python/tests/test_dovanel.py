"""silhouette.dovanel and pick_best: the recovered pose, the forms of the
starts, the settings, and the rule for the best start."""

from __future__ import annotations

import math

import numpy as np
import pytest

import silhouette
from conftest import EXAMPLES
from scenes import perturbed, random_pair, rotation_angle


def same(a, b) -> bool:
    """Two results equal bit for bit."""
    return all(np.asarray(x, dtype=np.float64).tobytes() ==
               np.asarray(y, dtype=np.float64).tobytes() for x, y in zip(a, b))


@pytest.fixture(scope="module")
def pair():
    rng = np.random.default_rng(11)
    views_a, views_b, truth = random_pair(rng, 3, 2)
    starts = np.array([perturbed(rng, truth, d, f)
                       for d, f in [(3, 0.03), (40, 0.5), (6, 0.05), (80, 0.8)]])
    return views_a, views_b, truth, starts


@pytest.mark.parametrize("seed, sizes", [(21, (2, 2)), (22, (3, 4)), (23, (1, 3))])
def test_recovers_the_pose_between_random_sets(seed, sizes):
    rng = np.random.default_rng(seed)
    views_a, views_b, truth = random_pair(rng, *sizes)
    starts = [perturbed(rng, truth, 3, 0.03), perturbed(rng, truth, 2, 0.02)]
    rms, pose, residuals = silhouette.dovanel(views_a, views_b, starts, 200, 1e-12)
    assert rms < 1e-6
    assert rotation_angle(pose, truth) < 1e-5
    assert np.linalg.norm(pose[4:] - truth[4:]) < 1e-5
    assert residuals.shape == (8 * sizes[0] * sizes[1],)
    assert rms == math.sqrt(np.sum(residuals ** 2) / residuals.size)


def test_recovers_the_known_pose_of_the_example_sets(stone_sets, stone_starts):
    truth = np.loadtxt(EXAMPLES / "stone_pose_B_to_A.txt", comments="%")
    rms, pose, residuals = silhouette.dovanel(*stone_sets, stone_starts)
    assert rms < 1e-3
    assert rotation_angle(pose, truth) < 1e-3
    assert np.linalg.norm(pose[4:] - truth[4:]) < 1e-3
    assert residuals.shape == (8 * 7 * 6,)


def test_one_start_as_a_row_a_list_or_a_matrix(pair):
    views_a, views_b, _, starts = pair
    expected = silhouette.dovanel(views_a, views_b, starts[:1])
    for form in (starts[0], starts[0].tolist(), np.asfortranarray(starts[:1]),
                 starts[:1].astype(">f8"), np.vstack([starts[:1]] * 2)[::2]):
        assert same(silhouette.dovanel(views_a, views_b, form), expected)


def test_no_starts_give_zero_rms_the_zero_pose_and_its_residuals(pair):
    views_a, views_b, _, _ = pair
    rms, pose, residuals = silhouette.dovanel(views_a, views_b, np.empty((0, 7)))
    assert rms == 0 and pose.tolist() == [0.0] * 7
    # The zero quaternion stands for no rotation: the residuals are those of
    # the identity transform (compared with Octave's in test_octave_identity).
    assert residuals.shape == (48,) and np.all(np.isfinite(residuals))
    assert np.any(residuals != 0)


def test_the_best_start_wins_and_a_nan_start_never(pair):
    views_a, views_b, _, starts = pair
    alone = [silhouette.dovanel(views_a, views_b, s) for s in starts]
    best = int(np.argmin([r[0] for r in alone]))
    assert same(silhouette.dovanel(views_a, views_b, starts), alone[best])
    with_nan = np.vstack([np.full(7, np.nan), starts])
    assert same(silhouette.dovanel(views_a, views_b, with_nan), alone[best])
    only_nan = silhouette.dovanel(views_a, views_b, np.full((2, 7), np.nan))
    assert math.isnan(only_nan[0])


def test_chunks_of_starts_and_pick_best_give_one_calls_result(pair):
    views_a, views_b, _, starts = pair
    starts = np.vstack([starts, starts[::-1], [np.full(7, np.nan)]])
    whole = silhouette.dovanel(views_a, views_b, starts)
    for cuts in ([1], [3, 4], [1, 2, 3, 4, 5, 6, 7, 8], [8]):
        chunks = np.split(starts, cuts)
        results = [silhouette.dovanel(views_a, views_b, c) for c in chunks]
        assert same(silhouette.pick_best(results), whole), cuts


@pytest.mark.parametrize("values, expected", [
    ([1.0], 0), ([2.0, 1.0, 1.0], 1), ([math.nan, 3.0], 1), ([3.0, math.nan], 0),
    ([math.nan, math.nan], 0), ([math.inf, 5.0], 1), ([0.0, -0.0], 0),
])
def test_pick_best_rule(values, expected):
    results = [(v, i) for i, v in enumerate(values)]
    assert silhouette.pick_best(results)[1] == expected


def test_pick_best_needs_a_result():
    with pytest.raises(ValueError, match="^there are no results to choose from$"):
        silhouette.pick_best([])


def test_threads_do_not_change_the_result(pair):
    views_a, views_b, _, starts = pair
    one = silhouette.dovanel(views_a, views_b, starts, threads=1)
    for threads in (0, 2, 7, np.int64(3)):
        assert same(silhouette.dovanel(views_a, views_b, starts, threads=threads), one)


def test_iteration_limit_is_truncated_toward_zero(pair):
    views_a, views_b, _, starts = pair
    far = starts[3]
    two = silhouette.dovanel(views_a, views_b, far, 2)
    assert same(silhouette.dovanel(views_a, views_b, far, 2.9), two)
    assert same(silhouette.dovanel(views_a, views_b, far, np.int32(2)), two)
    one = silhouette.dovanel(views_a, views_b, far, 1)
    for at_least_one in (0, -5, math.nan, 0.5):
        assert same(silhouette.dovanel(views_a, views_b, far, at_least_one), one)
    many = silhouette.dovanel(views_a, views_b, far, 10**30)
    assert not same(many, two) and many[0] < two[0]
