"""Test scenes: random convex objects seen by calibrated cameras, with exact
silhouettes, in one world frame or in two related by a known transform."""

from __future__ import annotations

import numpy as np

import silhouette


def random_object(rng: np.random.Generator, count: int = 40) -> np.ndarray:
    """(count, 3) points on an ellipsoid of half-axes (1, 0.7, 0.5)."""
    directions = rng.normal(size=(count, 3))
    directions /= np.linalg.norm(directions, axis=1, keepdims=True)
    return directions * [1.0, 0.7, 0.5]


def look_at(centre: np.ndarray) -> np.ndarray:
    """The 4 x 4 pose of a camera at centre looking at the origin, z up."""
    z = -centre / np.linalg.norm(centre)
    x = np.cross(z, [0.0, 0.0, 1.0])
    x /= np.linalg.norm(x)
    rotation = np.array([x, np.cross(z, x), z])
    pose = np.eye(4)
    pose[:3, :3] = rotation
    pose[:3, 3] = -rotation @ centre
    return pose


def project(pose: np.ndarray, points: np.ndarray, efl=800.0, u0=320.0,
            v0=240.0) -> np.ndarray:
    """(M, 2) pixels of (M, 3) world points."""
    p = points @ pose[:3, :3].T + pose[:3, 3]
    return efl * p[:, :2] / p[:, 2:] + [u0, v0]


def random_centres(rng: np.random.Generator, count: int,
                   distance: float = 6.0) -> np.ndarray:
    """Camera centres at `distance` around the origin, at most 60 degrees
    above or below its horizon (so that the z axis stays a usable up)."""
    azimuth = rng.uniform(0, 2 * np.pi, count)
    elevation = rng.uniform(-np.pi / 3, np.pi / 3, count)
    return distance * np.stack([np.cos(elevation) * np.cos(azimuth),
                                np.cos(elevation) * np.sin(azimuth),
                                np.sin(elevation)], axis=1)


def views_of(points: np.ndarray, poses: list[np.ndarray],
             to_world: np.ndarray | None = None) -> list[silhouette.View]:
    """Views of the points (world frame) by cameras of the given poses; with
    to_world (4 x 4), each camera's pose is given in the frame whose
    coordinates to_world carries into the world's, and kept so."""
    views = []
    for pose in poses:
        own = pose if to_world is None else pose @ to_world
        views.append(silhouette.View(silhouette.Camera(800, 320, 240, 0, own),
                                     project(pose, points)))
    return views


def random_set(rng: np.random.Generator, count: int,
               vertices: int = 40) -> tuple[list[silhouette.View], np.ndarray]:
    """A set of `count` views of a random object, and the object."""
    points = random_object(rng, vertices)
    poses = [look_at(c) for c in random_centres(rng, count)]
    return views_of(points, poses), points


def quaternion_matrix(q: np.ndarray) -> np.ndarray:
    x, y, z, w = q / np.linalg.norm(q)
    return np.array([
        [1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
        [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
        [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)]])


def random_pair(rng: np.random.Generator, count_a: int, count_b: int,
                vertices: int = 40):
    """Two sets of one random object, B's frame related to A's by a random
    transform T (X_A = T X_B). Returns (views_a, views_b, true pose (7,))."""
    points = random_object(rng, vertices)
    axis = rng.normal(size=3)
    axis /= np.linalg.norm(axis)
    half = np.radians(rng.uniform(10, 30)) / 2
    pose = np.concatenate([np.sin(half) * axis, [np.cos(half)],
                           rng.uniform(-0.5, 0.5, 3)])
    transform = np.eye(4)
    transform[:3, :3] = quaternion_matrix(pose[:4])
    transform[:3, 3] = pose[4:]
    poses = [look_at(c) for c in random_centres(rng, count_a + count_b)]
    views_a = views_of(points, poses[:count_a])
    views_b = views_of(points, poses[count_a:], to_world=transform)
    return views_a, views_b, pose


def perturbed(rng: np.random.Generator, pose: np.ndarray, degrees: float,
              fraction: float) -> np.ndarray:
    """pose turned by `degrees` about a random axis and its translation moved
    by `fraction` of its length in a random direction."""
    axis = rng.normal(size=3)
    axis /= np.linalg.norm(axis)
    half = np.radians(degrees) / 2
    dq = np.concatenate([np.sin(half) * axis, [np.cos(half)]])
    x1, y1, z1, w1 = dq
    x2, y2, z2, w2 = pose[:4]
    q = np.array([w1 * x2 + x1 * w2 + y1 * z2 - z1 * y2,
                  w1 * y2 - x1 * z2 + y1 * w2 + z1 * x2,
                  w1 * z2 + x1 * y2 - y1 * x2 + z1 * w2,
                  w1 * w2 - x1 * x2 - y1 * y2 - z1 * z2])
    shift = rng.normal(size=3)
    shift *= fraction * np.linalg.norm(pose[4:]) / np.linalg.norm(shift)
    return np.concatenate([q, pose[4:] + shift])


def rotation_angle(pose_a: np.ndarray, pose_b: np.ndarray) -> float:
    """Angle in degrees between the rotations of two poses."""
    qa = pose_a[:4] / np.linalg.norm(pose_a[:4])
    qb = pose_b[:4] / np.linalg.norm(pose_b[:4])
    return float(np.degrees(2 * np.arccos(min(1.0, abs(qa @ qb)))))
