"""Circuits of the Python module against numpy: the gates compose to the input,
the exports read back to it, and the run's report matches the circuit."""
import numpy as np
import pytest

import udecomp
from composition import compose_gates, equal_up_to_phase

STAGES = ["basic", "l1", "toffoli", "shannon", "none"]

# How closely the gates must compose to the input: the fewest-CNOT route keeps its circuit exact.
TOLERANCE = {"basic": 1e-11, "l1": 1e-11, "toffoli": 1e-11, "none": 1e-11, "shannon": 1e-12}

STAGE_NAMES = {
    "basic": ["reduction", "Generalized Toffoli gates", "L1(U) gates", "basic gates", "final checks and drawing"],
    "none": ["reduction", "Generalized Toffoli gates", "L1(U) gates", "basic gates", "final checks and drawing"],
    "l1": ["reduction", "Generalized Toffoli gates", "L1(U) gates", "final checks and drawing"],
    "toffoli": ["reduction", "Generalized Toffoli gates", "final checks and drawing"],
    "shannon": ["basic gates, fewest CNOTs", "optimization", "final checks and drawing"],
}

# Most controls a gate may have at each end stage, and whether the final check runs.
MOST_CONTROLS = {"basic": 1, "none": 1, "l1": 1, "toffoli": 4, "shannon": 1}
FINAL_CHECK = {"basic": True, "l1": True, "toffoli": None, "none": None, "shannon": True}
# The fewest-CNOT route goes straight from the matrix to gates: no reduction to check.
REDUCTION_CHECKED = {"basic": True, "l1": True, "toffoli": True, "none": True, "shannon": None}

_circuits = {}


def circuit_of(qubits, stage):
    """One decomposition per case, shared by the tests that read it."""
    key = (qubits, stage)
    if key not in _circuits:
        matrix = udecomp.random_unitary(qubits, seed=qubits)
        _circuits[key] = (matrix, udecomp.decompose(matrix, end_stage=stage))
    return _circuits[key]


CASES = [(qubits, stage) for qubits in range(2, 6) for stage in STAGES]


@pytest.mark.parametrize("qubits,stage", CASES)
def test_gates_compose_to_the_input(qubits, stage):
    matrix, circuit = circuit_of(qubits, stage)
    composed = compose_gates(circuit.gates, qubits)
    difference = np.max(np.abs(composed - matrix))
    assert difference < TOLERANCE[stage]
    # The run measured the same difference with its own composition.
    assert circuit.max_entry_difference == pytest.approx(difference, abs=1e-13)
    assert np.max(np.abs(circuit.unitary() - composed)) < 1e-12


@pytest.mark.parametrize("qubits,stage", CASES)
def test_report_describes_the_circuit(qubits, stage):
    matrix, circuit = circuit_of(qubits, stage)
    gates = circuit.gates
    assert circuit.qubits == qubits and circuit.end_stage == stage
    assert len(circuit) == len(gates) > 0
    controls = [len(gate.controls) for gate in gates]
    assert max(controls) <= MOST_CONTROLS[stage]
    assert circuit.counts_by_controls == [controls.count(k) for k in range(qubits)]
    x = np.array([[0, 1], [1, 0]])
    cnots = sum(1 for gate in gates if len(gate.controls) == 1 and np.allclose(gate.matrix, x, atol=1e-7))
    assert circuit.cnot_count == cnots
    for gate in gates:
        assert 1 <= gate.target <= qubits and gate.target not in gate.controls
        assert np.allclose(gate.matrix.conj().T @ gate.matrix, np.eye(2), atol=1e-12)
    assert circuit.checks == {"inputUnitary": True, "reduction": REDUCTION_CHECKED[stage],
                              "reconstruction": REDUCTION_CHECKED[stage],
                              "finalCircuit": FINAL_CHECK[stage], "gateUnitarity": True}
    assert [s["name"] for s in circuit.stages] == STAGE_NAMES[stage]
    assert circuit.stages[-2]["gates"] == len(circuit)
    assert circuit.log[0] == "Decomposition have began."
    assert circuit.messages == []
    assert repr(circuit) == f"<udecomp.Circuit: {qubits} qubits, {len(gates)} gates, {cnots} CNOTs, end stage {stage}>"


@pytest.mark.parametrize("qubits,stage", [c for c in CASES if c[1] != "toffoli"])
def test_qasm_exports_read_back_to_the_input(qubits, stage):
    matrix, circuit = circuit_of(qubits, stage)
    assert equal_up_to_phase(udecomp.import_qasm(circuit.qasm2()), matrix, 1e-9)
    assert np.max(np.abs(udecomp.import_qasm(circuit.qasm3()) - matrix)) < 1e-9


def test_qasm2_refuses_gates_with_two_controls():
    matrix, circuit = circuit_of(3, "toffoli")
    assert max(len(g.controls) for g in circuit.gates) >= 2
    with pytest.raises(ValueError, match=r"^OpenQASM 2\.0 cannot express gate \d+: it has \d controls\."):
        circuit.qasm2()
    assert np.max(np.abs(udecomp.import_qasm(circuit.qasm3()) - matrix)) < 1e-9


def test_notebook_picture_stops_after_a_few_hundred_gates():
    _, small = circuit_of(2, "basic")
    assert small._repr_svg_() == small.svg()
    assert small.svg().count('id="gate-') == len(small)

    _, large = circuit_of(4, "basic")
    shown = large._repr_svg_()
    assert shown.count('id="gate-') == 300
    assert f"The first 300 of {len(large)} gates; {len(large) - 300} more are left out" in shown
    assert shown.rstrip().endswith("</svg>")
    assert large.svg().count('id="gate-') == len(large)


def test_mat_file_round_trip(tmp_path):
    matrix, circuit = circuit_of(3, "basic")
    path = tmp_path / "circuit.mat"
    circuit.save_mat(path)
    assert np.max(np.abs(udecomp.load_mat(path) - matrix)) < 1e-13
    text = path.read_text()
    assert f"Overall number of gates: {len(circuit)}" in text


def test_settings_reach_the_run():
    matrix = udecomp.random_unitary(3, seed=7)
    plain = udecomp.decompose(matrix, end_stage="l1", optimize=False)
    assert "The optimization algorithm has begun." not in plain.log
    optimized = udecomp.decompose(matrix, end_stage="l1")
    assert "The optimization algorithm has begun." in optimized.log
    checked = udecomp.decompose(matrix, end_stage="l1", self_check=True)
    assert [g.matrix.tobytes() for g in checked.gates] == [g.matrix.tobytes() for g in optimized.gates]


def test_a_reused_workspace_starts_from_the_start_up_state():
    first = udecomp.random_unitary(4, seed=11)
    second = udecomp.random_unitary(2, seed=12)
    before = udecomp.decompose(first)
    # A run that leaves a looser tolerance (1e-5) behind it.
    udecomp.decompose(second, end_stage="l1", optimize=False)
    del before
    after = udecomp.decompose(first)
    again = udecomp.decompose(first)
    assert [(g.target, g.controls, g.matrix.tobytes()) for g in after.gates] == \
        [(g.target, g.controls, g.matrix.tobytes()) for g in again.gates]
    # Unitary within 1e-5 but not within the start-up tolerance 1e-7.
    skewed = second.copy()
    skewed[0, 0] += 1e-6
    udecomp.decompose(second, end_stage="l1", optimize=False)
    with pytest.raises(ValueError, match="is not unitary"):
        udecomp.decompose(skewed)


def test_random_unitary_is_reproducible_with_a_seed():
    for qubits in range(2, 6):
        matrix = udecomp.random_unitary(qubits, seed=5)
        assert matrix.shape == (1 << qubits, 1 << qubits) and matrix.dtype == complex
        assert np.max(np.abs(matrix.conj().T @ matrix - np.eye(1 << qubits))) < 1e-12
        assert np.array_equal(matrix, udecomp.random_unitary(qubits, seed=5))
        assert not np.array_equal(matrix, udecomp.random_unitary(qubits, seed=6))


def test_matrix_given_as_nested_lists():
    hadamard = np.array([[1, 1], [1, -1]]) / np.sqrt(2)
    matrix = np.kron(hadamard, np.eye(2)).tolist()
    circuit = udecomp.decompose(matrix)
    assert np.max(np.abs(compose_gates(circuit.gates, 2) - np.array(matrix))) < 1e-12
