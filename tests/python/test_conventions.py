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
    for name in ("qubits", "end_stage", "cnot_count", "gates", "checks"):
        assert getattr(udecomp.Circuit, name).__doc__, name
