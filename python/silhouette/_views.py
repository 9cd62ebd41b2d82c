"""Cameras, views and the lists of views the computations take."""

from __future__ import annotations

from collections.abc import Iterable, Mapping
from typing import Any, Union

import numpy as np
from numpy.typing import ArrayLike, NDArray

from ._arrays import real_array, real_scalar

_NOT_A_VIEW_SET = "viewVec is not a struct array with fields camera and boundary."
_INTERNAL_FIELDS = ("efl", "u0", "v0", "kappa1")


def _scalar_field(value: Any, name: str) -> float:
    return real_scalar(value, f"{name} in camera is not a real double.")


def _pose_matrix(value: Any) -> NDArray[np.float64]:
    message = "pose in camera is not a real double 4 x 4 matrix."
    pose = real_array(value, message)
    if pose.shape != (4, 4):
        raise ValueError(message)
    return np.array(pose, dtype=np.float64)


def _boundary_array(value: Any, message: str) -> NDArray[np.float64]:
    boundary = real_array(value, message)
    if boundary.ndim != 2 or boundary.shape[1] != 2 or boundary.shape[0] < 1:
        raise ValueError(message)
    return np.asarray(boundary, dtype=np.float64)


class Camera:
    """A calibrated pinhole camera.

    Camera(efl, u0, v0, kappa1=0.0, pose=np.eye(4))

    efl         focal length, pixels
    u0, v0      principal point, pixels
    kappa1      radial distortion coefficient; the computations need 0
                (they raise RuntimeError "Cannot form matrix K with nonzero
                kappa1" otherwise)
    pose        4 x 4 world-to-camera transform [[R, t], [0, 0, 0, 1]]:
                camera coordinates = pose @ (X, Y, Z, 1); camera point
                (x, y, z) is seen at pixel (u0 + efl x/z, v0 + efl y/z).
                Default: the identity (the camera at the world origin,
                looking along +z). Kept as a float64 copy.

    Each parameter is an int or float (a real array of one element is taken
    too); anything else raises TypeError, an array of another size
    ValueError, with the texts of the modules' reader ("efl in camera is not
    a real double.", "pose in camera is not a real double 4 x 4 matrix.").
    NaN and infinite values are accepted, with the results the modules give
    for them.

    >>> import numpy as np, silhouette
    >>> cam = silhouette.Camera(800, 320, 240)
    >>> cam.efl, cam.kappa1, cam.pose.shape
    (800.0, 0.0, (4, 4))
    """

    __slots__ = ("_efl", "_u0", "_v0", "_kappa1", "_pose")

    def __init__(self, efl: float, u0: float, v0: float, kappa1: float = 0.0,
                 pose: ArrayLike | None = None) -> None:
        self.efl = efl
        self.u0 = u0
        self.v0 = v0
        self.kappa1 = kappa1
        self.pose = np.eye(4) if pose is None else pose

    @property
    def efl(self) -> float:
        """Focal length, pixels."""
        return self._efl

    @efl.setter
    def efl(self, value: float) -> None:
        self._efl = _scalar_field(value, "efl")

    @property
    def u0(self) -> float:
        """Principal point, horizontal pixel coordinate."""
        return self._u0

    @u0.setter
    def u0(self, value: float) -> None:
        self._u0 = _scalar_field(value, "u0")

    @property
    def v0(self) -> float:
        """Principal point, vertical pixel coordinate."""
        return self._v0

    @v0.setter
    def v0(self, value: float) -> None:
        self._v0 = _scalar_field(value, "v0")

    @property
    def kappa1(self) -> float:
        """Radial distortion coefficient (0 for the computations)."""
        return self._kappa1

    @kappa1.setter
    def kappa1(self, value: float) -> None:
        self._kappa1 = _scalar_field(value, "kappa1")

    @property
    def pose(self) -> NDArray[np.float64]:
        """The 4 x 4 world-to-camera transform, float64."""
        return self._pose

    @pose.setter
    def pose(self, value: ArrayLike) -> None:
        self._pose = _pose_matrix(value)

    @classmethod
    def from_fields(cls, fields: Any) -> "Camera":
        """A Camera from a Camera, or from a mapping with MATLAB's fields.

        The mapping needs the keys efl, u0, v0, kappa1 and pose; a missing
        one raises ValueError ("missing internal parameter field in
        mxArray.", "missing pose parameter field in mxArray."), anything but
        a Camera or a mapping TypeError ("camera is not a struct.").
        """
        if isinstance(fields, Camera):
            return fields
        if not isinstance(fields, Mapping):
            raise TypeError("camera is not a struct.")
        if any(name not in fields for name in _INTERNAL_FIELDS):
            raise ValueError("missing internal parameter field in mxArray.")
        if "pose" not in fields:
            raise ValueError("missing pose parameter field in mxArray.")
        return cls(fields["efl"], fields["u0"], fields["v0"], fields["kappa1"],
                   fields["pose"])

    def __repr__(self) -> str:
        pose = np.array2string(self._pose, separator=", ").replace("\n", "")
        return (f"Camera(efl={self._efl!r}, u0={self._u0!r}, v0={self._v0!r}, "
                f"kappa1={self._kappa1!r}, pose=np.array({pose}))")


class View:
    """One calibrated silhouette: a camera and the outline it sees.

    View(camera, boundary)

    camera      a Camera, or a mapping with MATLAB's fields (efl, u0, v0,
                kappa1, pose), turned into a Camera
    boundary    (N, 2) array-like, N >= 1: the outline's points in image
                pixels, row i = (u, v) of point i, in any order; only their
                convex hull (tolerance 0.001 pixel) is used. Kept as a
                float64 array: an array that already is one is referred to,
                not copied, anything else is converted once.

    A boundary that is not a real array raises TypeError, one of another
    shape ValueError ("boundary is not a real double matrix of 2 columns and
    at least 1 row."). Coordinates that are not finite are refused by the
    computations, which name the view ("boundary of view 2 has a coordinate
    that is not finite.").

    >>> import silhouette
    >>> view = silhouette.View(silhouette.Camera(800, 320, 240),
    ...                        [[300, 200], [340, 200], [320, 260]])
    >>> view.boundary.shape
    (3, 2)
    """

    __slots__ = ("_camera", "_boundary")

    def __init__(self, camera: Union[Camera, Mapping[str, Any]],
                 boundary: ArrayLike) -> None:
        self.camera = camera
        self.boundary = boundary

    @property
    def camera(self) -> Camera:
        """The view's camera."""
        return self._camera

    @camera.setter
    def camera(self, value: Union[Camera, Mapping[str, Any]]) -> None:
        self._camera = Camera.from_fields(value)

    @property
    def boundary(self) -> NDArray[np.float64]:
        """The outline, (N, 2) float64, pixels."""
        return self._boundary

    @boundary.setter
    def boundary(self, value: ArrayLike) -> None:
        self._boundary = _boundary_array(
            value,
            "boundary is not a real double matrix of 2 columns and at least 1 row.")

    def __repr__(self) -> str:
        return f"View(camera={self._camera!r}, boundary=<{len(self._boundary)} x 2>)"


ViewLike = Union[View, Mapping[str, Any]]


def view_list(views: Iterable[ViewLike]) -> list[tuple]:
    """The views as the extension takes them: (efl, u0, v0, kappa1, pose, boundary).

    views is a sequence (any iterable but a string, a mapping or a single
    view) of View objects and mappings with the keys camera and boundary.
    A mapping's boundary is checked before its camera, and messages name the
    view by its one-based number, as the modules' reader does.
    """
    if isinstance(views, (View, Camera, Mapping, str, bytes)) or not isinstance(
            views, Iterable):
        raise TypeError(_NOT_A_VIEW_SET)
    out = []
    for i, item in enumerate(views):
        if isinstance(item, View):
            camera, boundary = item.camera, item.boundary
        elif isinstance(item, Mapping):
            if "boundary" not in item:
                raise ValueError("missing boundary field in viewVec from Matlab.")
            boundary = _boundary_array(
                item["boundary"],
                f"boundary of view {i + 1} is not a real double matrix of 2 "
                "columns and at least 1 row.")
            if "camera" not in item:
                raise ValueError("missing camera field in viewVec from Matlab.")
            camera = Camera.from_fields(item["camera"])
        else:
            raise TypeError(_NOT_A_VIEW_SET)
        out.append((camera.efl, camera.u0, camera.v0, camera.kappa1,
                    _aligned(camera.pose), _aligned(boundary)))
    return out


def _aligned(array: NDArray[np.float64]) -> NDArray[np.float64]:
    """array, or an aligned copy of it: NumPy's buffers may be unaligned (as
    arrays unpickled from a message can be), which the extension refuses."""
    return array if array.flags.aligned else np.require(array, requirements="A")


