# The extension module under the package; silhouette's functions check and
# convert the arguments into the forms declared here.
import numpy as np
from numpy.typing import NDArray

class OutOfMemoryError(RuntimeError, MemoryError): ...

# A view as the extension reads it: efl, u0, v0, kappa1, pose (4, 4) and
# boundary (N, 2), both float64.
_ViewTuple = tuple[float, float, float, float, NDArray[np.float64],
                   NDArray[np.float64]]

def pirolet(points: NDArray[np.float64]) -> tuple[float, NDArray[np.float64]]: ...
def kestrim(views: list[_ViewTuple]) -> tuple[
    NDArray[np.float64], NDArray[np.float64], NDArray[np.int64]]: ...
def dovanel(views_a: list[_ViewTuple], views_b: list[_ViewTuple],
            starts: NDArray[np.float64], mfe: float, tol: float,
            threads: int) -> tuple[float, NDArray[np.float64],
                                   NDArray[np.float64]]: ...
def best_index(rms_values: list[float]) -> int: ...
