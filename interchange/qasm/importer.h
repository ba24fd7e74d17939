#pragma once
// Reads an OpenQASM 2.0 or 3 program of 2 to 5 qubits (up to 10 when the caller
// takes them) into the unitary of its circuit.

#include <string>
#include <string_view>

#include "interchange/matrixcontent.h"

class Presentation;

// Bounds of what an import reads.
inline constexpr std::size_t maxQasmFileBytes = 16u << 20;
inline constexpr int maxQasmGateNesting = 32;          // gate calls inside gate definitions
inline constexpr long long maxQasmCircuitGates = 1000000;  // after expanding definitions
inline constexpr int maxQasmPower = 1000;               // |k| of pow(k) @
// Gate calls, power repetitions and body statements an expansion may take per gate of
// the limit, whether they emit a gate or not (an empty body, a phase, a barrier), so that
// no file runs long. A gate of a library takes about 5 steps.
inline constexpr long long qasmStepsPerGate = 6;
// Tokens all gate definitions of a file may hold together, so that no file takes much memory.
inline constexpr std::size_t maxQasmDefinitionTokens = 1000000;
inline constexpr std::size_t maxQasmGateParameters = 64;  // parameters of one gate definition
// Qubits a program may declare: the workspace's five, or the fewest-CNOT route's ten.
inline constexpr int workspaceQasmQubits = 5;
inline constexpr int largestQasmQubits = 10;

// The circuit's unitary (qubit k is q[k-1], q[0] the most significant bit; gphase
// included), as the content of a matrix file. Throws QasmImportError naming the
// line and what is not supported, or that the circuit has more than `gateLimit` gates
// or takes more than qasmStepsPerGate * `gateLimit` steps to expand, or declares
// more than `mostQubits` qubits (2 to largestQasmQubits).
MatrixFileContent qasmUnitary(std::string_view text, Presentation& ui, long long gateLimit = maxQasmCircuitGates,
                              int mostQubits = workspaceQasmQubits);


inline constexpr std::string_view qasmImportedLine = "The matrix was imported from the circuit in the file.";
