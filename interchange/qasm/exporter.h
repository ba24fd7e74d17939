#pragma once
// OpenQASM 3 and OpenQASM 2.0 text of the workspace circuit (gates 1..pocetb1).

#include <span>
#include <string>

#include "engine/kernel/matrix.h"
#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

enum class QasmVersion { v3, v2 };

// u = e^(i gamma) U(theta, phi, lambda), where
// U = [[cos(theta/2), -e^(i lambda) sin(theta/2)], [e^(i phi) sin(theta/2), e^(i(phi+lambda)) cos(theta/2)]].
// theta lies in [0, pi], the other angles in [-pi, pi]; all in radians.
struct UAngles {
    double theta = 0.0;
    double phi = 0.0;
    double lambda = 0.0;
    double gamma = 0.0;
};

// x with 17 significant digits, which read back to the same double (and 0, never -0).
void appendNumber(std::string& out, double x);

// Angles of a 2 x 2 unitary; exact to rounding for theta near 0 and near pi too.
UAngles uAngles(const TMATICA2& u);

// The text of an export, or the reason it was refused (then `text` is empty).
struct QasmExport {
    std::string text;
    std::string refusal;
    bool ok() const { return refusal.empty(); }
};

// A circuit to export: gates[0] acts first (it is gate 1 in the texts).
struct QasmCircuit {
    std::span<const TGATE1> gates;
    int qubitCount = 0;
    double tolerance = 1e-7;  // how far from unitary a gate's matrix may be
};

// The workspace's circuit, gates 1..pocetb1.
QasmCircuit qasmCircuitOf(const Workspace& ws);

// OpenQASM 3 program of the circuit, exact including the global phase. Refuses a
// gate whose qubits are out of range or repeated, or whose matrix is not unitary
// within the circuit's tolerance.
QasmExport qasm3Text(const QasmCircuit& circuit);
QasmExport qasm3Text(const Workspace& ws);

// OpenQASM 2.0 program (u3, cx, u1, cu3 of qelib1.inc), equal to the circuit up to a
// global phase. Refuses as qasm3Text does, and also a gate with two or more controls.
QasmExport qasm2Text(const QasmCircuit& circuit);
QasmExport qasm2Text(const Workspace& ws);

// Writes the export of the circuit to `path`. On a refusal or a file error shows the
// reason as an error message and returns false.
bool exportQasm(const QasmCircuit& circuit, QasmVersion version, const std::string& path, Presentation& ui);
bool exportQasm(const Workspace& ws, QasmVersion version, const std::string& path, Presentation& ui);
