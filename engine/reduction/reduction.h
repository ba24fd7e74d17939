#pragma once
// Reduction of a unitary into two-level factors and a diagonal:
// U * T1 * ... * Tm = D (Reck-style elimination, one row and column per stage).

#include "engine/kernel/matrix.h"

class Presentation;
struct Workspace;

// Clears the Tpq table, its count and the D angles.
void resetReduction(Workspace& ws);

// Stage n (2 <= n <= matrixSize): appends up to n - 1 table entries and
// multiplies a on the right by their product so that row and column n are cleared.
void reduceStage(Workspace& ws, Presentation& ui, TMATICA1& a, int n);
