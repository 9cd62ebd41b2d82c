"""Shared set-up of the package's tests.

The package is imported from SILHOUETTE_PYTHON_DIR (set by ctest), or else
from build/python of this source tree, or else as installed.
"""

from __future__ import annotations

import os
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = ROOT / "examples"

_package_dir = os.environ.get("SILHOUETTE_PYTHON_DIR", str(ROOT / "build" / "python"))
if pathlib.Path(_package_dir, "silhouette").is_dir():
    sys.path.insert(0, _package_dir)
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))


@pytest.fixture(scope="session")
def stone_sets():
    import silhouette
    return (silhouette.load_view_set(EXAMPLES / "stone_views_A.txt"),
            silhouette.load_view_set(EXAMPLES / "stone_views_B.txt"))


@pytest.fixture(scope="session")
def stone_starts():
    """Three starts 15 to 25 degrees about z, shifted by about (30, -20, 10)."""
    import numpy as np
    half = np.radians([15.0, 20.0, 25.0]) / 2
    return np.array([[0, 0, np.sin(h), np.cos(h), 30, -20, 10] for h in half])
