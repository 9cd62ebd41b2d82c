"""setuptools' side of pyproject.toml: the extension module silhouette._core
is built by this project's CMake (target silhouette_python) and copied into
the package. Everything else is declared in pyproject.toml.

CMake runs in build/pip/ (setuptools' build folder), configured for the
interpreter that runs the build, without tests, benchmarks or host modules.
CMAKE_BUILD_PARALLEL_LEVEL sets its number of jobs (default: the cores).
"""

import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = pathlib.Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
            "-DSILHOUETTE_BUILD_TESTS=OFF", "-DSILHOUETTE_BUILD_BENCHMARKS=OFF",
            "-DSILHOUETTE_BUILD_OCTAVE=OFF", "-DSILHOUETTE_BUILD_MATLAB=OFF",
            f"-DPython3_EXECUTABLE={sys.executable}",
        ]
        try:
            import pybind11
            configure.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass   # CMake looks for pybind11's package itself
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target",
                        "silhouette_python", "-j", jobs], check=True)
        built = sorted((build_dir / "python" / "silhouette").glob("_core*.so"))
        if not built:
            raise RuntimeError(f"CMake built no extension module in {build_dir}")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], target)


setup(
    ext_modules=[Extension("silhouette._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": str(pathlib.Path("build", "pip"))}},
)
