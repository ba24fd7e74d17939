"""Every refusal is a Python exception with the program's own text, and the
module prints nothing of its own."""
import errno
import threading

import numpy as np
import pytest

import udecomp

NOT_UNITARY = "Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!"
SIZES = "a square matrix of size 4 to 1024, a power of 2 (2 to 10 qubits), is needed."
UNSUPPORTED = "is not supported: the size has to be a power of 2 from 4 to 1024 (2 to 10 qubits)."


def with_entry(row, column, value):
    matrix = np.eye(4, dtype=complex)
    matrix[row, column] = value
    return matrix


DECOMPOSE_REFUSALS = [
    ("not unitary", 2 * np.eye(4), {}, NOT_UNITARY + "\nThe largest entry of |A^dagger A - I| is 3; the tolerance is 1e-07."),
    ("not unitary at six qubits", 2 * np.eye(64), {"end_stage": "shannon"},
     NOT_UNITARY + "\nThe largest entry of |A^dagger A - I| is 3; the tolerance is 1e-07."),
    ("size 6", np.eye(6), {}, "The matrix size 6 " + UNSUPPORTED),
    ("one qubit", np.eye(2), {}, "The matrix size 2 " + UNSUPPORTED),
    ("eleven qubits", np.eye(2048), {}, "The matrix size 2048 " + UNSUPPORTED),
    ("six qubits, two-level route", np.eye(64), {},
     'A matrix of size 64 can not be decomposed: the end stage "basic gates" works with 2 to 5 qubits '
     "(matrices of size 4 to 32)."),
    ("six qubits, untouched choice", np.eye(64), {"end_stage": "none"},
     'A matrix of size 64 can not be decomposed: the end stage "basic gates" works with 2 to 5 qubits '
     "(matrices of size 4 to 32)."),
    ("NaN", with_entry(0, 1, np.nan), {}, "The entry in row 1, column 2 is not a finite number."),
    ("infinity", with_entry(3, 2, complex(0, np.inf)), {}, "The entry in row 4, column 3 is not a finite number."),
    ("one dimension", np.ones(4), {}, "The matrix has the shape (4,): " + SIZES),
    ("three dimensions", np.ones((4, 4, 1)), {}, "The matrix has the shape (4, 4, 1): " + SIZES),
    ("not square", np.ones((4, 8)), {}, "The matrix has the shape (4, 8): " + SIZES),
    ("a number", 1.0, {}, "The matrix has the shape (): " + SIZES),
    ("unknown end stage", np.eye(4), {"end_stage": "cnot"},
     "The end stage 'cnot' is not one of basic, l1, toffoli, shannon, numerical, none."),
]


@pytest.mark.parametrize("matrix,options,message", [c[1:] for c in DECOMPOSE_REFUSALS],
                         ids=[c[0] for c in DECOMPOSE_REFUSALS])
def test_decompose_refuses_with_the_programs_text(matrix, options, message):
    with pytest.raises(ValueError) as refused:
        udecomp.decompose(matrix, **options)
    assert str(refused.value) == message


@pytest.mark.parametrize("qubits,message", [
    (11, "The number of qubits has to be from 2 to 10, not 11."),
    (1, "The number of Qubits has to be a number > 1"),
    (-2, "The number of Qubits has to be a number > 1"),
])
def test_random_unitary_refuses_the_qubit_fields_counts(qubits, message):
    with pytest.raises(ValueError) as refused:
        udecomp.random_unitary(qubits)
    assert str(refused.value) == message


def test_import_qasm_names_the_line():
    with pytest.raises(ValueError) as refused:
        udecomp.import_qasm("OPENQASM 2.0;\nqreg q[2];\nfoo q[0];\n")
    assert str(refused.value) == "The circuit cannot be imported: line 3: unknown gate 'foo'."


def test_files_that_cannot_be_read_or_written(tmp_path):
    missing = tmp_path / "missing.mat"
    with pytest.raises(FileNotFoundError) as refused:
        udecomp.load_mat(missing)
    assert refused.value.errno == errno.ENOENT and refused.value.filename == str(missing)
    with pytest.raises(IsADirectoryError):
        udecomp.load_mat(tmp_path)

    truncated = tmp_path / "truncated.mat"
    truncated.write_text("4\r\n{{1,0,0")
    with pytest.raises(ValueError, match=f'"{truncated}": The file ends inside entry 3 of row 1.'):
        udecomp.load_mat(truncated)

    circuit = udecomp.decompose(np.eye(4))
    target = tmp_path / "no folder" / "x.mat"
    with pytest.raises(OSError) as refused:
        circuit.save_mat(target)
    assert str(refused.value) == f"Cannot write the file {target}: No such file or directory"


def mat_text(rows):
    return f"{len(rows)}\r\n{{" + ",\r\n".join("{" + ",".join(row) + "}" for row in rows) + "}\r\n"


def identity_rows(size):
    return [["1" if r == c else "0" for c in range(size)] for r in range(size)]


def test_mat_file_entries_and_sizes(tmp_path):
    rows = identity_rows(4)
    rows[2][3] = "1+x"
    bad_entry = tmp_path / "entry.mat"
    bad_entry.write_text(mat_text(rows), newline="")
    with pytest.raises(ValueError, match=r"The entry in row 3, column 4"):
        udecomp.load_mat(bad_entry)

    six = tmp_path / "six.mat"
    six.write_text(mat_text(identity_rows(6)), newline="")
    with pytest.raises(ValueError) as refused:
        udecomp.load_mat(six)
    assert str(refused.value) == \
        "The matrix size 6 is not supported: the size has to be 4, 8, 16 or 32 (2 to 5 qubits)."

    four = tmp_path / "four.mat"
    four.write_text(mat_text(identity_rows(4)), newline="")
    assert np.array_equal(udecomp.load_mat(four), np.eye(4))


def test_nothing_is_printed(capfd):
    matrix = udecomp.random_unitary(3, seed=2)
    udecomp.decompose(matrix, self_check=True)
    udecomp.decompose(matrix, end_stage="none")
    for refused in (np.eye(6), 2 * np.eye(8)):
        with pytest.raises(ValueError):
            udecomp.decompose(refused)
    assert capfd.readouterr() == ("", "")


@pytest.mark.parametrize("stage", ["basic", "shannon"])
def test_two_threads_decompose_different_matrices_at_once(stage):
    matrices = [udecomp.random_unitary(4, seed=21), udecomp.random_unitary(4, seed=22)]
    expected = [udecomp.decompose(m, end_stage=stage) for m in matrices]
    results = [None, None]
    start = threading.Barrier(2)

    def run(k):
        start.wait()
        for _ in range(3):
            results[k] = udecomp.decompose(matrices[k], end_stage=stage)

    threads = [threading.Thread(target=run, args=(k,)) for k in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for matrix, alone, together in zip(matrices, expected, results):
        assert np.max(np.abs(together.unitary() - matrix)) < 1e-11
        assert [g.matrix.tobytes() for g in together.gates] == [g.matrix.tobytes() for g in alone.gates]


def test_the_engine_runs_without_the_gil():
    matrix = udecomp.random_unitary(5, seed=3)
    count = [0]
    stop = threading.Event()

    def spin():
        while not stop.is_set():
            count[0] += 1

    spinner = threading.Thread(target=spin)
    spinner.start()
    try:
        before = count[0]
        udecomp.decompose(matrix)
        during = count[0] - before
    finally:
        stop.set()
        spinner.join()
    # Holding the GIL for the whole call would leave the spinner a switch or two.
    assert during > 1000


def test_a_path_with_a_nul_is_refused_and_writes_nothing(tmp_path):
    circuit = udecomp.decompose(np.eye(4))
    with pytest.raises(ValueError, match="NUL"):
        circuit.save_mat(str(tmp_path / "k.mat\0y"))
    with pytest.raises(ValueError, match="NUL"):
        udecomp.load_mat(str(tmp_path / "k.mat\0y"))
    assert list(tmp_path.iterdir()) == []


def test_load_mat_refuses_a_fifo_at_once_and_lets_other_threads_run(tmp_path):
    import os
    fifo = tmp_path / "f.mat"
    os.mkfifo(fifo)
    outcome = []

    def load():
        try:
            udecomp.load_mat(fifo)
        except OSError as error:
            outcome.append(str(error))

    reader = threading.Thread(target=load, daemon=True)
    reader.start()
    reader.join(timeout=10)
    assert not reader.is_alive(), "load_mat waits on the FIFO"
    assert outcome and "named pipe (FIFO), not a regular file" in outcome[0]
