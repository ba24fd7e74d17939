"""Standard gate sets: each one's operations and OpenQASM texts compose, with
numpy, to the input (up to the global phase, which OpenQASM 3 writes)."""
import re

import numpy as np
import pytest

import udecomp
from cirqsemantics import equal_up_to_phase, full
from test_large import haar_unitary

SETS = [["u3", "cx"], ["rz", "sx", "x", "cx"], ["rz", "sx", "x", "cz"]]


def one_qubit(name, params):
    if name == "u3":
        t, p, l = params
        c, s = np.cos(t / 2), np.sin(t / 2)
        return np.array([[c, -np.exp(1j * l) * s], [np.exp(1j * p) * s, np.exp(1j * (p + l)) * c]])
    if name == "rz":
        return np.diag([np.exp(-0.5j * params[0]), np.exp(0.5j * params[0])])
    if name == "sx":
        return np.array([[1 + 1j, 1 - 1j], [1 - 1j, 1 + 1j]]) / 2
    return np.array([[0, 1], [1, 0]], dtype=complex)  # x


def composed(operations, qubits):
    m = np.eye(1 << qubits, dtype=complex)
    for name, operands, params in operations:
        if name in ("cx", "cz"):
            body = np.array([[0, 1], [1, 0]]) if name == "cx" else np.diag([1, -1])
            m = full(body.astype(complex), qubits, operands[1] - 1, operands[0] - 1) @ m
        else:
            m = full(one_qubit(name, params), qubits, operands[0] - 1) @ m
    return m


def operations_of_qasm3(text):
    """(name, 1-based qubits, params) of each line, and the gphase."""
    operations, phase = [], 0.0
    for line in text.splitlines():
        line = line.split("//")[0].strip()
        if a := re.fullmatch(r"gphase\(([^)]*)\);", line):
            phase = float(a[1])
        elif a := re.fullmatch(r"(\w+)(?:\(([^)]*)\))? (q\[\d+\](?:, q\[\d+\])?);", line):
            params = tuple(float(x) for x in a[2].split(",")) if a[2] else ()
            qubits = tuple(int(q) + 1 for q in re.findall(r"q\[(\d+)\]", a[3]))
            operations.append((a[1], qubits, params))
    return operations, phase


@pytest.mark.parametrize("basis", SETS)
@pytest.mark.parametrize("end_stage", ["basic", "shannon", "numerical"])
def test_every_gate_set_composes_to_the_input_and_qasm3_holds_the_phase(basis, end_stage):
    matrix = haar_unitary(8, seed=11)
    circuit = udecomp.decompose(matrix, end_stage=end_stage)
    operations = circuit.operations(basis)
    assert {name for name, _, _ in operations} <= set(basis)
    assert equal_up_to_phase(composed(operations, 3), matrix, 1e-11)
    two_qubit = "cz" if "cz" in basis else "cx"
    assert sum(name == two_qubit for name, _, _ in operations) == circuit.cnot_count

    parsed, phase = operations_of_qasm3(circuit.qasm3(basis_gates=basis))
    assert np.abs(np.exp(1j * phase) * composed(parsed, 3) - matrix).max() < 1e-11
    assert "OPENQASM 2.0;" in circuit.qasm2(basis_gates=basis)


def test_unknown_sets_and_controlled_gates_are_refused():
    circuit = udecomp.decompose(haar_unitary(4, seed=2), end_stage="l1")
    with pytest.raises(ValueError, match="gate sets u3,cx; rz,sx,x,cx; rz,sx,x,cz"):
        circuit.operations(["h", "cx"])
    if any(len(g.controls) == 1 and not np.array_equal(g.matrix, [[0, 1], [1, 0]]) for g in circuit.gates):
        with pytest.raises(ValueError, match="is no CNOT"):
            circuit.operations(["u3", "cx"])
