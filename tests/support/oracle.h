#pragma once
// The pipeline tests' oracle: compose the produced circuit and compare it with
// the input, plus builders of unitaries that stress the numerics.
// Every builder takes the qubit count n and fills the leading 2^n block.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kernel/matrix.h"

class Presentation;
struct Workspace;

// Largest modulus of an entry difference over the leading n x n block (NaN gives NaN).
double maxDifference(const TMATICA1& x, const TMATICA1& y, int n);

// Composes gates 1..pocetb1 of the workspace with kompozicia and returns the
// largest entry difference to `expected` over the matrixSize block.
double compositionError(const Workspace& ws, Presentation& ui, const TMATICA1& expected);

// Largest number of controls over gates 1..pocetb1 (-1 for an empty circuit).
int maxControlCount(const Workspace& ws);

// Sets the qubit count, the matrix size and matrixA (the circuit is left alone).
void loadUnitary(Workspace& ws, const TMATICA1& m, int qubits);

TMATICA1 identityUnitary(int qubits);
// z times the identity (-I, i I and the like).
TMATICA1 scalarUnitary(int qubits, Complex z);
// diag(e^(i a_k)) with random angles, some of them exactly 0 or pi.
TMATICA1 diagonalPhases(int qubits, std::uint64_t seed);
// A random permutation matrix: exact zeros and ones only.
TMATICA1 permutationUnitary(int qubits, std::uint64_t seed);
// A random permutation times the rotation [[cos a, -sin a], [sin a, cos a]] on
// two random levels: a structured matrix with entries of size sin a beside zeros.
TMATICA1 permutationTimesRotation(int qubits, std::uint64_t seed, double angle);
// The full matrix of u on `target` controlled by every other qubit.
TMATICA1 fullyControlledGate(int qubits, int target, const TMATICA2& u);
// I - 2 v v* for a random unit vector v (a Householder reflection).
TMATICA1 reflection(int qubits, std::uint64_t seed);
// A permutation times 2 x 2 random blocks on disjoint pairs of states:
// two nonzero entries per row, the rest exact zeros.
TMATICA1 sparseUnitary(int qubits, std::uint64_t seed);
// A random unitary (Gram-Schmidt on a complex Gaussian matrix), reproducible from the seed.
TMATICA1 seededRandomUnitary(int qubits, std::uint64_t seed);
// The random matrix that the window generates (and `--random N --seed S`).
TMATICA1 programRandomUnitary(int qubits, std::uint64_t seed);
// m plus random entries of modulus at most eps (no longer exactly unitary).
TMATICA1 perturbed(const TMATICA1& m, int qubits, double eps, std::uint64_t seed);

struct NamedUnitary {
    std::string name;
    TMATICA1 matrix;
};

// The awkward matrices above, each once, for n qubits.
std::vector<NamedUnitary> awkwardUnitaries(int qubits);
