"""Circuits cross processes and machines: pickle and copy give a circuit that
answers every method as the original does; a process pool and a Dask cluster
return them."""
import concurrent.futures
import copy
import pickle

import numpy as np
import pytest

import udecomp
from composition import compose_gates
from test_large import haar_unitary


def answers(circuit):
    """What the circuit says, method by method (the picture and the .mat file too)."""
    said = {
        "qubits": circuit.qubits, "end_stage": circuit.end_stage, "len": len(circuit),
        "cnot_count": circuit.cnot_count, "counts_by_controls": circuit.counts_by_controls,
        "max_entry_difference": circuit.max_entry_difference, "checks": circuit.checks,
        "nearest_unitary_from": circuit.nearest_unitary_from,
        "stages": circuit.stages, "log": circuit.log, "messages": circuit.messages,
        "gates": [(g.target, g.controls, g.matrix.tobytes()) for g in circuit.gates],
        "unitary": circuit.unitary().tobytes(), "qasm3": circuit.qasm3(),
    }
    if circuit.end_stage != "toffoli":
        said["qasm2"] = circuit.qasm2()
    if circuit.qubits <= 5:
        said["svg"] = circuit.svg()
    return said


@pytest.mark.parametrize("end_stage", ["basic", "l1", "toffoli", "shannon", "numerical", "none"])
def test_pickle_and_copy_round_trips_answer_alike_on_every_end_stage(end_stage, tmp_path):
    matrix = haar_unitary(8, seed=7)
    matrix[0, 0] += 1e-9  # unitary only within the tolerance: the circuit says so
    circuit = udecomp.decompose(matrix, end_stage=end_stage)
    assert circuit.nearest_unitary_from is not None
    expected = answers(circuit)
    for other in (pickle.loads(pickle.dumps(circuit)), copy.copy(circuit), copy.deepcopy(circuit)):
        assert answers(other) == expected
        other.save_mat(tmp_path / "other.mat")
        circuit.save_mat(tmp_path / "original.mat")
        assert (tmp_path / "other.mat").read_bytes() == (tmp_path / "original.mat").read_bytes()


def test_a_large_circuit_pickles_too():
    circuit = udecomp.decompose(haar_unitary(64, seed=3), end_stage="shannon")
    other = pickle.loads(pickle.dumps(circuit))
    assert other.qubits == 6 and other.cnot_count == circuit.cnot_count
    assert other.qasm3() == circuit.qasm3()


def test_a_damaged_state_is_refused():
    circuit = udecomp.decompose(np.eye(4))
    state = list(circuit.__getstate__())
    state[0] = 99
    with pytest.raises(ValueError, match="another version"):
        type(circuit).__new__(type(circuit)).__setstate__(tuple(state))


def decomposed(seed):
    return udecomp.decompose(udecomp.random_unitary(3, seed=seed), end_stage="shannon")


def test_a_process_pool_returns_circuits_that_compose_to_their_matrices():
    seeds = range(1, 9)
    with concurrent.futures.ProcessPoolExecutor(max_workers=2) as pool:
        circuits = list(pool.map(decomposed, seeds))
    for seed, circuit in zip(seeds, circuits):
        matrix = udecomp.random_unitary(3, seed=seed)
        assert np.abs(compose_gates(circuit.gates, 3) - matrix).max() < 1e-12


def test_a_dask_cluster_returns_circuits_that_compose_to_their_matrices():
    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            futures = client.map(decomposed, range(1, 7))
            circuits = client.gather(futures)
    for seed, circuit in zip(range(1, 7), circuits):
        matrix = udecomp.random_unitary(3, seed=seed)
        assert np.abs(compose_gates(circuit.gates, 3) - matrix).max() < 1e-12
