#pragma once
// Demultiplexing a multiplexor diag(P, Q) (Shende, Bullock, Markov,
// Synthesis of quantum-logic circuits, IEEE TCAD 25 (2006), Theorem 12).

#include "engine/shannon/matrixtypes.h"

// diag(P, Q) = (I (x) v) * diag(D, D^dagger) * (I (x) w) with D = diag(d):
// w acts first, then qubit 1 gets diag(d_j, conj(d_j)) for each basis state j
// of the other qubits, then v.
struct Demultiplexed {
    CMat v;
    CVec d;
    CMat w;
};

// Splits diag(p, q) for unitary p and q of one size. p * q^dagger is normal, so
// its complex Schur form is diagonal to rounding and v stays unitary also for
// repeated eigenvalues (a general eigensolver does not promise that).
Demultiplexed demultiplex(const CMat& p, const CMat& q);

// The same for p = I, diag(I, q), without the product by the identity.
Demultiplexed demultiplexFromIdentity(const CMat& q);
