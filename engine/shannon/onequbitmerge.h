#pragma once
// Neighbouring one-qubit gates merged into one exact 2 x 2 gate.

#include "engine/shannon/gatelist.h"
#include "engine/shannon/routetolerances.h"

// Rewrites `gates` so that between two controlled gates each wire carries at
// most one one-qubit gate: the product of the run it replaces (the later gate
// on the left). A product within `identityTolerance` of the identity is left out. Then
// cancels two equal CNOTs with nothing between them on their wires, and
// merges again, until nothing changes.
void mergeOneQubitGates(GateList& gates, int qubitCount, double identityTolerance = identityGateTolerance);
// The same in place on a span; the merged gates are its first `returned` entries.
std::size_t mergeOneQubitGates(std::span<TGATE1> gates, int qubitCount,
                               double identityTolerance = identityGateTolerance);
