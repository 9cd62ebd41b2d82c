"""Argument conversion shared by the package's functions.

Every function here either returns its argument in the one form the
extension takes, converting it at most once, or raises TypeError (a value
of the wrong kind) or ValueError (the right kind, the wrong shape or size)
with the message it is given.
"""

from __future__ import annotations

import numbers
from typing import Any

import numpy as np

# Integers and floats; booleans, complex numbers, strings and objects are
# refused.
_REAL_KINDS = "iuf"


def real_array(value: Any, message: str) -> np.ndarray:
    """value as a NumPy array of integers or floats, not copied if it is one."""
    try:
        array = np.asarray(value)
    except (TypeError, ValueError):  # ragged nested sequences, among others
        raise ValueError(message) from None
    if array.dtype.kind not in _REAL_KINDS:
        raise TypeError(message)
    return array


def float64_rows(array: np.ndarray) -> np.ndarray:
    """array as aligned, C-contiguous float64 in the machine's byte order.

    An array that is already so is returned as it is; any other is copied
    once.
    """
    flags = array.flags
    if array.dtype == np.float64 and flags.c_contiguous and flags.aligned:
        return array
    return np.require(array, dtype=np.float64, requirements=("C", "A"))


def real_number(value: Any, message: str) -> float:
    """value, an int or float (NumPy's too, not bool), as a float."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(message)
    try:
        return float(value)
    except OverflowError:  # an int beyond the range of a double
        raise ValueError(message) from None


def real_scalar(value: Any, message: str) -> float:
    """value, a real number or a real array of exactly one element, as a float.

    Arrays of one element take the scalars of structs read from MATLAB
    files, which come as 1 x 1 matrices.
    """
    if isinstance(value, numbers.Real) and not isinstance(value, (bool, np.bool_)):
        return real_number(value, message)
    array = real_array(value, message)
    if array.size != 1:
        raise ValueError(message)
    return float(array.reshape(-1)[0])
