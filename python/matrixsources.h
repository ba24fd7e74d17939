#pragma once
// Matrices made or read by the program's own routines: a random unitary, the
// unitary of an OpenQASM program, the matrix of a *.mat file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "python/inputmatrix.h"

// A random unitary of `qubits` qubits, as the qubit field makes one; with a seed,
// the same matrix as the command line's --random qubits --seed seed; 6 to 10
// qubits are Haar-random, as the command line makes them. Throws Refusal for a
// count outside 2..10 (below 2 with the field's message).
SquareMatrix randomMatrix(long long qubits, std::optional<std::uint64_t> seed);

// The unitary of an OpenQASM 2.0 or 3 program (global phase included). Throws
// Refusal naming the line and what is not supported.
SquareMatrix qasmMatrix(std::string_view text);

// The matrix of a *.mat file. Throws FileError when the file cannot be read,
// Refusal for an entry that is not a complex number or a refused size.
SquareMatrix matFileMatrix(const std::string& path);
