// Demultiplexing: Shende, Bullock, Markov (2006), Theorem 12.
#include "engine/shannon/demultiplex.h"

#include <Eigen/Eigenvalues>

namespace {

// Up to this size the complex Schur form is quick; above it a Hermitian
// eigenproblem, several times cheaper, is tried first.
constexpr Eigen::Index largestSchurFirst = 16;
// How far from diagonal v^dagger w v may be for v to count as w's eigenvectors:
// rounding at these sizes, well below what the circuit may be off.
constexpr double diagonalizationTolerance = 1e-13;

// Eigenvectors v and eigenvalues of the unitary w. For unitary w the Hermitian
// matrices (w + w^dagger) / 2 and (w - w^dagger) / 2i commute, so a combination
// of them has w's eigenvectors unless two eigenvalues meet in it; the result is
// kept only when it diagonalizes w, else the next weight is tried.
bool diagonalizeByHermitianParts(const CMat& w, CMat& v, CVec& eigenvalues)
{
    const CMat hermitian = (w + w.adjoint()) / 2.0;
    const CMat skew = (w - w.adjoint()) / Scalar(0.0, 2.0);
    for (const double weight : {0.5772156649015329, -1.4142135623730951, 2.718281828459045}) {
        const Eigen::SelfAdjointEigenSolver<CMat> solver(hermitian + weight * skew);
        const CMat d = solver.eigenvectors().adjoint() * w * solver.eigenvectors();
        const CMat offDiagonal = d - CMat(d.diagonal().asDiagonal());
        if (offDiagonal.cwiseAbs().maxCoeff() <= diagonalizationTolerance) {
            v = solver.eigenvectors();
            eigenvalues = d.diagonal();
            return true;
        }
    }
    return false;
}

}  // namespace

Demultiplexed demultiplex(const CMat& p, const CMat& q)
{
    const CMat product = p * q.adjoint();
    Demultiplexed result;
    CVec eigenvalues;
    if (product.rows() <= largestSchurFirst || !diagonalizeByHermitianParts(product, result.v, eigenvalues)) {
        const Eigen::ComplexSchur<CMat> schur(product);
        result.v = schur.matrixU();
        eigenvalues = schur.matrixT().diagonal();
    }
    const int size = static_cast<int>(p.rows());
    result.d.resize(size);
    for (int j = 0; j < size; ++j) {
        // The eigenvalue's modulus is 1 to rounding; its unit root keeps D unitary.
        result.d(j) = std::polar(1.0, std::arg(eigenvalues(j)) / 2.0);
    }
    // w = D v^dagger q, so that v D w = v D^2 v^dagger q = p and v D^dagger w = q.
    result.w = result.d.asDiagonal() * (result.v.adjoint() * q);
    return result;
}
