"""The reader of the example silhouette sets' text files."""

from __future__ import annotations

import os
import re

import numpy as np

from ._views import Camera, View


def load_view_set(file: str | os.PathLike[str]) -> list[View]:
    """Reads a silhouette set file, as examples/load_view_set.m does.

    views = load_view_set(file)

    Returns a list of View objects, one per view, in the file's order, ready
    for kestrim and dovanel.

    The file is plain text. Everything from a '%' to the end of its line is
    a comment; the rest is a sequence of numbers, separated by blanks or
    line ends:
        V                  the number of views, then for each view:
        efl u0 v0 kappa1   the camera's internal parameters (pixels)
        16 numbers         the pose, row by row (4 lines of 4)
        N                  the number of boundary points
        2 N numbers        the points, u v for each (N lines; pixels)

    Raises OSError when the file cannot be read and ValueError, with the
    Octave reader's texts where it has them, when it does not hold such a
    set: "load_view_set: FILE ends early (need C more numbers after number
    P)", "load_view_set: FILE has C numbers after its last view", and for a
    word that is not a number, or a count that is not a whole number (V of
    0 or more, N of 1 or more), a message naming it.

    >>> import silhouette
    >>> views = silhouette.load_view_set("examples/stone_views_A.txt")
    >>> len(views), views[0].camera.efl, views[0].boundary.shape
    (7, 1500.0, (228, 2))
    """
    name = os.fspath(file)
    with open(name, encoding="utf-8") as stream:
        text = re.sub(r"%[^\n]*", "", stream.read())
    words = text.split()
    numbers = np.empty(len(words))
    for i, word in enumerate(words):
        try:
            numbers[i] = float(word)
        except ValueError:
            raise ValueError(f"load_view_set: {name} holds {word!r} (word "
                             f"{i + 1}), which is not a number") from None
    position = 0

    def take(count: int) -> np.ndarray:
        nonlocal position
        if position + count > len(numbers):
            raise ValueError(f"load_view_set: {name} ends early (need {count} "
                             f"more numbers after number {position})")
        values = numbers[position:position + count]
        position += count
        return values

    def take_count(what: str, least: int) -> int:
        value = take(1)[0]
        if not (np.isfinite(value) and value >= least and value == np.floor(value)):
            raise ValueError(f"load_view_set: {name}: {what} is {value:g}, not "
                             f"a whole number of {least} or more")
        return int(value)

    views = []
    for _ in range(take_count("the number of views", 0)):
        efl, u0, v0, kappa1 = take(4)
        pose = take(16).reshape(4, 4)
        count = take_count(
            f"the number of boundary points of view {len(views) + 1}", 1)
        boundary = take(2 * count).reshape(count, 2)
        views.append(View(Camera(efl, u0, v0, kappa1, pose), boundary))
    if position < len(numbers):
        raise ValueError(f"load_view_set: {name} has {len(numbers) - position} "
                         "numbers after its last view")
    return views
