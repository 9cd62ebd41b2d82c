"""The examples in the package's docstrings run as shown."""

from __future__ import annotations

import doctest
import importlib

import pytest

from conftest import ROOT


@pytest.mark.parametrize("module", ["silhouette._computations", "silhouette._views",
                                    "silhouette.view_set_file"])
def test_docstring_examples(module, monkeypatch):
    monkeypatch.chdir(ROOT)   # the examples read examples/*.txt
    result = doctest.testmod(importlib.import_module(module),
                             optionflags=doctest.NORMALIZE_WHITESPACE)
    assert result.attempted > 0 and result.failed == 0
