"""silhouette.kestrim: the edges' geometry on random scenes, the forms of
views it takes, and the outputs' shapes."""

from __future__ import annotations

import numpy as np
import pytest

import silhouette
from scenes import project, random_set


def segment_distance(points: np.ndarray, a: np.ndarray, b: np.ndarray) -> float:
    """Smallest distance of the points to the segment a-b."""
    d = b - a
    s = np.clip((points - a) @ d / max(d @ d, 1e-300), 0, 1)
    return float(np.min(np.linalg.norm(points - (a + s[:, None] * d), axis=1)))


def inside_margin(pixels: np.ndarray, boundary: np.ndarray) -> np.ndarray:
    """Signed distance (> 0 inside) of pixels to the convex hull of boundary."""
    d, hull = silhouette.pirolet(boundary)
    margin = np.full(len(pixels), np.inf)
    for p, q in zip(hull, np.roll(hull, -1, axis=0)):
        e = q - p
        margin = np.minimum(margin, (e[0] * (pixels[:, 1] - p[1]) -
                                     e[1] * (pixels[:, 0] - p[0])) / np.hypot(*e))
    return margin


@pytest.mark.parametrize("seed, count", [(1, 3), (2, 5), (3, 8), (4, 12)])
def test_edges_touch_the_object_and_lie_inside_every_other_silhouette(seed, count):
    views, points = random_set(np.random.default_rng(seed), count)
    near, far, view = silhouette.kestrim(views)
    hull_vertices = sum(len(silhouette.pirolet(v.boundary)[1]) for v in views)
    assert len(view) <= hull_vertices   # at most one edge per hull vertex
    assert np.all(np.diff(view) >= 0) and set(view) == set(range(count))
    for k, v in enumerate(views):
        others = view != k
        ends = np.vstack([near[others], far[others]])
        assert np.all(inside_margin(project(v.camera.pose, ends), v.boundary) > -1e-6)
        centre = -v.camera.pose[:3, :3].T @ v.camera.pose[:3, 3]
        own = view == k
        assert np.all(np.linalg.norm(near[own] - centre, axis=1) <=
                      np.linalg.norm(far[own] - centre, axis=1))
    for a, b in zip(near, far):
        assert segment_distance(points, a, b) < 1e-9


def test_views_as_mappings_give_the_same_edges(stone_sets):
    views = stone_sets[0]
    as_dicts = [{"camera": {"efl": v.camera.efl, "u0": v.camera.u0,
                            "v0": v.camera.v0, "kappa1": v.camera.kappa1,
                            "pose": v.camera.pose.tolist()},
                 "boundary": v.boundary.tolist()} for v in views]
    # As scipy.io.loadmat gives a struct's scalars: 1 x 1 matrices.
    as_loaded = [{"camera": {name: np.array([[getattr(v.camera, name)]])
                             for name in ("efl", "u0", "v0", "kappa1")}
                  | {"pose": v.camera.pose}, "boundary": v.boundary}
                 for v in views]
    expected = silhouette.kestrim(views)
    mixed = [as_dicts[0]] + views[1:5] + as_loaded[5:]
    for other in (as_dicts, as_loaded, mixed, tuple(views), iter(views)):
        result = silhouette.kestrim(other)
        for e, r in zip(expected, result):
            assert e.tobytes() == r.tobytes()


def unaligned(array: np.ndarray) -> np.ndarray:
    """A copy of a float64 array whose data start one byte off alignment."""
    raw = np.zeros(array.size * 8 + 1, dtype=np.uint8)
    out = np.frombuffer(raw.data, dtype=np.float64, count=array.size,
                        offset=1).reshape(array.shape)
    out[...] = array
    return out


def test_views_of_any_memory_layout_give_the_same_edges(stone_sets):
    views = stone_sets[0]
    expected = silhouette.kestrim(views)
    for convert in (unaligned, np.asfortranarray, lambda a: a.astype(">f8"),
                    lambda a: np.repeat(a, 2, axis=1)[:, ::2]):
        others = [{"camera": {"efl": v.camera.efl, "u0": v.camera.u0,
                              "v0": v.camera.v0, "kappa1": v.camera.kappa1,
                              "pose": convert(v.camera.pose)},
                   "boundary": convert(v.boundary)} for v in views]
        result = silhouette.kestrim(others)
        for e, r in zip(expected, result):
            assert e.tobytes() == r.tobytes()
    # View objects keep an unaligned boundary as it is (pickling can make
    # one), yet compute the same.
    kept = [silhouette.View(v.camera, unaligned(v.boundary)) for v in views]
    assert not kept[0].boundary.flags.aligned
    assert silhouette.kestrim(kept)[0].tobytes() == expected[0].tobytes()


@pytest.mark.parametrize("count", [0, 1])
def test_no_view_or_one_view_gives_no_edges(stone_sets, count):
    near, far, view = silhouette.kestrim(stone_sets[0][:count])
    assert near.shape == (0, 3) and far.shape == (0, 3) and view.shape == (0,)
    assert near.dtype == np.float64 and view.dtype == np.int64


def test_outputs_are_fresh_arrays_of_the_documented_types(stone_sets):
    near, far, view = silhouette.kestrim(stone_sets[0])
    assert near.shape == far.shape == (len(view), 3)
    assert near.dtype == far.dtype == np.float64 and view.dtype == np.int64
    for a in (near, far, view):
        assert a.flags.c_contiguous and a.flags.writeable and a.flags.owndata
