#pragma once
// Applying a run of gates to a matrix on the left, fast and with the doubles
// of the plain definition (each gate's full matrix times m with matMul).

#include <span>

#include "engine/synthesis/gate.h"

struct GateRunResult {
    int applied = 0;    // gates applied, counted from the first
    int malformed = 0;  // of those, the gates gateMatrix reports as written wrongly
};

// m := G(last) * ... * G(first) * m over the 2^qubitCount block, each G(g) the
// full matrix of gates[g - 1], with the same doubles as gateMatrix and matMul
// give. Works only while every entry is finite: it applies nothing to an m
// that is not, and stops after the gate that makes an entry infinite or NaN,
// so that the caller finishes with the plain product.
GateRunResult applyGates(std::span<const TGATE1> gates, TMATICA1& m, int qubitCount);
