"""udecomp.compare: the routes side by side, read by pandas, each circuit exact."""
import numpy as np
import pandas as pd
import pytest

import udecomp
from composition import compose_gates
from test_large import haar_unitary


def test_four_qubits_give_rows_pandas_reads_and_circuits_that_compose_to_the_input():
    matrix = haar_unitary(16, seed=41)
    comparison = udecomp.compare(matrix)
    assert comparison.qubits == 4
    assert comparison.lower_bound == 61
    frame = pd.DataFrame(comparison.rows)
    assert list(frame["end_stage"]) == ["basic", "shannon", "numerical"]
    assert list(frame.columns) == ["end_stage", "gates", "cnots", "one_qubit_gates", "depth", "cnot_depth",
                                   "max_entry_difference", "checks_passed", "seconds"]
    assert frame["checks_passed"].all()
    assert (frame["max_entry_difference"] < 1e-12).all()
    assert list(frame["cnots"])[1:] == [95, 61]
    for row in comparison.rows:
        circuit = comparison.circuit(row["end_stage"])
        assert circuit.end_stage == row["end_stage"]
        assert circuit.cnot_count == row["cnots"] and len(circuit) == row["gates"]
        assert np.abs(compose_gates(circuit.gates, 4) - matrix).max() < 1e-12
        separate = udecomp.decompose(matrix, end_stage=row["end_stage"])
        assert (separate.cnot_count, len(separate)) == (row["cnots"], row["gates"])
    assert "<table>" in comparison._repr_html_() and "lower bound (4 qubits)" in comparison._repr_html_()


def test_an_end_stage_that_was_not_compared_is_refused():
    comparison = udecomp.compare(np.eye(4))
    assert [row["cnots"] for row in comparison.rows] == [0, 0, 0]
    with pytest.raises(ValueError, match="is not one of the compared basic, shannon, numerical"):
        comparison.circuit("toffoli")
