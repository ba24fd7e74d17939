// Demultiplexing: Shende, Bullock, Markov (2006), Theorem 12.
#include "engine/shannon/demultiplex.h"

#include <Eigen/Eigenvalues>

namespace {

// The split of diag(p, q) from product = p * q^dagger.
Demultiplexed demultiplexProduct(const CMat& product, const CMat& q)
{
    Demultiplexed result;
    const Eigen::ComplexSchur<CMat> schur(product);
    result.v = schur.matrixU();
    const CVec eigenvalues = schur.matrixT().diagonal();
    const int size = static_cast<int>(q.rows());
    result.d.resize(size);
    for (int j = 0; j < size; ++j) {
        // The eigenvalue's modulus is 1 to rounding; its unit root keeps D unitary.
        result.d(j) = std::polar(1.0, std::arg(eigenvalues(j)) / 2.0);
    }
    // w = D v^dagger q, so that v D w = v D^2 v^dagger q = p and v D^dagger w = q.
    result.w = result.d.asDiagonal() * (result.v.adjoint() * q);
    return result;
}

}  // namespace

Demultiplexed demultiplex(const CMat& p, const CMat& q) { return demultiplexProduct(p * q.adjoint(), q); }

Demultiplexed demultiplexFromIdentity(const CMat& q) { return demultiplexProduct(q.adjoint(), q); }
