#pragma once
// n-th roots of 2 x 2 unitary matrices, by diagonalising with eigenvectors.

#include "engine/kernel/matrix.h"

class Presentation;

// The two roots of a x^2 + b x + c = 0 (a nonzero): q = -(b + sign * sqrt(disc)) / 2
// with the sign that avoids cancellation, x1 = q / a, x2 = c / q.
struct QuadraticRoots {
    Complex x1;
    Complex x2;
};
QuadraticRoots quadraticRoots(Complex a, Complex b, Complex c);

// Replaces u by a root r with r^n = u (eigenvalue angles divided by n, so they
// lie in (-pi/n, pi/n]); checks the diagonalisation and r^n against u within
// `tolerance`. On failure logs one "!!!SQRT:" line and leaves u unchanged.
void unitaryRoot2(TMATICA2& u, int n, double tolerance, Presentation& ui);
