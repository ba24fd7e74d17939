"""Decomposes a unitary matrix of 2 to 5 qubits into an exact quantum circuit, checks it and draws it.

The installed package around the compiled module, which a build also leaves as
build/python/udecomp*.so for PYTHONPATH use.
"""
from .udecomp import *  # noqa: F401,F403
from .udecomp import __doc__ as _module_doc, __version__  # noqa: F401

__doc__ = _module_doc
