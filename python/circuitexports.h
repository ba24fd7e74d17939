#pragma once
// What a finished circuit gives back: its matrix, its OpenQASM text, its picture
// and the *.mat file, each through the routine the window uses for it.

#include <string>

#include "interchange/qasm/exporter.h"
#include "python/circuitresult.h"
#include "python/inputmatrix.h"

// The composition of the whole circuit (gate 1 acts first); throws Refusal when
// the run built no circuit.
SquareMatrix circuitMatrix(const CircuitResult& circuit);

// The OpenQASM text; throws Refusal with the exporter's reason, or when the run
// built no circuit.
std::string circuitQasm(const CircuitResult& circuit, QasmVersion version);

// The SVG picture of gates 1..min(count, shownGates) as the window draws them;
// when gates are left out, a line under the picture says how many. Throws
// Refusal when the picture cannot be laid out or the run built no circuit.
std::string circuitSvg(const CircuitResult& circuit, int shownGates);

// Writes the matrix and the report of the run as the window's File > Save does.
// Throws FileError (the old file is then intact).
void saveCircuitMatFile(const CircuitResult& circuit, const std::string& path);
