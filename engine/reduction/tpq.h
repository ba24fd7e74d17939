#pragma once
// Two-level matrices Tpq and the unitarity test of square matrices.

#include "engine/kernel/matrix.h"

class Presentation;

// Fills the n x n block of m with Tpq(p, q, omega, fi): the identity except
// [q,q] = s e^(i fi), [q,p] = c e^(i fi), [p,q] = c, [p,p] = -s (s = sin omega,
// c = cos omega). Bad parameters (not 1 <= q < p <= n) log a line and leave the identity.
void makeTpq(int p, int q, double omega, double fi, TMATICA1& m, int n, Presentation& ui);

// The same for the adjoint of Tpq(p, q, omega, fi).
void makeTpqAdjoint(int p, int q, double omega, double fi, TMATICA1& m, int n, Presentation& ui);

// Replaces the n x n block of m by its conjugate transpose.
void adjointInPlace(TMATICA1& m, int n);

// True when m^dagger * m equals the identity within `tolerance` (NaN fails).
bool isUnitary(const TMATICA1& m, int n, double tolerance);
