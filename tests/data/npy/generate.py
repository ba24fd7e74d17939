#!/usr/bin/python3
# Writes the .npy files the import tests read; run once with numpy, the files are committed.
# Entry (r, c) of an n x n matrix is (r * n + c) / 4 + 1j * (r - c) / 2, exact in every dtype
# (real dtypes keep the real part).
import numpy as np
from numpy.lib import format as npyformat


def matrix(n, dtype):
    r, c = np.indices((n, n))
    m = (r * n + c) / 4 + 1j * (r - c) / 2
    return (m if np.dtype(dtype).kind == "c" else m.real).astype(dtype)


def write(name, array, version=None, fortran=False):
    if fortran:
        array = np.asfortranarray(array)
    with open(name, "wb") as f:
        npyformat.write_array(f, array, version=version)


write("c16-c.npy", matrix(4, "<c16"))
write("c16-big-fortran.npy", matrix(4, ">c16"), fortran=True)
write("c8-c.npy", matrix(4, "<c8"))
write("c8-big-fortran.npy", matrix(8, ">c8"), fortran=True)
write("f8-c.npy", matrix(4, "<f8"))
write("f8-fortran.npy", matrix(16, "<f8"), fortran=True)
write("f4-big-c.npy", matrix(4, ">f4"))
write("f4-fortran.npy", matrix(4, "<f4"), fortran=True)
write("c16-v2.npy", matrix(32, "<c16"), version=(2, 0))
write("c16-v3.npy", matrix(4, "<c16"), version=(3, 0))
# Refused ones.
write("shape-3x3.npy", matrix(3, "<f8"))
write("shape-4x8.npy", matrix(8, "<f8")[:4, :])
write("shape-16.npy", matrix(4, "<f8").reshape(16))
write("int64.npy", np.arange(16, dtype="<i8").reshape(4, 4))
