"""Silhouette geometry for multi-view photographs, over the C++ core.

The computations of the Octave and MATLAB modules, with NumPy arrays (rows
are points, as NumPy has it):

    mean_diameter, hull = pirolet(points)       mean caliper diameter
    near, far, view = kestrim(views)            viewing edges of a set
    rms, pose, residuals = dovanel(views_a, views_b, starts)
                                                relative pose of two sets

with Camera and View for the views (mappings with MATLAB's field names
work too), load_view_set for the example sets' text files and pick_best
for choosing among Dovanel results computed apart. They give the Octave
modules' numbers bit for bit. Each call checks and converts its arguments,
then computes without the GIL: Python threads run calls side by side.
Bad arguments raise TypeError or ValueError, failures of a computation
RuntimeError (OutOfMemoryError, also a MemoryError, when memory runs out),
each with the modules' texts; nothing is printed.
"""

from ._computations import dovanel, kestrim, pick_best, pirolet
from ._core import OutOfMemoryError
from ._views import Camera, View
from .view_set_file import load_view_set

__all__ = [
    "Camera",
    "OutOfMemoryError",
    "View",
    "dovanel",
    "kestrim",
    "load_view_set",
    "pick_best",
    "pirolet",
]
