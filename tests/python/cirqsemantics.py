"""An OpenQASM 2.0 reader written from Cirq's documented semantics, with numpy.

Cirq reads u3 and cu3 as QasmUGate(theta, phi, lambda) = Rz(phi) Ry(theta) Rz(lambda),
its angles reduced modulo 2 pi (it keeps them as half turns modulo 2), with
Rz(a) = exp(-i Z a / 2); crz(a) as controlled Rz(a); u1(a) as Rz(a); cx as CNOT.
Matrices are compared up to a global phase: OpenQASM 2.0 has none.
"""
import math
import re

import numpy as np


def rz(a):
    return np.diag([np.exp(-0.5j * a), np.exp(0.5j * a)])


def ry(a):
    c, s = math.cos(a / 2), math.sin(a / 2)
    return np.array([[c, -s], [s, c]], dtype=complex)


def qasm_u(theta, phi, lam):
    reduce = lambda a: a % (2 * math.pi)  # half turns modulo 2, in [0, 2)
    return rz(reduce(phi)) @ ry(reduce(theta)) @ rz(reduce(lam))


def full(u, qubits, target, control=None):
    n = 1 << qubits
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


def read_qasm2(text):
    """The unitary of the program's OpenQASM 2.0 export, as Cirq reads it."""
    qubits = int(re.search(r"qreg q\[(\d+)\];", text)[1])
    m = np.eye(1 << qubits, dtype=complex)
    for line in text.splitlines():
        line = line.split("//")[0].strip()
        if not line or line.startswith(("OPENQASM", "include", "qreg")):
            continue
        a = re.fullmatch(r"(\w+)(?:\(([^)]*)\))? (q\[\d+\](?:,q\[\d+\])?);", line)
        if not a:
            raise ValueError(f"a line this reader does not know: {line}")
        name, args = a[1], [float(x) for x in a[2].split(",")] if a[2] else []
        operands = [int(q) for q in re.findall(r"q\[(\d+)\]", a[3])]
        one_qubit = {"u3": lambda: qasm_u(*args), "u1": lambda: rz(args[0])}
        controlled = {"cu3": lambda: qasm_u(*args), "crz": lambda: rz(args[0]),
                      "cx": lambda: np.array([[0, 1], [1, 0]], dtype=complex)}
        if name in one_qubit and len(operands) == 1:
            m = full(one_qubit[name](), qubits, operands[0]) @ m
        elif name in controlled and len(operands) == 2:
            m = full(controlled[name](), qubits, operands[1], operands[0]) @ m
        else:
            raise ValueError(f"a gate this reader does not know: {line}")
    return m


def equal_up_to_phase(x, y, tolerance):
    k = np.unravel_index(np.argmax(np.abs(y)), y.shape)
    phase = x[k] / y[k]
    return abs(abs(phase) - 1) < tolerance and np.abs(x - phase * y).max() < tolerance
