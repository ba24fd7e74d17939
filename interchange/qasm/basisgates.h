#pragma once
// A circuit of one-qubit gates and CNOTs in a standard gate set, Qiskit's
// spelling: u3 and cx; rz, sx, x and cx (IBM's); rz, sx, x and cz. Exact up
// to a global phase, which is kept beside the operations.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/synthesis/gate.h"
#include "interchange/qasm/exporter.h"

enum class BasisGates { u3Cx, rzSxXCx, rzSxXCz };

// The set these names spell, in any order; empty for any other names.
std::optional<BasisGates> basisGatesOf(const std::vector<std::string>& names);
// The sets as they are spelled, for messages: "u3,cx", "rz,sx,x,cx", "rz,sx,x,cz".
std::string basisGatesChoices();

struct BasisOperation {
    std::string name;
    std::vector<int> qubits;  // qubits of the program (1 = most significant); control first
    std::vector<double> params;
};

struct BasisCircuit {
    std::vector<BasisOperation> operations;  // the first acts first
    double globalPhase = 0.0;                // the circuit is e^(i globalPhase) times the operations
};

// Neighbouring one-qubit gates on a wire are merged first; a one-qubit gate
// that is the identity to rounding is left out. Throws std::invalid_argument
// for a gate with controls that is not a CNOT.
BasisCircuit basisCircuit(std::span<const TGATE1> gates, int qubitCount, BasisGates basis);

// The operations as OpenQASM 2.0 (the global phase in a comment) or 3 (gphase).
std::string basisQasmText(const BasisCircuit& circuit, int qubitCount, QasmVersion version);
