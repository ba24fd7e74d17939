"""The fewest-CNOT route beyond five qubits, and the end stages' names."""
import numpy as np
import pytest

import udecomp
from composition import compose_gates

GENERIC_CNOTS = {6: 1783, 7: 7319}


def haar_unitary(size, seed):
    rng = np.random.default_rng(seed)
    z = (rng.standard_normal((size, size)) + 1j * rng.standard_normal((size, size))) / np.sqrt(2)
    q, r = np.linalg.qr(z)
    return q * (np.diag(r) / np.abs(np.diag(r)))


@pytest.mark.parametrize("qubits", [6, 7])
def test_large_matrices_give_exact_circuits_at_the_generic_count(qubits):
    matrix = haar_unitary(1 << qubits, seed=qubits)
    circuit = udecomp.decompose(matrix, end_stage="shannon")
    assert circuit.qubits == qubits
    assert circuit.cnot_count == GENERIC_CNOTS[qubits]
    assert circuit.checks["finalCircuit"] is True
    assert np.abs(compose_gates(circuit.gates, qubits) - matrix).max() < 1e-11
    assert np.abs(circuit.unitary() - matrix).max() < 1e-11
    assert circuit.qasm3().count("cx ") == GENERIC_CNOTS[qubits]


def test_large_random_unitaries_follow_their_seed_and_refuse_what_cannot_hold_them():
    matrix = udecomp.random_unitary(6, seed=11)
    assert matrix.shape == (64, 64)
    assert np.abs(matrix @ matrix.conj().T - np.eye(64)).max() < 1e-13
    assert np.array_equal(matrix, udecomp.random_unitary(6, seed=11))
    circuit = udecomp.decompose(matrix, end_stage="shannon")
    with pytest.raises(ValueError, match="The picture holds circuits of 2 to 5 qubits; this one has 6."):
        circuit.svg()
    with pytest.raises(ValueError, match="The .mat file holds circuits of 2 to 5 qubits"):
        circuit.save_mat("six.mat")


def test_every_end_stage_name_comes_back_from_its_circuit():
    with pytest.raises(ValueError) as refused:
        udecomp.decompose(np.eye(4), end_stage="cnot")
    names = str(refused.value).split("is not one of ")[1].rstrip(".").split(", ")
    assert names == ["basic", "l1", "toffoli", "shannon", "numerical", "none"]
    for name in names:
        assert udecomp.decompose(np.eye(4), end_stage=name).end_stage == name
