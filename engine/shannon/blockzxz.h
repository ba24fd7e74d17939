#pragma once
// One level of the block-ZXZ factorization of a unitary (De Vos and De
// Baerdemacker, Phys. Rev. A 94, 052317 (2016); Krol and Al-Ars,
// arXiv:2403.13692 (2024)).

#include "engine/shannon/matrixtypes.h"

// U = diag(a1, a2) * (H (x) I) * diag(I, b) * (H (x) I) * diag(I, c), with H the
// Hadamard gate on the first qubit and a1, a2, b, c unitary of half the size.
struct BlockZxz {
    CMat a1;
    CMat a2;
    CMat b;
    CMat c;
};

// Factors the unitary u (even size); the factors are unitary to rounding also
// when a block of u is singular. With `sideBySide` the two polar decompositions
// run side by side (the factors are the same).
BlockZxz blockZxz(const CMat& u, bool sideBySide = false);

// The product the factors stand for, for checks.
CMat blockZxzProduct(const BlockZxz& f);
