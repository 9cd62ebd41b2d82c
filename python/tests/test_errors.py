"""Every error path: the exception's type and text, nothing printed, and the
process never taken down."""

from __future__ import annotations

import math
import os
import subprocess
import sys
import textwrap

import numpy as np
import pytest

import silhouette
from conftest import EXAMPLES

SQUARE = [[0, 0], [1, 0], [1, 1], [0, 1]]
POLY_CLASS = "Need poly as a real, full double matrix"
POLY_ROWS = "Need poly matrix with 2 columns"


@pytest.mark.parametrize("points, error, text", [
    ([[True, False]] * 3, TypeError, POLY_CLASS),
    (np.ones((4, 2), dtype=complex), TypeError, POLY_CLASS),
    ([["a", "b"]] * 3, TypeError, POLY_CLASS),
    (None, TypeError, POLY_CLASS),
    ([[0, 1], [2, 3, 4], [5, 6]], ValueError, POLY_CLASS),
    ([0, 1, 2, 3, 4, 5], ValueError, POLY_ROWS),
    (np.zeros((5, 3)), ValueError, POLY_ROWS),
    (np.zeros((2, 5)), ValueError, POLY_ROWS),
    (np.zeros((3, 2, 1)), ValueError, POLY_ROWS),
    (np.zeros((0, 2)), ValueError, "Need at least 3 points"),
    ([[0, 0], [1, 1]], ValueError, "Need at least 3 points"),
    ([[0, 0], [1, math.nan], [1, 1]], ValueError, "Need poly with finite coordinates"),
    ([[0, 0], [1, 0], [math.inf, 1]], ValueError, "Need poly with finite coordinates"),
    ([[-1e308, 0], [1e308, 0], [0, 1e308]], RuntimeError,
     "Could not compute the convex hull of poly"),
])
def test_pirolet_errors(points, error, text, capfd):
    with pytest.raises(error) as raised:
        silhouette.pirolet(points)
    assert type(raised.value) is error and str(raised.value) == text
    assert capfd.readouterr() == ("", "")


def stone_dicts(views):
    return [{"camera": {"efl": v.camera.efl, "u0": v.camera.u0, "v0": v.camera.v0,
                        "kappa1": v.camera.kappa1, "pose": v.camera.pose},
             "boundary": v.boundary} for v in views]


def changed(views, index, **fields):
    """Mapping views with view `index` changed: boundary=..., camera=...,
    or a camera field (efl=...); a value of `...` removes the key."""
    out = stone_dicts(views)
    for key, value in fields.items():
        target = out[index] if key in ("boundary", "camera") else out[index]["camera"]
        if value is ...:
            del target[key]
        else:
            target[key] = value
    return out


def square_view(shift_x: float, half: float) -> dict:
    pose = np.eye(4)
    pose[0, 3] = shift_x
    return {"camera": {"efl": 500, "u0": 320, "v0": 240, "kappa1": 0, "pose": pose},
            "boundary": [[320 - half, 240 - half], [320 + half, 240 - half],
                         [320 + half, 240 + half], [320 - half, 240 + half]]}


# Identity rotations and hull centroids at the principal points: the first
# three equations of the set's reference point are (1, 0, 0), (0, 1, 0) and
# (1, 0, 0) again.
SINGULAR_PAIR = [square_view(0, 10), square_view(1, 20)]

VIEW_SET = "viewVec is not a struct array with fields camera and boundary."
BOUNDARY_2 = "boundary of view 2 is not a real double matrix of 2 columns and at least 1 row."

VIEW_CASES = [
    # (name, make views from the stone's set A, error, text)
    ("a number", lambda v: 5, TypeError, VIEW_SET),
    ("a string", lambda v: "views", TypeError, VIEW_SET),
    ("one mapping", lambda v: stone_dicts(v)[0], TypeError, VIEW_SET),
    ("one View", lambda v: v[0], TypeError, VIEW_SET),
    ("a list of numbers", lambda v: [1, 2], TypeError, VIEW_SET),
    ("no boundary", lambda v: changed(v, 0, boundary=...), ValueError,
     "missing boundary field in viewVec from Matlab."),
    ("no camera", lambda v: changed(v, 2, camera=...), ValueError,
     "missing camera field in viewVec from Matlab."),
    ("text boundary", lambda v: changed(v, 1, boundary=[["a", "b"]]), TypeError,
     BOUNDARY_2),
    ("3 x N boundary", lambda v: changed(v, 1, boundary=np.zeros((4, 3))),
     ValueError, BOUNDARY_2),
    ("empty boundary", lambda v: changed(v, 1, boundary=np.zeros((0, 2))),
     ValueError, BOUNDARY_2),
    ("NaN boundary", lambda v: changed(v, 3, boundary=[[0, 0], [math.nan, 1]]),
     ValueError, "boundary of view 4 has a coordinate that is not finite."),
    ("camera a list", lambda v: changed(v, 0, camera=[1, 2]), TypeError,
     "camera is not a struct."),
    ("no efl", lambda v: changed(v, 0, efl=...), ValueError,
     "missing internal parameter field in mxArray."),
    ("no kappa1", lambda v: changed(v, 0, kappa1=...), ValueError,
     "missing internal parameter field in mxArray."),
    ("no pose", lambda v: changed(v, 0, pose=...), ValueError,
     "missing pose parameter field in mxArray."),
    ("efl text", lambda v: changed(v, 0, efl="1500"), TypeError,
     "efl in camera is not a real double."),
    ("u0 complex", lambda v: changed(v, 0, u0=1j), TypeError,
     "u0 in camera is not a real double."),
    ("v0 boolean", lambda v: changed(v, 0, v0=True), TypeError,
     "v0 in camera is not a real double."),
    ("kappa1 empty", lambda v: changed(v, 0, kappa1=[]), ValueError,
     "kappa1 in camera is not a real double."),
    ("efl two numbers", lambda v: changed(v, 0, efl=[1500, 2]), ValueError,
     "efl in camera is not a real double."),
    ("pose 3 x 3", lambda v: changed(v, 0, pose=np.eye(3)), ValueError,
     "pose in camera is not a real double 4 x 4 matrix."),
    ("pose of 16", lambda v: changed(v, 0, pose=np.eye(4).ravel()), ValueError,
     "pose in camera is not a real double 4 x 4 matrix."),
    ("pose text", lambda v: changed(v, 0, pose=[["a"] * 4] * 4), TypeError,
     "pose in camera is not a real double 4 x 4 matrix."),
    # Failures of the computation itself
    ("distorted camera", lambda v: changed(v, 2, kappa1=1e-9), RuntimeError,
     "Cannot form matrix K with nonzero kappa1"),
    ("hull overflows", lambda v: changed(v, 1, boundary=[[-1e308, 0], [1e308, 0]]),
     RuntimeError, "could not compute the convex hull of the boundary of view 2."),
    ("first equations singular", lambda v: SINGULAR_PAIR + stone_dicts(v)[2:],
     RuntimeError, "Failed to solve linear system."),
]


@pytest.mark.parametrize("name, make, error, text", VIEW_CASES,
                         ids=[c[0] for c in VIEW_CASES])
def test_view_set_errors_in_kestrim_and_in_either_dovanel_set(
        name, make, error, text, stone_sets, stone_starts, capfd):
    a, b = stone_sets
    bad = make(a)
    calls = [lambda: silhouette.kestrim(bad),
             lambda: silhouette.dovanel(bad, b, stone_starts),
             lambda: silhouette.dovanel(a, bad, stone_starts)]
    for call in calls:
        with pytest.raises(error) as raised:
            call()
        assert isinstance(raised.value, error) and str(raised.value) == text
    assert capfd.readouterr() == ("", "")


STARTS = ("Need starts as a real double array of shape (S, 7) or (7,): one start "
          "pose per row")
SETTINGS = "Need max_iterations and tol as real numbers"
THREADS = "threads must be 0 (all cores) or a positive number"
TOL = "tol in [mfe;tol] must not be negative or NaN"


@pytest.mark.parametrize("change, error, text", [
    ({"starts": np.zeros((7, 2))}, ValueError, STARTS),
    ({"starts": np.zeros(6)}, ValueError, STARTS),
    ({"starts": []}, ValueError, STARTS),
    ({"starts": np.zeros((2, 7, 1))}, ValueError, STARTS),
    ({"starts": np.zeros((2, 7), dtype=bool)}, TypeError, STARTS),
    ({"starts": "starts"}, TypeError, STARTS),
    ({"max_iterations": "100"}, TypeError, SETTINGS),
    ({"max_iterations": None}, TypeError, SETTINGS),
    ({"max_iterations": 10**400}, ValueError, SETTINGS),
    ({"tol": [1e-10]}, TypeError, SETTINGS),
    ({"tol": 1j}, TypeError, SETTINGS),
    ({"tol": -1e-10}, ValueError, TOL),
    ({"tol": math.nan}, ValueError, TOL),
    ({"threads": -1}, ValueError, THREADS),
    ({"threads": 2**31}, ValueError, THREADS),
    ({"threads": 1.5}, TypeError, THREADS),
    ({"threads": True}, TypeError, THREADS),
    ({"views_a": []}, ValueError, "viewVecA has no views: each set needs at least one."),
    ({"views_b": ()}, ValueError, "viewVecB has no views: each set needs at least one."),
])
def test_dovanel_argument_errors(change, error, text, stone_sets, stone_starts, capfd):
    args = {"views_a": stone_sets[0], "views_b": stone_sets[1],
            "starts": stone_starts} | change
    with pytest.raises(error) as raised:
        silhouette.dovanel(**args)
    assert type(raised.value) is error and str(raised.value) == text
    assert capfd.readouterr() == ("", "")


def test_view_and_camera_construction_errors():
    cases = [
        (lambda: silhouette.Camera("800", 1, 2), TypeError,
         "efl in camera is not a real double."),
        (lambda: silhouette.Camera(800, 1, 2, pose=np.zeros((4, 3))), ValueError,
         "pose in camera is not a real double 4 x 4 matrix."),
        (lambda: silhouette.View(silhouette.Camera(1, 2, 3), [[1, 2, 3]]), ValueError,
         "boundary is not a real double matrix of 2 columns and at least 1 row."),
        (lambda: silhouette.View(silhouette.Camera(1, 2, 3), None), TypeError,
         "boundary is not a real double matrix of 2 columns and at least 1 row."),
        (lambda: silhouette.View({"efl": 1}, [[1, 2]]), ValueError,
         "missing internal parameter field in mxArray."),
        (lambda: silhouette.View(7, [[1, 2]]), TypeError, "camera is not a struct."),
    ]
    for make, error, text in cases:
        with pytest.raises(error) as raised:
            make()
        assert str(raised.value) == text


def run_python(code: str, **env) -> subprocess.CompletedProcess:
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)],
                          capture_output=True, text=True, timeout=120,
                          env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path),
                                   **env))


SHARED_GSL_ERROR = """
    import ctypes
    {imports}
    gsl = ctypes.CDLL("libgsl.so.27")
    gsl.gsl_error(b"provoked", b"test", 1, 1)   # GSL_EDOM
    print("survived")
"""

THREADED_CALLS = """
    import silhouette
    from concurrent.futures import ThreadPoolExecutor
    views = silhouette.load_view_set({stone_a!r})
    with ThreadPoolExecutor(4) as pool:
        list(pool.map(lambda k: silhouette.dovanel(views[:3], views[3:],
             [0, 0, 0, 1, 0, 0, k]), range(8)))
"""


def test_the_packages_own_gsl_never_aborts_and_a_shared_one_is_left_alone():
    calls = textwrap.dedent(
        THREADED_CALLS.format(stone_a=str(EXAMPLES / "stone_views_A.txt")))
    # The package's GSL is linked in and private: its handler is off from
    # the import on, also after computations on several threads.
    own = run_python(calls + "print(silhouette._core._gsl_error_returns())\n")
    assert own.returncode == 0, own.stderr
    assert own.stdout == "True\n"
    # A GSL library the process loads for itself keeps its own (aborting)
    # default handler, with or without the package.
    for imports in ("", textwrap.indent(calls, "    ")):
        shared = run_python(SHARED_GSL_ERROR.format(imports=imports.strip()))
        assert shared.returncode != 0 and "survived" not in shared.stdout


@pytest.mark.skipif("asan" in os.environ.get("LD_PRELOAD", ""),
                    reason="an address-space limit starves the sanitizer")
def test_running_out_of_memory_raises_out_of_memory_error():
    result = run_python("""
        import resource, numpy as np, silhouette
        points = np.random.default_rng(1).random((6_000_000, 2))   # 96 MB
        soft, hard = resource.getrlimit(resource.RLIMIT_AS)
        with open("/proc/self/statm") as f:
            size = int(f.read().split()[0]) * resource.getpagesize()
        resource.setrlimit(resource.RLIMIT_AS, (size + 48 * 2**20, hard))
        try:
            silhouette.pirolet(points)
        except silhouette.OutOfMemoryError as e:
            print(isinstance(e, RuntimeError), isinstance(e, MemoryError), str(e))
    """)
    assert result.returncode == 0, result.stderr
    assert result.stdout == "True True out of memory\n", result.stdout
