#pragma once
// Reads back exactly the OpenQASM subset that the exports write, into a gate list
// that kompozicia can compose. Anything outside the subset is an error.

#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/synthesis/gate.h"

class Presentation;

struct QasmSyntaxError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ParsedQasm {
    int version = 0;  // 2 or 3
    int qubitCount = 0;
    // Gate g in slot g, slot 0 unused; q[i] is qubit i + 1.
    std::vector<TGATE1> gates;
    // Sum of the uncontrolled gphase angles, in radians.
    double globalPhase = 0.0;

    int gateCount() const { return static_cast<int>(gates.size()) - 1; }
};

// Tools read cu3 in two ways that differ by a phase on the control: as the gates of its
// body in qelib1.inc, or as the controlled uMatrix3.
enum class Cu3Reading { qelib1Body, controlledU };

// Parses one exported program; throws QasmSyntaxError naming the line on anything
// outside the subset. cu1 is expanded into the gates of its qelib1.inc body.
ParsedQasm readQasm(std::string_view text, Cu3Reading cu3Reading = Cu3Reading::qelib1Body);

// [[cos(t/2), -e^(i l) sin(t/2)], [e^(i p) sin(t/2), e^(i(p+l)) cos(t/2)]].
TMATICA2 uMatrix3(double theta, double phi, double lambda);

// m := the matrix of the parsed program, global phase included.
void programMatrix(const ParsedQasm& program, TMATICA1& m, Presentation& ui);

// m := the matrix of gates 1..count (identity when count is 0).
void circuitMatrix(const TGATE1* gates, int count, int qubitCount, TMATICA1& m, Presentation& ui);
