#pragma once
// Random unitary matrices as products of random two-level and diagonal factors.

#include "engine/kernel/matrix.h"

class Presentation;
struct Workspace;

// Fills the matrixSize block of m with a product of `count` random factors,
// logs whether it is unitary and shows it in the grid.
void randomUnitary(Workspace& ws, Presentation& ui, TMATICA1& m, int count);
