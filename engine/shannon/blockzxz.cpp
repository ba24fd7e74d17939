// Block-ZXZ factorization: De Vos and De Baerdemacker (2016), Krol and Al-Ars (2024).
#include "engine/shannon/blockzxz.h"

#include <cmath>
#include <functional>

#include <Eigen/SVD>

#include "engine/shannon/sidebyside.h"

namespace {

const Scalar imagUnit{0.0, 1.0};

struct Polar {
    CMat hermitian;  // positive semidefinite
    CMat unitary;
};

// Up to this size the one-sided Jacobi SVD, the most accurate, is also quick;
// above it its cost grows too fast and divide and conquer takes over.
constexpr Eigen::Index largestJacobiSvd = 16;

Polar polarFromSvd(const CMat& p, const CMat& q, const Eigen::VectorXd& singularValues)
{
    const CMat scaled = p * singularValues.cast<Scalar>().asDiagonal();
    return {scaled * p.adjoint(), p * q.adjoint()};
}

// m = hermitian * unitary from the SVD m = P S Q^dagger: P S P^dagger and P Q^dagger.
// Unlike m * (m^dagger m)^(-1/2) this stays well defined for a singular m.
Polar polar(const CMat& m)
{
    if (m.rows() <= largestJacobiSvd) {
        const Eigen::JacobiSVD<CMat> svd(m, Eigen::ComputeFullU | Eigen::ComputeFullV);
        return polarFromSvd(svd.matrixU(), svd.matrixV(), svd.singularValues());
    }
    const Eigen::BDCSVD<CMat> svd(m, Eigen::ComputeFullU | Eigen::ComputeFullV);
    return polarFromSvd(svd.matrixU(), svd.matrixV(), svd.singularValues());
}

}  // namespace

BlockZxz blockZxz(const CMat& u, bool sideBySide)
{
    const int half = static_cast<int>(u.rows()) / 2;
    const CMat x = u.topLeftCorner(half, half);
    const CMat y = u.topRightCorner(half, half);
    const CMat z = u.bottomLeftCorner(half, half);
    const CMat w = u.bottomRightCorner(half, half);
    Polar px;
    Polar py;
    const std::function<void()> polars[] = {[&] { px = polar(x); }, [&] { py = polar(y); }};
    if (sideBySide)
        runSideBySide(polars);
    else
        for (const auto& task : polars)
            task();

    // X X^dagger + Y Y^dagger = I, so S_X and S_Y commute and S_X^2 + S_Y^2 = I.
    BlockZxz f;
    f.c = -imagUnit * (px.unitary.adjoint() * py.unitary);
    f.a1 = (px.hermitian + imagUnit * py.hermitian) * px.unitary;
    f.a2 = z + w * f.c.adjoint();
    f.b = 2.0 * (f.a1.adjoint() * x) - CMat::Identity(half, half);
    return f;
}

CMat blockZxzProduct(const BlockZxz& f)
{
    const int half = static_cast<int>(f.a1.rows());
    const CMat id = CMat::Identity(half, half);
    // (H (x) I) diag(I, B) (H (x) I) = 1/2 [[I + B, I - B], [I - B, I + B]].
    CMat middle(2 * half, 2 * half);
    middle << (id + f.b) / 2.0, (id - f.b) / 2.0, (id - f.b) / 2.0, (id + f.b) / 2.0;
    CMat left = CMat::Zero(2 * half, 2 * half);
    left.topLeftCorner(half, half) = f.a1;
    left.bottomRightCorner(half, half) = f.a2;
    CMat right = CMat::Identity(2 * half, 2 * half);
    right.bottomRightCorner(half, half) = f.c;
    return left * middle * right;
}
