// Demultiplexing: Shende, Bullock, Markov (2006), Theorem 12.
#include "engine/shannon/demultiplex.h"

#include <Eigen/Eigenvalues>

Demultiplexed demultiplex(const CMat& p, const CMat& q)
{
    const CMat product = p * q.adjoint();
    Eigen::ComplexSchur<CMat> schur(product);
    Demultiplexed result;
    result.v = schur.matrixU();
    const int size = static_cast<int>(p.rows());
    result.d.resize(size);
    for (int j = 0; j < size; ++j) {
        // The eigenvalue's modulus is 1 to rounding; its unit root keeps D unitary.
        const Scalar eigenvalue = schur.matrixT()(j, j);
        result.d(j) = std::polar(1.0, std::arg(eigenvalue) / 2.0);
    }
    // w = D v^dagger q, so that v D w = v D^2 v^dagger q = p and v D^dagger w = q.
    result.w = result.d.asDiagonal() * (result.v.adjoint() * q);
    return result;
}
