// Haar-random unitaries: F. Mezzadri, How to generate random matrices from the
// classical compact groups, Notices of the AMS 54 (2007): the QR factorization
// of a matrix of independent complex Gaussians, Q's columns times the phases of
// R's diagonal.
#include "engine/shannon/haarrandom.h"

#include <cmath>
#include <numbers>

#include <Eigen/QR>

#include "engine/shannon/matrixtypes.h"

namespace {

// A standard complex Gaussian (variance 1/2 per part) by Box-Muller; 1 - u
// keeps the logarithm's argument in (0, 1].
Scalar gaussian(RandomGenerator& random)
{
    const double radius = std::sqrt(-std::log(1.0 - random.drawReal()));
    const double turn = 2.0 * std::numbers::pi * random.drawReal();
    return std::polar(radius, turn);
}

}  // namespace

DenseMatrix haarRandomUnitary(int size, RandomGenerator& random)
{
    random.beginGeneration();
    CMat z(size, size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            z(r, c) = gaussian(random);
    const Eigen::HouseholderQR<CMat> qr(z);
    CMat q = qr.householderQ();
    const CMat& r = qr.matrixQR();
    for (int c = 0; c < size; ++c) {
        const Scalar d = r(c, c);
        q.col(c) *= std::abs(d) > 0.0 ? d / std::abs(d) : Scalar(1.0);
    }
    return toDenseMatrix(q);
}
