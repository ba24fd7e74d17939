"""The numerical route from Python: counts at the bound, exact circuits, and
Ctrl-C between two evaluations of its instantiation."""
import os
import signal
import threading
import time

import numpy as np
import pytest

import udecomp
from composition import compose_gates
from test_large import haar_unitary


def test_three_qubits_reach_fourteen_cnots_exactly_and_the_same_on_every_run():
    matrix = haar_unitary(8, seed=31)
    first = udecomp.decompose(matrix, end_stage="numerical")
    assert first.end_stage == "numerical"
    assert first.cnot_count == 14
    assert first.checks["finalCircuit"] is True
    assert np.abs(compose_gates(first.gates, 3) - matrix).max() < 1e-12
    again = udecomp.decompose(matrix, end_stage="numerical")
    assert [g.matrix.tobytes() for g in again.gates] == [g.matrix.tobytes() for g in first.gates]


def test_a_permutation_keeps_the_smaller_circuit_of_the_fewest_cnot_route():
    matrix = np.eye(8, dtype=complex)[[1, 0, 2, 3, 4, 5, 7, 6]]
    numerical = udecomp.decompose(matrix, end_stage="numerical")
    fewest = udecomp.decompose(matrix, end_stage="shannon")
    assert numerical.cnot_count <= fewest.cnot_count < 14
    assert np.abs(compose_gates(numerical.gates, 3) - matrix).max() < 1e-12


def test_ctrl_c_stops_a_five_qubit_run_with_keyboard_interrupt():
    matrix = haar_unitary(32, seed=5)
    started = time.monotonic()
    udecomp.decompose(matrix, end_stage="numerical")
    whole_run = time.monotonic() - started
    # Without the signal check the interrupt would come only once the whole run
    # returned; with it, within an evaluation. Both times scale alike with the load.
    timer = threading.Timer(0.1 * whole_run, lambda: os.kill(os.getpid(), signal.SIGINT))
    timer.start()
    started = time.monotonic()
    try:
        with pytest.raises(KeyboardInterrupt):
            udecomp.decompose(matrix, end_stage="numerical")
    finally:
        timer.cancel()
    assert time.monotonic() - started < 0.6 * whole_run
