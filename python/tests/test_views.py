"""Camera, View and load_view_set."""

from __future__ import annotations

import pickle

import numpy as np
import pytest

import silhouette
from conftest import EXAMPLES


def test_camera_keeps_a_float64_copy_of_its_pose_and_floats():
    pose = np.arange(16).reshape(4, 4)
    cam = silhouette.Camera(np.float32(1500), 641, np.array([[483.5]]), 0, pose)
    assert (cam.efl, cam.u0, cam.v0, cam.kappa1) == (1500.0, 641.0, 483.5, 0.0)
    assert all(type(x) is float for x in (cam.efl, cam.u0, cam.v0, cam.kappa1))
    assert cam.pose.dtype == np.float64 and cam.pose.tolist() == pose.tolist()
    pose[0, 0] = 99
    assert cam.pose[0, 0] == 0
    assert silhouette.Camera(1, 2, 3).pose.tolist() == np.eye(4).tolist()


def test_view_refers_to_a_float64_boundary_and_converts_others_once():
    boundary = np.array([[1.0, 2.0], [3.0, 4.0]])
    view = silhouette.View({"efl": 1, "u0": 2, "v0": 3, "kappa1": 0,
                            "pose": np.eye(4)}, boundary)
    assert view.boundary is boundary
    assert isinstance(view.camera, silhouette.Camera)
    ints = silhouette.View(view.camera, [[1, 2], [3, 4]])
    assert ints.boundary.dtype == np.float64 and ints.boundary.tolist() == boundary.tolist()
    with pytest.raises(ValueError):
        view.boundary = [[1, 2, 3]]
    assert view.boundary is boundary   # a refused value changes nothing


def test_views_survive_pickling_with_the_same_results(stone_sets):
    views = stone_sets[0]
    copies = pickle.loads(pickle.dumps(views))
    assert repr(copies[0]) == repr(views[0])
    for a, b in zip(silhouette.kestrim(views), silhouette.kestrim(copies)):
        assert a.tobytes() == b.tobytes()


def test_load_view_set_reads_the_example_files(stone_sets):
    a, b = stone_sets
    assert len(a) == 7 and len(b) == 6
    first = a[0]
    # The file's first view, as written in stone_views_A.txt.
    assert (first.camera.efl, first.camera.u0, first.camera.v0) == (1500.0, 641.92, 483.0)
    assert first.camera.pose[0].tolist() == [-0.177839912772, 0.984059431856, 0.0,
                                             7.599775674]
    assert first.camera.pose[3].tolist() == [0, 0, 0, 1]
    assert first.boundary[0].tolist() == [527.580610, 478.317583]
    assert first.boundary.shape == (228, 2)


@pytest.mark.parametrize("text, message", [
    ("2 % two views\n1 2 3 0\n" + "1 0 0 0 " * 4 + "1\n5 6\n", "ends early (need 4 more "
     "numbers after number 24)"),
    ("1\n1 2 3 0\n" + "1 0 0 0 " * 4 + "1 5 6\n7", "has 1 numbers after its last view"),
    ("1\n1 2 3 0\n" + "1 0 0 0 " * 4 + "1 5 six", "holds 'six' (word 24), which is "
     "not a number"),
    ("1.5", "the number of views is 1.5, not a whole number of 0 or more"),
    ("-1", "the number of views is -1, not a whole number of 0 or more"),
    ("1\n1 2 3 0\n" + "1 0 0 0 " * 4 + "0", "the number of boundary points of view "
     "1 is 0, not a whole number of 1 or more"),
    ("inf", "the number of views is inf, not a whole number of 0 or more"),
])
def test_load_view_set_refuses_malformed_files(tmp_path, text, message):
    path = tmp_path / "set.txt"
    path.write_text(text)
    with pytest.raises(ValueError) as raised:
        silhouette.load_view_set(path)
    assert str(raised.value).startswith(f"load_view_set: {path}")
    assert str(raised.value).endswith(message)


def test_load_view_set_skips_comments_and_reads_an_empty_set(tmp_path):
    path = tmp_path / "set.txt"
    path.write_text("% nothing here\n0 % no views\n")
    assert silhouette.load_view_set(path) == []
    path.write_text("1 %views\n 2 3 4 0 % cam\n" + "1 0 0 0\n" * 4 + "2 % two\n"
                    "1.5e1 -2 %p1\n3 4\n")
    (view,) = silhouette.load_view_set(str(path))
    assert view.boundary.tolist() == [[15.0, -2.0], [3.0, 4.0]]
    assert view.camera.pose.tolist() == [[1, 0, 0, 0]] * 4
