"""The three computations and the choice of the best Dovanel result."""

from __future__ import annotations

import operator
from collections.abc import Iterable
from typing import Any, Sequence, TypeVar

import numpy as np
from numpy.typing import ArrayLike, NDArray

from . import _core
from ._arrays import float64_rows, real_array, real_number
from ._views import ViewLike, view_list

_STARTS = ("Need starts as a real double array of shape (S, 7) or (7,): "
           "one start pose per row")
_SETTINGS = "Need max_iterations and tol as real numbers"
_THREADS = "threads must be 0 (all cores) or a positive number"


def pirolet(points: ArrayLike) -> tuple[float, NDArray[np.float64]]:
    """Mean caliper diameter of a planar outline, and its convex hull.

    mean_diameter, hull = pirolet(points)

    points      (N, 2) array-like of real numbers, N >= 3: row i is point
                (x, y), in any unit. Any order, orientation,
                self-intersection, repeated or collinear points: the outline
                is measured through its convex hull. A C-contiguous float64
                array is read in place; any other layout or number type is
                converted once.

    Returns
    mean_diameter   float, the width averaged over all directions (rotating
                    calipers over the hull), in the units of points; for a
                    hull of three or more vertices its perimeter over pi
    hull            (n, 2) float64 array, the hull's vertices
                    counter-clockwise (y axis up), starting at the vertex
                    before the last point inserted into the hull

    The hull uses the tolerance 0.001 (units of points): points all within
    0.001 of one point give 0 and that one point (the first); points within
    0.001 times their length of a segment of length L give 2 L / pi and the
    segment's two ends.

    Errors (the Octave module's texts, which call the points poly):
    TypeError "Need poly as a real, full double matrix" (booleans, complex
    numbers, strings, objects); ValueError "Need poly matrix with 2
    columns", "Need at least 3 points", "Need fewer than 2^31 points",
    "Need poly with finite coordinates"; RuntimeError "Could not compute the
    convex hull of poly" (coordinates so far apart that their range
    overflows).

    The computation runs without the GIL, so threads may call side by side.

    Example, the unit square (4 / pi):

    >>> import silhouette
    >>> d, hull = silhouette.pirolet([[0, 0], [1, 0], [1, 1], [0, 1]])
    >>> round(d, 6), hull.tolist()
    (1.27324, [[1.0, 1.0], [0.0, 1.0], [0.0, 0.0], [1.0, 0.0]])
    """
    array = real_array(points, "Need poly as a real, full double matrix")
    if array.ndim != 2 or array.shape[1] != 2:
        raise ValueError("Need poly matrix with 2 columns")
    return _core.pirolet(float64_rows(array))


def kestrim(views: Iterable[ViewLike]) -> tuple[
        NDArray[np.float64], NDArray[np.float64], NDArray[np.int64]]:
    """Viewing edges of a set of calibrated silhouettes.

    near, far, view = kestrim(views)

    views       sequence of View objects, or of mappings with MATLAB's field
                names: {"camera": {"efl", "u0", "v0", "kappa1", "pose"},
                "boundary": (N, 2)} (see View and Camera). Cameras must have
                kappa1 = 0.

    For every convex-hull vertex of every silhouette, the viewing ray from
    that view's camera centre through the vertex is clipped to the stretch
    whose image lies inside the hulls of all other silhouettes; each
    non-empty stretch is one viewing edge. For a convex object seen by exact
    silhouettes every edge touches the object.

    Returns, one row per edge E, in view order, then hull order
    (counter-clockwise):
    near        (E, 3) float64, the world point of the end nearer to the
                edge's camera, in world units (those of the poses)
    far         (E, 3) float64, the end farther from it (Inf or NaN when no
                other view bounds the ray)
    view        (E,) int64, the zero-based number of the view whose ray it
                is

    No view or one view gives no edges: arrays of shapes (0, 3), (0, 3),
    (0,). The special cases are those of the Octave module (help Kestrim).

    Errors: TypeError and ValueError for views of the wrong form, with the
    reader's texts ("viewVec is not a struct array with fields camera and
    boundary.", "missing boundary field in viewVec from Matlab.", "missing
    camera field in viewVec from Matlab.", "boundary of view K is not a real
    double matrix of 2 columns and at least 1 row.", "boundary of view K has
    a coordinate that is not finite.", "camera is not a struct.", "efl in
    camera is not a real double.", ...). RuntimeError for failures of the
    computation, with the module's texts: "Cannot form matrix K with nonzero
    kappa1", "Failed to solve linear system." (the set's reference point
    cannot be estimated), "could not compute the convex hull of the boundary
    of view K."; OutOfMemoryError (a RuntimeError) for "out of memory".

    The computation runs without the GIL.

    Example, four cameras around the cube [-1, 1]^3, the silhouettes the
    projected corners:

    >>> import numpy as np, silhouette
    >>> corners = np.array([[x, y, z] for x in (-1, 1) for y in (-1, 1)
    ...                     for z in (-1, 1)], dtype=float)
    >>> views = []
    >>> for k in range(1, 5):
    ...     a = np.radians(90 * k - 60)
    ...     centre = np.array([8 * np.cos(a), 8 * np.sin(a), 5])
    ...     z = -centre / np.linalg.norm(centre)
    ...     x = np.cross(z, [0, 0, 1]); x /= np.linalg.norm(x)
    ...     R = np.array([x, np.cross(z, x), z])
    ...     pose = np.eye(4); pose[:3, :3] = R; pose[:3, 3] = -R @ centre
    ...     p = corners @ R.T - R @ centre
    ...     boundary = 800 * p[:, :2] / p[:, 2:] + [320, 240]
    ...     views.append(silhouette.View(silhouette.Camera(800, 320, 240,
    ...                                                    pose=pose), boundary))
    >>> near, far, view = silhouette.kestrim(views)
    >>> long = np.linalg.norm(far - near, axis=1) > 1e-6
    >>> print(np.round(far[long], 4) + 0, view[long])
    [[-1.  1. -1.]
     [-1. -1. -1.]
     [ 1. -1. -1.]
     [ 1.  1. -1.]] [0 1 2 3]
    """
    return _core.kestrim(view_list(views))


def dovanel(views_a: Iterable[ViewLike], views_b: Iterable[ViewLike],
            starts: ArrayLike, max_iterations: float = 100,
            tol: float = 1e-10, *, threads: int = 0) -> tuple[
                float, NDArray[np.float64], NDArray[np.float64]]:
    """Rigid transform between two calibrated silhouette sets.

    rms, pose, residuals = dovanel(views_a, views_b, starts,
                                   max_iterations=100, tol=1e-10)

    views_a, views_b
                two silhouette sets of one object, each calibrated in its
                own world frame, as kestrim takes them; each needs at least
                one view. Cameras must have kappa1 = 0.
    starts      (S, 7) array-like, one start pose per row, or (7,) for one;
                S may be 0 (then nothing is optimised: rms 0, the pose of
                seven zeros and the residuals of the identity transform).
                A C-contiguous float64 (S, 7) array is read in place.
    max_iterations
                solver iterations per start (at least one is made; truncated
                toward zero, clamped to a 32-bit int, NaN counts as 0)
    tol         relative step tolerance: a start ends when every step
                component is below tol times its parameter, when an
                iteration lowers the RMS by a fraction of 1e-10 or less, or
                after max_iterations
    threads     how many threads may run the starts: 0 (default) the
                machine's cores, limited by OMP_NUM_THREADS; 1 the calling
                thread alone; n > 1 at most n. The results do not depend on
                it.

    Pose layout (starts and result): (qx, qy, qz, qw, tx, ty, tz), the
    quaternion's vector part, its scalar part, then the translation in set
    A's world units. The transform T carries B's world coordinates into
    A's: X_A = T X_B. The quaternion's length does not matter (and drifts
    in the solver: normalise the returned one before use).

    Each start is a Levenberg-Marquardt minimisation of the epipolar
    tangency misfits of every pair of a view of A and a view of B. Returns
    the best start's result: the smallest RMS wins, on ties the earlier
    start, and NaN never wins over a number (see pick_best).
    rms         float, that RMS, pixels
    pose        (7,) float64, the pose that reached it
    residuals   (8 |A| |B|,) float64, its residuals, pixels: the group of
                eight at 8 (i |B| + j) belongs to view i of A and view j of B
                (zero-based): the x, y offsets of A's two tangent points from
                their epipolar lines, then those of B's two. A half group
                whose epipole lies inside its view's silhouette box holds the
                RMS of all other residuals (NaN when all are so).

    Errors: TypeError or ValueError for arguments of the wrong form: the
    view sets' texts as for kestrim, "Need starts as a real double array of
    shape (S, 7) or (7,): one start pose per row", "Need max_iterations and
    tol as real numbers", "viewVecA has no views: each set needs at least
    one." (or viewVecB), "tol in [mfe;tol] must not be negative or NaN",
    "threads must be 0 (all cores) or a positive number". RuntimeError for
    failures of the computation: "Cannot form matrix K with nonzero
    kappa1", "Failed to solve linear system.", "too many view pairs: 8 x |A|
    x |B| residuals exceed the largest int.", OutOfMemoryError "out of
    memory".

    The computation runs without the GIL; calls keep nothing between them,
    so starts may be split over calls, threads or machines and the best
    picked with pick_best.

    Example, run in the source tree's top folder: the example sets of
    examples/ and three starts 15 to 25 degrees about z:

    >>> import numpy as np, silhouette
    >>> a = silhouette.load_view_set("examples/stone_views_A.txt")
    >>> b = silhouette.load_view_set("examples/stone_views_B.txt")
    >>> h = np.radians([15, 20, 25]) / 2
    >>> starts = [[0, 0, np.sin(x), np.cos(x), 30, -20, 10] for x in h]
    >>> rms, pose, residuals = silhouette.dovanel(a, b, starts)
    >>> q = pose[:4] / np.linalg.norm(pose[:4]) * np.sign(pose[3])
    >>> rms < 1e-6, np.round(q, 6).tolist(), np.round(pose[4:], 6).tolist()
    (True, [0.052623, -0.087706, 0.140329, 0.984808], [28.0, -17.0, 12.0])
    >>> residuals.shape
    (336,)
    """
    list_a = view_list(views_a)
    list_b = view_list(views_b)
    array = real_array(starts, _STARTS)
    if array.shape == (7,):
        array = array.reshape(1, 7)
    if array.ndim != 2 or array.shape[1] != 7:
        raise ValueError(_STARTS)
    mfe = real_number(max_iterations, _SETTINGS)
    tolerance = real_number(tol, _SETTINGS)
    if isinstance(threads, (bool, np.bool_)):
        raise TypeError(_THREADS)
    try:
        thread_count = operator.index(threads)
    except TypeError:
        raise TypeError(_THREADS) from None
    if not 0 <= thread_count <= 2**31 - 1:
        raise ValueError(_THREADS)
    if not list_a:
        raise ValueError("viewVecA has no views: each set needs at least one.")
    if not list_b:
        raise ValueError("viewVecB has no views: each set needs at least one.")
    return _core.dovanel(list_a, list_b, float64_rows(array), mfe, tolerance,
                         thread_count)


Result = TypeVar("Result", bound=Sequence[Any])


def pick_best(results: Iterable[Result]) -> Result:
    """The best of several Dovanel results, by Dovanel's own rule.

    best = pick_best(results)

    results     non-empty iterable of (rms, pose, residuals) results of
                dovanel calls (only rms, the first item, is read), e.g. one
                per chunk of the starts of one problem

    Returns the result with the smallest RMS; on ties the earlier one, and
    one whose RMS is NaN never wins over a number (if every RMS is NaN, the
    first). Since dovanel keeps nothing between calls, the best of the
    chunks' results is the result of one call over all their starts (chunks
    of at least one start each, in order). Raises ValueError for no results.

    >>> import math, silhouette
    >>> silhouette.pick_best([(math.nan, "a"), (0.5, "b"), (0.5, "c")])
    (0.5, 'b')
    """
    items = list(results)
    return items[_core.best_index([float(item[0]) for item in items])]
