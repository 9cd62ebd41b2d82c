"""pip install --no-build-isolation of the source tree into a fresh virtual
environment (with the system's site packages: NumPy, pybind11, setuptools),
offline, and the installed package used from elsewhere."""

from __future__ import annotations

import os
import shutil
import subprocess
import sys
import textwrap

import pytest

from conftest import EXAMPLES, ROOT


def source_copy(target):
    """The source tree without build folders, version control or caches."""
    def ignore(folder, names):
        return [n for n in names if n.startswith(("build", ".git")) or
                n in ("__pycache__", ".pytest_cache") or n.endswith(".egg-info")]
    shutil.copytree(ROOT, target, ignore=ignore)


def test_pip_installs_offline_into_a_virtual_environment(tmp_path):
    if sys.prefix != sys.base_prefix:
        pytest.skip("runs from the system's interpreter, not a virtual environment")
    source = tmp_path / "source"
    source_copy(source)
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", str(venv)],
                   check=True)
    python = venv / "bin" / "python"
    env = dict(os.environ, CMAKE_BUILD_PARALLEL_LEVEL=os.environ.get(
        "CMAKE_BUILD_PARALLEL_LEVEL", "2"), PIP_NO_INDEX="1")
    env.pop("PYTHONPATH", None)
    env.pop("SILHOUETTE_PYTHON_DIR", None)
    install = subprocess.run([str(python), "-m", "pip", "install", "--no-build-isolation",
                              "--no-index", str(source)],
                             capture_output=True, text=True, env=env, timeout=1500)
    assert install.returncode == 0, install.stdout[-3000:] + install.stderr[-3000:]

    check = textwrap.dedent(f"""
        import pathlib, numpy as np, silhouette
        here = pathlib.Path(silhouette.__file__).parent
        assert here.is_relative_to({str(venv)!r}), here
        assert (here / "_core.pyi").exists() and (here / "py.typed").exists()
        d, hull = silhouette.pirolet([[0, 0], [1, 0], [1, 1], [0, 1]])
        assert d == 4 / np.pi and hull.shape == (4, 2)
        a = silhouette.load_view_set({str(EXAMPLES / "stone_views_A.txt")!r})
        near, far, view = silhouette.kestrim(a)
        print(len(view))
    """)
    run = subprocess.run([str(python), "-c", check], capture_output=True, text=True,
                         env=env, cwd=tmp_path, timeout=120)
    assert run.returncode == 0, run.stderr
    assert int(run.stdout) > 0
