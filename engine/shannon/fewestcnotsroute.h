#pragma once
// The fewest-CNOT route on an Eigen matrix, for the code that has one.

#include "engine/shannon/fewestcnots.h"
#include "engine/shannon/matrixtypes.h"

// fewestCnotsCircuit for u of size 2^n, n = 2..10.
GateList fewestCnotsCircuit(const CMat& u, const FewestCnotsOptions& options = {});
