"""The package's numbers against the Octave modules', bit for bit.

The Octave side runs at test time (octave_reference.m in octave-cli, with
the modules of SILHOUETTE_OCTAVE_MODULES, else build/octave), on the
example data and on random sets written in hex, so that the comparison
follows every change of the core. Without Octave or its modules the tests
are skipped, unless SILHOUETTE_OCTAVE_MODULES is set (as ctest does), when
they fail.

GSL's solver calls CBLAS; the modules and this package link the same
static GSL and CBLAS, so Dovanel's answers are identical too.
"""

from __future__ import annotations

import os
import pathlib
import shutil
import subprocess

import numpy as np
import pytest

import silhouette
from conftest import EXAMPLES, ROOT
from scenes import look_at, perturbed, project, random_object, random_pair, random_set

HERE = pathlib.Path(__file__).resolve().parent
MODULES = pathlib.Path(os.environ.get("SILHOUETTE_OCTAVE_MODULES",
                                      ROOT / "build" / "octave"))
OCTAVE = os.environ.get("SILHOUETTE_OCTAVE") or shutil.which("octave-cli")
REQUIRED = "SILHOUETTE_OCTAVE_MODULES" in os.environ


def set_numbers(views) -> list[float]:
    out = [len(views)]
    for v in views:
        c = v.camera
        out += [c.efl, c.u0, c.v0, c.kappa1, *c.pose.ravel(), len(v.boundary),
                *v.boundary.ravel()]
    return out


def as_dicts(views) -> list[dict]:
    return [{"camera": {"efl": v.camera.efl, "u0": v.camera.u0, "v0": v.camera.v0,
                        "kappa1": v.camera.kappa1, "pose": v.camera.pose},
             "boundary": v.boundary} for v in views]


def with_camera(views, index, **fields):
    out = as_dicts(views)
    out[index]["camera"].update(fields)
    return [silhouette.View(d["camera"], d["boundary"]) for d in out]


def clouds():
    rng = np.random.default_rng(100)
    r, a = np.sqrt(rng.random(1000)), rng.uniform(0, 2 * np.pi, 1000)
    circle = rng.permutation(2000) * 2 * np.pi / 2000
    yield "stone_outline", np.loadtxt(EXAMPLES / "stone_outline.txt", comments="%")
    yield "disc", np.column_stack([r * np.cos(a), r * np.sin(a)])
    yield "gaussian", rng.normal(size=(5000, 2)) * [300, 2] + [7e4, -3]
    yield "circle", np.column_stack([np.cos(circle), np.sin(circle)])
    yield "grid", rng.integers(-50, 50, size=(100_000, 2)).astype(float)
    yield "triangle", np.array([[0.1, 0.2], [5.3, -1.0], [2.0, 7.7]])
    yield "one_point", 3 + rng.uniform(-4e-4, 4e-4, size=(50, 2))
    yield "segment", np.outer(rng.random(30), [3.0, -4.0]) + [1, 2]
    yield "overflow", np.array([[-1e308, 0], [1e308, 0], [0, 1e308]])


def view_sets(stone_a, stone_b):
    rng = np.random.default_rng(200)
    yield "stone_A", stone_a
    yield "stone_B", stone_b
    for count in (2, 3, 6, 10):
        yield f"random_{count}", random_set(rng, count)[0]
    yield "one_view", stone_a[:1]
    yield "empty", []
    # Two cameras 2 degrees apart: rays that stay inside the other's
    # silhouette cone end at infinity (far ends of Inf and NaN).
    points = random_object(rng)
    near = [look_at(6 * np.array([np.cos(t), np.sin(t), 0.3]))
            for t in np.radians([0, 2])]
    yield "close_pair", [silhouette.View(silhouette.Camera(800, 320, 240, 0, p),
                                         project(p, points)) for p in near]
    yield "nan_efl", with_camera(stone_a, 3, efl=np.nan)
    yield "distorted", with_camera(stone_a, 2, kappa1=1e-7)
    bad = as_dicts(stone_a)
    bad[1]["boundary"] = bad[1]["boundary"].copy()
    bad[1]["boundary"][5, 0] = np.inf
    yield "inf_boundary", [silhouette.View(d["camera"], d["boundary"]) for d in bad]


def pose_problems(stone_a, stone_b, stone_starts):
    rng = np.random.default_rng(300)
    yield "stone", stone_a, stone_b, stone_starts, 100, 1e-10
    for k, (na, nb) in enumerate([(2, 2), (3, 2), (1, 3), (4, 4)]):
        a, b, truth = random_pair(rng, na, nb)
        starts = [perturbed(rng, truth, d, f) for d, f in [(4, 0.05), (30, 0.4)]]
        yield f"random_{k}", a, b, np.array(starts), 100, 1e-12
        yield f"random_{k}_nan_first", a, b, np.vstack([np.full(7, np.nan), starts]), 50, 0
        yield f"random_{k}_mfe", a, b, np.array(starts), 2.5, 1e-10
    yield "no_starts", stone_a[:3], stone_b[:2], np.empty((0, 7)), 100, 1e-10
    yield "distorted", stone_a, with_camera(stone_b, 0, kappa1=1e-9), stone_starts, 100, 1e-10


def build_cases():
    stone_a = silhouette.load_view_set(EXAMPLES / "stone_views_A.txt")
    stone_b = silhouette.load_view_set(EXAMPLES / "stone_views_B.txt")
    half = np.radians([15.0, 20.0, 25.0]) / 2
    stone_starts = np.array([[0, 0, np.sin(h), np.cos(h), 30, -20, 10] for h in half])
    cases = {}
    for name, points in clouds():
        cases[f"pirolet_{name}"] = ([len(points), *points.ravel()],
                                    lambda p=points: silhouette.pirolet(p))
    for name, views in view_sets(stone_a, stone_b):
        cases[f"kestrim_{name}"] = (set_numbers(views),
                                    lambda v=views: silhouette.kestrim(v))
    for name, a, b, starts, mfe, tol in pose_problems(stone_a, stone_b, stone_starts):
        cases[f"dovanel_{name}"] = (
            set_numbers(a) + set_numbers(b) + [len(starts), *starts.ravel(), mfe, tol],
            lambda a=a, b=b, s=starts, m=mfe, t=tol: silhouette.dovanel(a, b, s, m, t))
    return cases


CASES = build_cases()
SET_FILES = [EXAMPLES / "stone_views_A.txt", EXAMPLES / "stone_views_B.txt"]


def hex_words(values) -> str:
    return "\n".join(f"{w:016x}" for w in
                     np.asarray(values, dtype=np.float64).view(np.uint64)) + "\n"


@pytest.fixture(scope="module")
def octave_answers(tmp_path_factory):
    if OCTAVE is None or not (MODULES / "Pirolet.mex").exists():
        message = f"no octave-cli, or no modules in {MODULES}"
        if REQUIRED:
            pytest.fail(message)
        pytest.skip(message)
    folder = tmp_path_factory.mktemp("octave")
    for name, (numbers, _) in CASES.items():
        (folder / f"{name}.in").write_text(hex_words(numbers))
    (folder / "read.lst").write_text("\n".join(map(str, SET_FILES)) + "\n")
    run = subprocess.run(
        [OCTAVE, "--no-gui", "--no-window-system", "--quiet", "--norc", "--no-history",
         "--path", str(MODULES), "--path", str(HERE), "--path", str(EXAMPLES),
         "--eval", f"octave_reference ('{folder}')"],
        capture_output=True, text=True, timeout=600)
    assert run.returncode == 0, run.stdout + run.stderr

    def answer(stem):
        text = (folder / f"{stem}.out").read_text()
        if text.startswith("ERROR "):
            return text[6:].rstrip("\n")
        return np.array([int(w, 16) for w in text.split()], dtype=np.uint64).view(np.float64)
    return answer


def python_answer(name, call):
    try:
        result = call()
    except (TypeError, ValueError, RuntimeError) as error:
        return str(error)
    if name.startswith("pirolet"):
        d, hull = result
        return np.concatenate([[d, len(hull)], hull.ravel()])
    if name.startswith("kestrim"):
        near, far, view = result
        return np.concatenate([[len(view)], near.ravel(), far.ravel(), view + 1.0])
    rms, pose, residuals = result
    return np.concatenate([[rms], pose, [len(residuals)], residuals])


def differences(expected: np.ndarray, got: np.ndarray) -> str:
    """Where two answers of equal length differ: positions, values, ulps."""
    diff = np.flatnonzero(expected.view(np.uint64) != got.view(np.uint64))
    ulps = np.abs(expected[diff].view(np.int64) - got[diff].view(np.int64))
    rows = [f"  [{i}] {e!r} vs {g!r} ({u} ulp)" for i, e, g, u in
            zip(diff[:12], expected[diff], got[diff], ulps)]
    return f"{len(diff)} of {len(expected)} numbers differ:\n" + "\n".join(rows)


@pytest.mark.parametrize("name", sorted(CASES))
def test_same_answer_as_the_octave_module(name, octave_answers):
    expected = octave_answers(name)
    got = python_answer(name, CASES[name][1])
    if isinstance(expected, str) or isinstance(got, str):
        assert got == expected
        return
    assert len(got) == len(expected), (len(got), len(expected))
    assert got.tobytes() == expected.tobytes(), differences(expected, got)


@pytest.mark.parametrize("index", range(len(SET_FILES)))
def test_load_view_set_reads_what_octave_reads(index, octave_answers):
    expected = octave_answers(f"read_{index + 1}")
    got = np.asarray(set_numbers(silhouette.load_view_set(SET_FILES[index])),
                     dtype=np.float64)
    assert got.tobytes() == expected.tobytes()
