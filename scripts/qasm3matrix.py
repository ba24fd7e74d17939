"""The matrix of the program's OpenQASM 3 export, composed with numpy alone.

Shared by the sweeps: it reads the lines the exporter writes (gphase, U, cx,
ctrl(1) @ U and ctrl(1) @ gphase) and nothing of the program itself.
"""
import re

import numpy as np


def composed_qasm3(path, qubits):
    """The matrix of the program's OpenQASM 3 export: gphase, U, cx and ctrl(1) @ U/gphase lines."""

    n = 2**qubits
    m = np.eye(n, dtype=complex)

    def u_matrix(theta, phi, lam):
        c, s = np.cos(theta / 2), np.sin(theta / 2)
        return np.array([[c, -np.exp(1j * lam) * s], [np.exp(1j * phi) * s, np.exp(1j * (phi + lam)) * c]])

    def full(u, target, control=None):
        g = np.zeros((n, n), dtype=complex)
        tbit = qubits - 1 - target
        for b in range(n):
            if control is not None and not (b >> (qubits - 1 - control)) & 1:
                g[b, b] = 1
                continue
            t = (b >> tbit) & 1
            for t2 in (0, 1):
                g[b ^ ((t ^ t2) << tbit), b] = u[t2, t]
        return g

    number = r"(-?[0-9.eE+-]+)"
    for line in open(path):
        line = line.split("//")[0].strip()
        if a := re.fullmatch(rf"gphase\({number}\);", line):
            m = np.exp(1j * float(a[1])) * m
        elif a := re.fullmatch(rf"U\({number}, {number}, {number}\) q\[(\d+)\];", line):
            m = full(u_matrix(*map(float, a.groups()[:3])), int(a[4])) @ m
        elif a := re.fullmatch(rf"ctrl\(1\) @ U\({number}, {number}, {number}\) q\[(\d+)\], q\[(\d+)\];", line):
            m = full(u_matrix(*map(float, a.groups()[:3])), int(a[5]), int(a[4])) @ m
        elif a := re.fullmatch(r"cx q\[(\d+)\], q\[(\d+)\];", line):
            m = full(np.array([[0, 1], [1, 0]]), int(a[2]), int(a[1])) @ m
        elif a := re.fullmatch(rf"ctrl\(1\) @ gphase\({number}\) q\[(\d+)\];", line):
            m = full(np.diag([1, np.exp(1j * float(a[1]))]), int(a[2])) @ m
        elif line and not line.startswith(("OPENQASM", "include", "qubit")):
            raise ValueError(f"unexpected line in the export: {line}")
    return m
