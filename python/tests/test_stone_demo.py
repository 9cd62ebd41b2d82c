"""examples/stone_demo.py runs, passes its cross-checks and draws its figures."""

from __future__ import annotations

import os
import subprocess
import sys

from conftest import ROOT

FIGURES = ["pirolet_outline.png", "silhouettes_A.png", "kestrim_edges.png",
           "dovanel_pose.png"]


def run_demo(*args):
    return subprocess.run(
        [sys.executable, str(ROOT / "examples" / "stone_demo.py"), *args],
        capture_output=True, text=True, timeout=600,
        env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), MPLBACKEND="Agg"))


def test_demo_on_the_shipped_data_draws_every_figure(tmp_path):
    run = run_demo(str(tmp_path / "figures"))
    assert run.returncode == 0, run.stdout + run.stderr
    assert "demo: all cross-checks passed" in run.stdout
    assert "rotation error" in run.stdout
    for name in FIGURES:
        with open(tmp_path / "figures" / name, "rb") as png:
            assert png.read(8) == b"\x89PNG\r\n\x1a\n", name


def test_demo_without_points_or_known_pose_and_without_figures(tmp_path):
    starts = tmp_path / "starts.txt"
    starts.write_text("% one start\n0 0 0.17 0.98 30 -20 10\n")
    run = run_demo("", "--points", "", "--pose", "", "--starts", str(starts))
    assert run.returncode == 0, run.stdout + run.stderr
    assert "known pose" not in run.stdout and "== Figures" not in run.stdout


def test_demo_fails_when_a_cross_check_fails(tmp_path):
    # The shipped points with a known pose that is off: Dovanel's pose from
    # starts near the false pose cannot reach it.
    pose = tmp_path / "pose.txt"
    pose.write_text("0 0 0.5 0.866 30 -20 10\n")
    run = run_demo("", "--pose", str(pose))
    assert run.returncode == 1
    assert "demo: dovanel's results fail their cross-checks" in run.stderr
