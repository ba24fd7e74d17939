"""What a Python user reaches for first: the version, signatures, docstrings."""
import inspect

import udecomp


def test_version_signatures_and_docstrings_are_there():
    assert udecomp.__version__ == "1.0"
    assert str(inspect.signature(udecomp.decompose)) == "(matrix, end_stage='basic', optimize=True, self_check=False)"
    assert str(inspect.signature(udecomp.compare)) == "(matrix, optimize=True, self_check=False)"
    assert str(inspect.signature(udecomp.random_unitary)) == "(qubits, seed=None)"
    for function in (udecomp.import_qasm, udecomp.load_mat):
        assert len(inspect.signature(function).parameters) == 1
    circuit = udecomp.decompose(udecomp.random_unitary(2, seed=1))
    assert str(inspect.signature(circuit.qasm3)) == "(basis_gates=None)"
    assert str(inspect.signature(circuit.operations)) == "(basis_gates=('u3', 'cx'))"
    assert str(inspect.signature(circuit.save_mat)) == "(path)"
    for name in ("qubits", "end_stage", "cnot_count", "gates", "checks"):
        assert getattr(udecomp.Circuit, name).__doc__, name


def test_a_circuit_is_a_sequence_of_gates_that_compare_by_value():
    import numpy as np

    matrix = udecomp.random_unitary(3, seed=4)
    circuit = udecomp.decompose(matrix, end_stage="shannon")
    gates = circuit.gates
    assert isinstance(gates, tuple) and len(gates) == len(circuit)
    assert list(circuit) == list(gates)
    assert circuit[-1] == gates[-1] and circuit[1:4] == gates[1:4]
    assert circuit == udecomp.decompose(matrix, end_stage="shannon")
    assert circuit != udecomp.decompose(matrix, end_stage="basic")
    for gate in gates:
        assert gate.qubits == gate.controls + (gate.target,)
        if gate.name == "cx":
            assert gate.params == () and np.array_equal(gate.matrix, [[0, 1], [1, 0]])
            continue
        assert gate.name == "u" and len(gate.params) == 4
        theta, phi, lam, gamma = gate.params
        c, s = np.cos(theta / 2), np.sin(theta / 2)
        u = np.exp(1j * gamma) * np.array([[c, -np.exp(1j * lam) * s], [np.exp(1j * phi) * s, np.exp(1j * (phi + lam)) * c]])
        assert np.abs(u - gate.matrix).max() < 1e-14
    l1 = udecomp.decompose(matrix, end_stage="l1")
    assert {g.name for g in l1} <= {"u", "cx", "cu"}


def test_arguments_of_the_wrong_type_are_type_errors():
    import numpy as np
    import pytest

    with pytest.raises(TypeError):
        udecomp.decompose(np.eye(4), optimize=None)
    with pytest.raises(TypeError):
        udecomp.decompose(np.eye(4), end_stage=b"basic")
    with pytest.raises(TypeError, match="not bytes"):
        udecomp.decompose(np.eye(4)).save_mat(b"x.mat")
    masked = np.ma.masked_array(np.eye(4), mask=np.eye(4) == 1)
    with pytest.raises(ValueError, match="masked entries"):
        udecomp.decompose(masked)
    assert udecomp.decompose(np.ma.masked_array(np.eye(4))).cnot_count == 0


def test_a_matrix_unitary_only_within_the_tolerance_is_said_to_be_replaced():
    matrix = udecomp.random_unitary(3, seed=2)
    assert udecomp.decompose(matrix).nearest_unitary_from is None
    matrix[0, 0] += 1e-9
    circuit = udecomp.decompose(matrix)
    assert 1e-9 < circuit.nearest_unitary_from < 1e-8
    assert any(line.startswith("The matrix is unitary only within the tolerance") for line in circuit.log)
