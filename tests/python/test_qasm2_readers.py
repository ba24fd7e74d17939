"""The OpenQASM 2.0 export of every end stage read as Cirq reads it (a reader
written from Cirq's documented semantics, in cirqsemantics.py) equals the input
up to a global phase."""
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
