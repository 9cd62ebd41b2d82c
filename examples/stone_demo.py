"""Runs the three computations of the silhouette package on the example data
and draws figures, as stone_demo.m does in Octave.

    PYTHONPATH=build/python /usr/bin/python3 examples/stone_demo.py [OUTDIR]
    ... examples/stone_demo.py OUTDIR --views-a my_A.txt --views-b my_B.txt \\
        --points '' --pose '' --starts my_starts.txt

Prints a summary per computation (its input files and sizes, its results,
the time of each call and its cross-checks) and writes four PNG figures
into OUTDIR (default build/demo-python in this repository; '' draws none).
A result that fails its cross-check ends the run with an error and exit
status 1, so a broken build does not pass as a working demo.

Options name the files to use instead of the shipped ones (see stone_demo.m
for their layouts): --outline (x y per line), --views-a and --views-b
(silhouette sets, as load_view_set reads them), --points (the object in
A's frame, x y z per line; '' for none), --pose (the known transform from
B's frame to A's, qx qy qz qw tx ty tz; '' for none) and --starts (one
start qx qy qz qw tx ty tz per line; by default three starts a few degrees
and percent off the known pose, or, without one, the identity). The points
and the known pose add checks that hold only for exact silhouettes such as
the shipped ones: give '' for measured data.

Figures (Matplotlib, drawn without a window):
    pirolet_outline.png   the outline, its convex hull and the circle of
                          the same mean caliper diameter
    silhouettes_A.png     set A's silhouettes with their convex hulls
    kestrim_edges.png     set A's cameras and Kestrim's viewing edges
    dovanel_pose.png      set B's cameras placed into A's frame by the
                          recovered pose, beside A's cameras
"""

from __future__ import annotations

import argparse
import math
import pathlib
import sys
import time

import numpy as np

HERE = pathlib.Path(__file__).resolve().parent
try:
    import silhouette
except ImportError:   # not installed: this repository's build
    sys.path.insert(0, str(HERE.parent / "build" / "python"))
    import silhouette


class CheckFailed(Exception):
    """A result failed its cross-check."""


def ms(seconds: float) -> str:
    return f"{1e3 * seconds:.3g} ms"


def timed(call):
    began = time.perf_counter()
    result = call()
    return result, time.perf_counter() - began


def perimeter(points: np.ndarray) -> float:
    return float(np.sum(np.linalg.norm(np.roll(points, -1, axis=0) - points, axis=1)))


def qmul(p: np.ndarray, q: np.ndarray) -> np.ndarray:
    """The quaternion product p q, (x, y, z, w) with the scalar last."""
    return np.concatenate([p[3] * q[:3] + q[3] * p[:3] + np.cross(p[:3], q[:3]),
                           [p[3] * q[3] - p[:3] @ q[:3]]])


def angle_between(p: np.ndarray, q: np.ndarray) -> float:
    """Degrees of the rotation from pose q to pose p, whatever their lengths."""
    r = qmul(np.concatenate([-q[:3], q[3:4]]), p[:4])
    return math.degrees(2 * math.atan2(np.linalg.norm(r[:3]), abs(r[3])))


def rotation(q: np.ndarray) -> np.ndarray:
    x, y, z, w = q / np.linalg.norm(q)
    return np.array([[1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
                     [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
                     [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)]])


def transform(pose: np.ndarray, points: np.ndarray) -> np.ndarray:
    return points @ rotation(pose[:4]).T + pose[4:]


def project(camera: silhouette.Camera, points: np.ndarray) -> tuple[np.ndarray, np.ndarray]:
    """Pixels of world points, and their depths."""
    p = points @ camera.pose[:3, :3].T + camera.pose[:3, 3]
    return camera.efl * p[:, :2] / p[:, 2:] + [camera.u0, camera.v0], p[:, 2]


def camera_geometry(camera: silhouette.Camera, depth: float):
    """The camera's centre, and its frustum cut at depth as a list of
    polylines, for an image of 2 u0 x 2 v0 pixels."""
    r = camera.pose[:3, :3]
    centre = -r.T @ camera.pose[:3, 3]
    u = np.array([0, 2, 2, 0]) * camera.u0
    v = np.array([0, 0, 2, 2]) * camera.v0
    rays = np.column_stack([(u - camera.u0) / camera.efl, (v - camera.v0) / camera.efl,
                            np.ones(4)]) * depth
    corners = rays @ r + centre
    lines = [np.array([centre, c]) for c in corners] + [np.vstack([corners, corners[:1]])]
    return centre, lines


def hull_margin(pixels: np.ndarray, hull: np.ndarray) -> np.ndarray:
    """Signed distance (> 0 inside, pixels) to a counter-clockwise hull."""
    margin = np.full(len(pixels), np.inf)
    for p, q in zip(hull, np.roll(hull, -1, axis=0)):
        e = q - p
        margin = np.minimum(margin, (e[0] * (pixels[:, 1] - p[1]) -
                                     e[1] * (pixels[:, 0] - p[0])) / np.hypot(*e))
    return margin


def shown(path) -> str:
    path = pathlib.Path(path)
    return path.name if path.parent == HERE else str(path)


def run_pirolet(outline_file) -> dict:
    poly = np.loadtxt(outline_file, comments="%", ndmin=2)
    (mean_diam, hull), took = timed(lambda: silhouette.pirolet(poly))
    turn = math.radians(37)
    turned = poly @ np.array([[math.cos(turn), -math.sin(turn)],
                              [math.sin(turn), math.cos(turn)]]).T
    (rotated, _), rotated_took = timed(lambda: silhouette.pirolet(turned))
    try:
        from scipy.spatial import ConvexHull
        reference = ConvexHull(poly).area / math.pi
        how = "SciPy hull perim/pi"
    except ImportError:
        reference, how = perimeter(hull) / math.pi, "hull perim/pi   "
    extent = poly.max(axis=0) - poly.min(axis=0)
    print("\n== Pirolet: mean caliper diameter of a planar outline")
    print(f"outline            {shown(outline_file)}: {len(poly)} vertices, "
          f"{extent[0]:.1f} x {extent[1]:.1f} mm box")
    print(f"mean diameter      {mean_diam:.4f} mm")
    print(f"hull vertices      {len(hull)} of {len(poly)}")
    print(f"{how}  {reference:.4f} mm (relative difference "
          f"{abs(mean_diam - reference) / reference:.1e})")
    print(f"outline perim/pi   {perimeter(poly) / math.pi:.4f} mm "
          "(the hull bridges the outline's dents)")
    print(f"rotated 37 deg     {rotated:.4f} mm")
    print(f"time               {ms(took)} (pirolet call; {ms(rotated_took)} on the "
          "rotated outline)")
    if (abs(mean_diam - reference) > 1e-9 * reference or
            abs(rotated - mean_diam) > 1e-9 * mean_diam):
        raise CheckFailed("pirolet disagrees with the hull's perimeter over pi")
    return {"poly": poly, "hull": hull, "mean_diam": mean_diam, "time": took}


def run_kestrim(views, views_file, stone, points_file) -> dict:
    (near, far, view), took = timed(lambda: silhouette.kestrim(views))
    hulls = [silhouette.pirolet(v.boundary)[1] if len(v.boundary) >= 3 else v.boundary
             for v in views]
    per_view = np.bincount(view, minlength=len(views))
    ends, owner = np.vstack([near, far]), np.concatenate([view, view])
    inside = np.ones(len(ends), dtype=bool)
    worst = math.inf
    for k, v in enumerate(views):
        others = owner != k
        pixels, depth = project(v.camera, ends[others])
        margin = hull_margin(pixels, hulls[k])
        inside[others] &= (margin > -1e-3) & (depth > 0)
        worst = min([worst, *margin])
    lengths = np.linalg.norm(far - near, axis=1)
    to_stone = np.zeros(len(view))
    for i, (a, b) in enumerate(zip(near, far)):
        d = b - a
        s = np.clip((stone - a) @ d / max(d @ d, 1e-300), 0, 1)
        if len(stone):
            to_stone[i] = np.min(np.linalg.norm(stone - (a + s[:, None] * d), axis=1))
    sizes = [len(v.boundary) for v in views]
    hull_count = sum(len(h) for h in hulls)
    print("\n== Kestrim: viewing edges of a silhouette set")
    print(f"views              {shown(views_file)}: {len(views)} views, {sum(sizes)} "
          f"boundary points ({min(sizes)} to {max(sizes)} per view)")
    print(f"hull vertices      {hull_count} (one viewing ray each)")
    print(f"edges              {len(view)}; per view {' '.join(map(str, per_view))}")
    if len(view):
        print(f"edge lengths       min {lengths.min():.3f}, median {np.median(lengths):.3f}, "
              f"max {lengths.max():.3f} mm; {np.sum(lengths < 1e-3)} shorter than 0.001 mm")
    print(f"end points inside  {inside.sum()} of {len(ends)} in every other view's hull "
          f"(worst margin {worst:.1e} px)")
    if len(stone):
        box = stone.max(axis=0) - stone.min(axis=0)
        print(f"distance to points {to_stone.max(initial=0):.1e} mm at most "
              f"({shown(points_file)}: {len(stone)} points, "
              f"{box[0]:.0f} x {box[1]:.0f} x {box[2]:.0f} mm)")
    print(f"time               {ms(took)} (kestrim call)")
    if (len(view) < hull_count / 2 or len(view) > hull_count or np.any(per_view == 0)
            or np.any(np.diff(view) < 0) or not inside.all()
            or not to_stone.max(initial=0) < 0.01):
        raise CheckFailed("kestrim's viewing edges fail their cross-checks")
    return {"near": near, "far": far, "view": view, "hulls": hulls, "time": took}


def default_starts(truth) -> np.ndarray:
    """Three starts turned 4, 3 and 5 degrees off the known pose and shifted
    by as many percent of its translation; the identity without one."""
    if truth is None:
        return np.array([[0, 0, 0, 1, 0, 0, 0.0]])
    axes = np.array([[1, 0, 0], [0, 1, 1], [1, -1, 1]], dtype=float)
    shifts = np.array([[0, 1, 0], [-1, 0, -1], [-1, 2, 0]], dtype=float)
    starts = []
    for degrees, axis, shift in zip([4, 3, 5], axes, shifts):
        half = math.radians(degrees) / 2
        q = qmul(np.concatenate([math.sin(half) * axis / np.linalg.norm(axis),
                                 [math.cos(half)]]), truth[:4])
        t = truth[4:] + degrees / 100 * np.linalg.norm(truth[4:]) * shift / np.linalg.norm(shift)
        starts.append(np.concatenate([q, t]))
    return np.array(starts)


def run_dovanel(views_a, views_b, files, truth, starts) -> dict:
    mfe, tol = 100, 1e-10
    alone = [timed(lambda s=s: silhouette.dovanel(views_a, views_b, s, mfe, tol))
             for s in starts]
    (rms, pose, residuals), took = timed(
        lambda: silhouette.dovanel(views_a, views_b, starts, mfe, tol))
    q = pose[:4] / np.linalg.norm(pose[:4])
    q = q * (1 if q[3] >= 0 else -1)   # q and -q are the same rotation
    unit = np.concatenate([q, pose[4:]])
    print("\n== Dovanel: relative pose of two separately calibrated view sets")
    print(f"set A              {shown(files[0])}: {len(views_a)} views")
    print(f"set B              {shown(files[1])}: {len(views_b)} views")
    print(f"residuals          {len(residuals)} (8 per view pair, "
          f"{len(views_a) * len(views_b)} pairs)")
    if truth is not None:
        print(f"known pose         {shown(files[2])}: a turn of "
              f"{angle_between(truth, np.array([0, 0, 0, 1.0])):.1f} deg, a shift of "
              f"{np.linalg.norm(truth[4:]):.2f} mm")
    for i, (start, ((r, _, _), t)) in enumerate(zip(starts, alone), 1):
        where = (f"{angle_between(start, truth):.1f} deg, "
                 f"{np.linalg.norm(start[4:] - truth[4:]):.2f} mm off" if truth is not None
                 else f"turn {angle_between(start, np.array([0, 0, 0, 1.0])):.1f} deg")
        print(f"start {i:<12} {where}: RMS {r:.1e} px, {ms(t)} when run alone")
    print(f"best RMS           {rms:.1e} px (max_iterations {mfe}, tol {tol:g})")
    text = " ".join(f"{x:.6f}" for x in q) + " | " + " ".join(f"{x:.4f}" for x in pose[4:])
    print(f"recovered pose     [{text}]")
    ok = len(residuals) == 8 * len(views_a) * len(views_b) and rms == min(
        r for (r, _, _), _ in alone)
    if truth is not None:
        rot_error = angle_between(pose, truth)
        trans_error = float(np.linalg.norm(pose[4:] - truth[4:]))
        known = " ".join(f"{x:.6f}" for x in truth[:4]) + " | " + " ".join(
            f"{x:.4f}" for x in truth[4:])
        print(f"known pose         [{known}]")
        print(f"rotation error     {rot_error:.1e} deg")
        print(f"translation error  {trans_error:.1e} mm")
        ok = ok and rms < 1e-3 and rot_error < 1e-3 and trans_error < 1e-3
    print(f"time               {ms(took)} (one dovanel call with the {len(starts)} "
          "start(s))")
    if not ok:
        raise CheckFailed("dovanel's results fail their cross-checks")
    return {"pose": unit, "rms": rms, "time": took}


def draw_figures(outdir, pirolet, views_a, views_b, kestrim, dovanel, stone, truth):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    outdir = pathlib.Path(outdir)
    outdir.mkdir(parents=True, exist_ok=True)
    files = []
    orange, grey = "#d95f02", "0.55"

    # The outline, its hull and the circle of the same mean width.
    fig, ax = plt.subplots(figsize=(7, 6))
    poly, hull, d = pirolet["poly"], pirolet["hull"], pirolet["mean_diam"]
    ax.fill(poly[:, 0], poly[:, 1], color="0.85", label=f"outline, {len(poly)} vertices")
    closed = np.vstack([hull, hull[:1]])
    ax.plot(closed[:, 0], closed[:, 1], "-", color=orange, label="convex hull")
    ax.plot(hull[:, 0], hull[:, 1], "o", mfc="none", color=orange, ms=4,
            label=f"{len(hull)} hull vertices")
    centre = hull.mean(axis=0)
    a = np.linspace(0, 2 * np.pi, 200)
    ax.plot(centre[0] + d / 2 * np.cos(a), centre[1] + d / 2 * np.sin(a), "--", color="k",
            label=f"circle of diameter {d:.2f} mm")
    ax.set_aspect("equal")
    ax.set_xlabel("x (mm)")
    ax.set_ylabel("y (mm)")
    ax.set_title(f"Pirolet: mean caliper diameter {d:.2f} mm")
    ax.legend(loc="upper right", fontsize=8)
    files.append(save(fig, outdir / "pirolet_outline.png", "the outline, its hull and "
                      "the mean caliper diameter"))

    # Set A's silhouettes with their hulls, in pixels (v downward).
    cols = math.ceil(len(views_a) / 2)
    fig, axes = plt.subplots(2, cols, figsize=(3 * cols, 6), squeeze=False)
    for ax in axes.ravel()[len(views_a):]:
        ax.axis("off")
    for k, (view, h, ax) in enumerate(zip(views_a, kestrim["hulls"], axes.ravel()), 1):
        b = view.boundary
        ax.fill(h[:, 0], h[:, 1], color="0.9")
        ax.plot(b[:, 0], b[:, 1], ".", color=grey, ms=2)
        closed = np.vstack([h, h[:1]])
        ax.plot(closed[:, 0], closed[:, 1], "-o", color=orange, ms=3, mfc="none", lw=1)
        ax.set_aspect("equal")
        ax.invert_yaxis()
        ax.set_title(f"view {k}: {len(h)} / {len(b)}", fontsize=9)
        ax.tick_params(labelsize=7)
    fig.suptitle("Set A: silhouettes (pixels) with their convex hulls")
    files.append(save(fig, outdir / "silhouettes_A.png", "set A: the silhouettes and "
                      "their convex hulls"))

    # Set A's cameras, and the viewing edges.
    near, far, view = kestrim["near"], kestrim["far"], kestrim["view"]
    colours = plt.get_cmap("tab10")
    middle = np.vstack([near, far]).mean(axis=0)
    fig = plt.figure(figsize=(13, 6.5))
    for panel in (1, 2):
        ax = fig.add_subplot(1, 2, panel, projection="3d")
        if len(stone):
            ax.plot(*stone.T, ".", color=grey, ms=1)
        for k, v in enumerate(views_a):
            mine = view == k
            # One polyline per view, the edges apart by NaN rows.
            segments = np.full((3 * mine.sum(), 3), np.nan)
            segments[0::3], segments[1::3] = near[mine], far[mine]
            ax.plot(*segments.T, "-", color=colours(k % 10), lw=0.8)
            if panel == 1:
                c, _ = camera_geometry(v.camera, 1)
                c, lines = camera_geometry(v.camera, 0.25 * np.linalg.norm(middle - c))
                for line in lines:
                    ax.plot(*line.T, "-", color=colours(k % 10), lw=0.8)
                ax.plot(*np.array([c, middle]).T, ":", color=colours(k % 10))
                ax.text(*(c + 0.12 * (c - middle)), str(k + 1))
        ax.set_xlabel("x (mm)")
        ax.set_ylabel("y (mm)")
        ax.set_zlabel("z (mm)")
        ax.set_aspect("equal")
        ax.view_init(35, -35 - 90)
        ax.set_title(f"Set A: {len(views_a)} cameras, one colour each" if panel == 1 else
                     f"Kestrim: {len(view)} viewing edges")
    files.append(save(fig, outdir / "kestrim_edges.png", "Kestrim: the viewing edges of "
                      "set A with its cameras"))

    # B's cameras placed into A's frame by the recovered pose.
    pose = dovanel["pose"]
    blue, red = "#0072bd", "#d9331a"
    object_points = stone if len(stone) else np.vstack([near, far])
    centre = object_points.mean(axis=0)
    fig = plt.figure(figsize=(13, 6.5))
    ax3 = fig.add_subplot(1, 2, 1, projection="3d")
    ax2 = fig.add_subplot(1, 2, 2)
    for ax, dims in ((ax3, 3), (ax2, 2)):
        ax.plot(*object_points[:, :dims].T, ".", color=grey, ms=1)
        for v in views_a:
            c, lines = camera_geometry(v.camera, 40)
            for line in lines:
                ax.plot(*line[:, :dims].T, "-", color=blue, lw=0.8)
        placed = []
        known = []
        for v in views_b:
            c, lines = camera_geometry(v.camera, 40)
            for line in lines:
                ax.plot(*transform(pose, line)[:, :dims].T, "-", color=red, lw=0.8)
            placed.append(transform(pose, c[None])[0])
            if truth is not None:
                known.append(transform(truth, c[None])[0])
        placed = np.array(placed)
        ax.plot(*placed[:, :dims].T, "x", color="k", ms=8,
                label="B's centres, recovered pose")
        if known:
            gap = np.max(np.linalg.norm(placed - np.array(known), axis=1))
            ax.plot(*np.array(known)[:, :dims].T, "o", mfc="none", color="k", ms=11,
                    label=f"B's centres, known pose ({gap:.0e} mm away)")
        ax.plot([], [], "-", color=blue, label=f"set A: {len(views_a)} cameras")
        ax.plot([], [], "-", color=red, label=f"set B: {len(views_b)} cameras, placed")
        ax.set_xlabel("x (mm)")
        ax.set_ylabel("y (mm)")
    ax3.set_zlabel("z (mm)")
    ax3.set_aspect("equal")
    ax3.set_title("Dovanel: set B's cameras placed into A's frame")
    ax2.set_aspect("equal")
    ax2.set_title("seen from above")
    ax2.legend(loc="upper left", fontsize=8, bbox_to_anchor=(1.02, 1))
    fig.subplots_adjust(left=0.02, right=0.74, wspace=0.25)
    files.append(save(fig, outdir / "dovanel_pose.png", "Dovanel: set B's cameras placed "
                      "into A's frame"))
    plt.close("all")
    return files


def save(fig, path, what):
    fig.savefig(path, dpi=100)
    print(f"{path}  {what}")
    return path


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("outdir", nargs="?",
                        default=str(HERE.parent / "build" / "demo-python"))
    parser.add_argument("--outline", default=HERE / "stone_outline.txt")
    parser.add_argument("--views-a", default=HERE / "stone_views_A.txt")
    parser.add_argument("--views-b", default=HERE / "stone_views_B.txt")
    parser.add_argument("--points", default=HERE / "stone_points.txt")
    parser.add_argument("--pose", default=HERE / "stone_pose_B_to_A.txt")
    parser.add_argument("--starts", default="")
    args = parser.parse_args(argv)

    total = time.perf_counter()
    views_a = silhouette.load_view_set(args.views_a)
    views_b = silhouette.load_view_set(args.views_b)
    stone = (np.loadtxt(args.points, comments="%", ndmin=2) if str(args.points)
             else np.zeros((0, 3)))
    truth = None
    if str(args.pose):
        truth = np.loadtxt(args.pose, comments="%").ravel()
        if truth.size != 7:
            print(f"stone_demo: {args.pose} must hold 7 numbers: qx qy qz qw tx ty tz",
                  file=sys.stderr)
            return 2
    starts = (np.loadtxt(args.starts, comments="%", ndmin=2) if args.starts
              else default_starts(truth))
    print(f"package            {pathlib.Path(silhouette.__file__).parent}")
    try:
        pirolet = run_pirolet(args.outline)
        kestrim = run_kestrim(views_a, args.views_a, stone, args.points)
        dovanel = run_dovanel(views_a, views_b, (args.views_a, args.views_b, args.pose),
                              truth, starts)
    except CheckFailed as failure:
        print(f"\ndemo: {failure}", file=sys.stderr)
        return 1
    if args.outdir:
        print("\n== Figures")
        began = time.perf_counter()
        draw_figures(args.outdir, pirolet, views_a, views_b, kestrim, dovanel, stone, truth)
        print(f"drawn in {time.perf_counter() - began:.1f} s (Matplotlib, Agg)")
    print(f"\ndemo: all cross-checks passed ({time.perf_counter() - total:.1f} s in all)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
