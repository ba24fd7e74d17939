"""The matrix of a circuit from its gates, with numpy alone.

Qubit 1 is the most significant bit of a basis index; gate 0 acts first, so
each gate multiplies the matrix so far from the left.
"""
import functools

import numpy as np


@functools.lru_cache(maxsize=None)
def _row_pairs(qubits, target, controls):
    """Row pairs (bit of `target` 0, 1) of the basis states whose controls are all 1."""
    size = 1 << qubits
    index = np.arange(size)

    def bit(qubit):
        return (index >> (qubits - qubit)) & 1

    chosen = bit(target) == 0
    for control in controls:
        chosen &= bit(control) == 1
    low = index[chosen]
    return low, low | (1 << (qubits - target))


def compose_gates(gates, qubits):
    result = np.eye(1 << qubits, dtype=complex)
    for gate in gates:
        low, high = _row_pairs(qubits, gate.target, tuple(gate.controls))
        u = gate.matrix
        rows0, rows1 = result[low], result[high]
        result[low] = u[0, 0] * rows0 + u[0, 1] * rows1
        result[high] = u[1, 0] * rows0 + u[1, 1] * rows1
    return result


def equal_up_to_phase(x, y, tolerance):
    """True when x = e^(i a) y for some a, entry by entry within `tolerance`."""
    k = np.unravel_index(np.argmax(np.abs(y)), y.shape)
    phase = x[k] / y[k]
    return abs(abs(phase) - 1.0) < tolerance and np.max(np.abs(x - phase * y)) < tolerance
