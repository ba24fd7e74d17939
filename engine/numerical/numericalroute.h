#pragma once
// Basic gates at the lower bound of CNOTs, by numerical instantiation: 14 at
// three qubits, 61 at four, and at five one block-ZXZ level (46 CNOTs) whose
// four 4-qubit halves are instantiated at 61 each, 290 in all. Two qubits take
// the fewest-CNOT route's two-qubit circuit, already at the bound of 3.
//
// The circuit never has more CNOTs than the fewest-CNOT route's: a block that
// route makes at or below the bound (a structured one) keeps its circuit, and
// so does a block whose instantiation does not converge within its starts.

#include <functional>
#include <vector>

#include "engine/kernel/densematrix.h"
#include "engine/numerical/instantiationcancelled.h"
#include "engine/shannon/gatelist.h"

inline constexpr int numericalFewestQubits = 2;
inline constexpr int numericalMostQubits = 5;

// What became of one instantiated block (one at 3 and 4 qubits, four at 5).
struct BlockReport {
    int qubits = 0;
    int cnots = 0;            // of the circuit kept for the block
    int fewestCnots = 0;      // of the fewest-CNOT route's circuit for it
    bool structured = false;  // that circuit was at or below the bound, so no instantiation ran
    bool converged = false;
    int starts = 0;
    int evaluations = 0;
    double error = 0.0;  // largest entry error of the instantiated circuit (when converged)
};

struct NumericalCircuit {
    GateList gates;
    std::vector<BlockReport> blocks;
    // The fewest-CNOT route's circuit for the whole matrix was kept: it had no more CNOTs.
    bool fewestCnotsKept = false;
};

struct NumericalOptions {
    // The CNOTs of each block's template; 0 takes the lower bound (14 at three
    // qubits, 61 at four). Fewer than the bound leave a generic block to its fallback.
    int cnotsPerBlock = 0;
};

// How many blocks numericalCircuit instantiates for a matrix of qubitCount qubits.
int numericalBlockCount(int qubitCount);

// Told the blocks done before each evaluation of the instantiation; when it
// returns false the run stops with InstantiationCancelled.
using BlockProgress = std::function<bool(int blocksDone, int blocksToDo)>;

// One-qubit gates and CNOTs for the unitary u of 2 to 5 qubits, gate 0 acting
// first, exact with its global phase (within exactCircuitBound). The same
// matrix gives the same circuit on every run: the starts have fixed seeds.
NumericalCircuit numericalCircuit(const DenseMatrix& u, const BlockProgress& progress = {},
                                  const NumericalOptions& options = {});
