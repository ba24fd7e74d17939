#pragma once

#include "engine/kernel/matrix.h"

class Presentation;
struct Workspace;

// Shows the matrixSize x matrixSize block of m in the grid: entries with two
// decimals (column c, row r), binary basis labels in row 0 and column 0.
// Neither resizes nor shows the grid.
void showMatrixInGrid(const Workspace& ws, Presentation& ui, const TMATICA1& m);
