"""The OpenQASM 2.0 export of every end stage read as Cirq reads it (a reader
written from Cirq's documented semantics, in cirqsemantics.py) and as the npm
package quantum-circuit reads and simulates it equals the input up to a global
phase."""
import json
import os
import shutil
import subprocess

import numpy as np
import pytest

import udecomp
from cirqsemantics import equal_up_to_phase, read_qasm2
from test_large import haar_unitary


@pytest.mark.parametrize("end_stage", ["basic", "l1", "shannon", "numerical", "none"])
@pytest.mark.parametrize("qubits", [2, 3])
def test_each_end_stage_reads_as_its_input_where_cu3_angles_are_taken_modulo_two_pi(end_stage, qubits):
    for seed in range(3):
        matrix = haar_unitary(1 << qubits, seed=100 * qubits + seed)
        text = udecomp.decompose(matrix, end_stage=end_stage).qasm2()
        assert equal_up_to_phase(read_qasm2(text), matrix, 1e-10), (end_stage, seed)


def quantum_circuit_matrix(text, qubits):
    """The unitary quantum-circuit gives the program, rows and columns in this module's order."""
    script = os.path.join(os.path.dirname(__file__), "quantumcircuit_matrix.js")
    done = subprocess.run(["node", script], input=text, capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    columns = json.loads(done.stdout)
    n = 1 << qubits
    # Its qubit k is bit k of an index; here qubit 1 (q[0]) is the most significant bit.
    reversed_bits = [int(format(i, f"0{qubits}b")[::-1], 2) for i in range(n)]
    m = np.zeros((n, n), dtype=complex)
    for b in range(n):
        for i in range(n):
            re, im = columns[reversed_bits[b]][reversed_bits[i]]
            m[i, b] = re + 1j * im
    return m


def quantum_circuit_found():
    if shutil.which("node") is None:
        return False
    return any(os.path.isdir(os.path.join(p, "quantum-circuit")) for p in os.environ.get("NODE_PATH", "").split(":") if p)


@pytest.mark.skipif(not quantum_circuit_found(), reason="node or the npm package quantum-circuit (./scripts/test installs both)")
@pytest.mark.parametrize("end_stage", ["basic", "l1", "shannon", "numerical"])
def test_quantum_circuit_reads_each_end_stage_as_its_input(end_stage):
    matrix = haar_unitary(8, seed=21)
    text = udecomp.decompose(matrix, end_stage=end_stage).qasm2()
    assert equal_up_to_phase(quantum_circuit_matrix(text, 3), matrix, 1e-9)
