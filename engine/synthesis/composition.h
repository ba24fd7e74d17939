#pragma once
// The matrix of a run of gates, fast and with the doubles of the plain
// definition (the first gate's full matrix, times each further one with matMul).

#include <span>

#include "engine/synthesis/gate.h"

struct GateRunResult {
    int applied = 0;    // gates applied, counted from the first
    int malformed = 0;  // of those, the gates gateMatrix reports as written wrongly
};

// m := G(last) * ... * G(first), each G(g) the full matrix of gates[g - 1]
// over the 2^qubitCount block, with the doubles that gateMatrix of the first
// gate and matMul by each further one give. Works only while every entry is
// finite: it applies nothing when the first gate is not, and stops after the
// gate that makes an entry infinite or NaN, so that the caller finishes with
// the plain product.
GateRunResult composeGates(std::span<const TGATE1> gates, TMATICA1& m, int qubitCount);
