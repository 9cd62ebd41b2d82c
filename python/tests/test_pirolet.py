"""silhouette.pirolet: known outlines, SciPy's hull, input layouts, copies."""

from __future__ import annotations

import math
import tracemalloc

import numpy as np
import pytest
from scipy.spatial import ConvexHull

import silhouette


def bits(a) -> bytes:
    return np.ascontiguousarray(a, dtype=np.float64).tobytes()


def cloud(layout: str, n: int, seed: int) -> np.ndarray:
    rng = np.random.default_rng(seed)
    if layout == "disc":
        r, a = np.sqrt(rng.random(n)), rng.uniform(0, 2 * np.pi, n)
        return np.column_stack([r * np.cos(a), r * np.sin(a)])
    if layout == "gaussian":
        return rng.normal(size=(n, 2)) * [3.0, 0.2] + [1e3, -5e2]
    if layout == "square":
        return rng.uniform(-1, 1, size=(n, 2))
    if layout == "circle":
        a = rng.permutation(n) * 2 * np.pi / n
        return np.column_stack([np.cos(a), np.sin(a)]) * 50
    if layout == "integer grid":
        return rng.integers(-1000, 1000, size=(n, 2)).astype(float)
    raise ValueError(layout)


@pytest.mark.parametrize("layout", ["disc", "gaussian", "square", "circle",
                                    "integer grid"])
@pytest.mark.parametrize("n", [3, 10, 1000, 20000])
def test_agrees_with_scipys_hull_perimeter_over_pi(layout, n):
    # Dense points on a circle lie within the hull's grid unit (the box's
    # side over 2^20) of their neighbours' chords, and may be dropped.
    rel = 1e-7 if layout == "circle" else 1e-12
    for seed in range(3):
        points = cloud(layout, n, seed)
        d, hull = silhouette.pirolet(points)
        reference = ConvexHull(points).area / math.pi   # area is the perimeter in 2-D
        assert d == pytest.approx(reference, rel=rel), (layout, n, seed)
        # The hull's vertices are rows of the input, counter-clockwise.
        rows = {tuple(p) for p in points}
        assert all(tuple(v) in rows for v in hull)
        edges = np.roll(hull, -1, axis=0) - hull
        turns = edges[:, 0] * np.roll(edges, -1, axis=0)[:, 1] - \
            edges[:, 1] * np.roll(edges, -1, axis=0)[:, 0]
        assert np.all(turns >= 0) and turns.sum() > 0


@pytest.mark.parametrize("points, expected_diameter, expected_hull", [
    # unit square: 4 / pi
    ([[0, 0], [1, 0], [1, 1], [0, 1]], 4 / math.pi, None),
    # concave pentagon whose hull is the square of side 2: 8 / pi
    ([[0, 0], [2, 0], [1, 0.5], [2, 2], [0, 2]], 8 / math.pi, None),
    # points within 0.001 of one point: 0 and the first point
    ([[5, 5], [5.0004, 5], [5, 5.0003], [4.9996, 5.0002]], 0.0, [[5, 5]]),
    # points along a segment of length 10: 2 L / pi and its two ends
    ([[0, 0], [3, 4], [6, 8], [1.5, 2]], 20 / math.pi, [[0, 0], [6, 8]]),
])
def test_known_outlines(points, expected_diameter, expected_hull):
    d, hull = silhouette.pirolet(points)
    assert d == pytest.approx(expected_diameter, rel=1e-14, abs=0)
    if expected_hull is not None:
        assert sorted(map(tuple, hull)) == sorted(map(tuple, np.array(
            expected_hull, dtype=float)))


def layouts(points: np.ndarray):
    """The same points in other memory layouts and types."""
    wide = np.zeros((len(points), 5))
    wide[:, 1], wide[:, 3] = points[:, 0], points[:, 1]
    raw = np.zeros(points.size * 8 + 1, dtype=np.uint8)
    unaligned = np.frombuffer(raw.data, dtype=np.float64, count=points.size,
                              offset=1).reshape(-1, 2)
    unaligned[...] = points
    yield "list", points.tolist()
    yield "tuple of tuples", tuple(map(tuple, points))
    yield "Fortran order", np.asfortranarray(points)
    yield "strided view", wide[:, 1::2]
    yield "reversed rows", points[::-1][::-1]
    yield "big-endian", points.astype(">f8")
    yield "unaligned", unaligned
    yield "read-only", np.frombuffer(points.tobytes()).reshape(-1, 2)


def test_every_layout_gives_the_same_bits():
    points = np.round(cloud("gaussian", 500, 7), 3)
    d, hull = silhouette.pirolet(points)
    for name, other in layouts(points):
        d2, hull2 = silhouette.pirolet(other)
        assert bits([d2]) == bits([d]), name
        assert bits(hull2) == bits(hull), name
    ints = np.round(points).astype(np.int32)
    for name, other in [("int32", ints), ("float32", ints.astype(np.float32)),
                        ("uint16", (ints - ints.min()).astype(np.uint16))]:
        reference = silhouette.pirolet(ints.astype(np.float64))
        result = silhouette.pirolet(other)
        if name == "uint16":   # shifted copy: same width
            assert result[0] == pytest.approx(reference[0], rel=1e-12)
        else:
            assert bits([result[0]]) == bits([reference[0]]), name


def peak_python_allocation(call) -> int:
    """Bytes NumPy and Python allocate at most during call()."""
    tracemalloc.start()
    try:
        tracemalloc.reset_peak()
        before = tracemalloc.get_traced_memory()[0]
        call()
        return tracemalloc.get_traced_memory()[1] - before
    finally:
        tracemalloc.stop()


def test_c_contiguous_float64_is_read_in_place_and_others_converted_once():
    points = cloud("disc", 200_000, 3)   # 3.2 MB
    size = points.nbytes
    fortran = np.asfortranarray(points)
    in_place = peak_python_allocation(lambda: silhouette.pirolet(points))
    converted = peak_python_allocation(lambda: silhouette.pirolet(fortran))
    assert in_place < size / 10
    assert size <= converted < 2 * size


def test_the_extension_copies_an_unaligned_buffer_before_reading_it():
    # The package aligns its arrays; the extension must not read unaligned
    # ones as doubles either (the sanitized build reports such reads).
    points = cloud("square", 1000, 4)
    odd = dict(layouts(points))["unaligned"]
    assert not odd.flags.aligned
    from silhouette import _core
    assert bits(_core.pirolet(odd)[1]) == bits(silhouette.pirolet(points)[1])
    odd[5, 1] = np.nan
    with pytest.raises(ValueError, match="^Need poly with finite coordinates$"):
        _core.pirolet(odd)
