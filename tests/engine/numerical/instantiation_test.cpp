// The instantiation of CNOT templates: its Jacobian, its convergence at the
// lower bound and its failure one CNOT below, its determinism.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/kernel/randomgenerator.h"
#include "engine/numerical/instantiation.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/haarrandom.h"

namespace {

CMat haarUnitary(int qubits, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    return toCMat(haarRandomUnitary(1 << qubits, random));
}

double compositionError(const GateList& gates, int qubits, const CMat& u)
{
    return largestDifference(toCMat(circuitProduct(gates, qubits)), u);
}

TEST(CnotTemplate, BoundAndPairsFollowTheFormulaAndTheCycle)
{
    EXPECT_EQ(cnotLowerBound(2), 3);
    EXPECT_EQ(cnotLowerBound(3), 14);
    EXPECT_EQ(cnotLowerBound(4), 61);
    EXPECT_EQ(cnotLowerBound(5), 252);
    const CnotTemplate t = cyclingTemplate(4, 8);
    ASSERT_EQ(t.units.size(), 8u);
    EXPECT_EQ(t.units[3].control, 1);
    EXPECT_EQ(t.units[3].target, 4);
    EXPECT_EQ(t.units[6].control, 1);  // the cycle of six starts again
    EXPECT_EQ(t.units[6].target, 2);
    EXPECT_EQ(parameterCount(cyclingTemplate(3, 14)), 3 * 3 + 6 * 14 + 1);
}

// Every column of the closed-form Jacobian against a central difference of the
// residual, at random parameters, on three and four qubits.
TEST(Instantiation, JacobianMatchesACentralDifference)
{
    for (const int qubits : {3, 4}) {
        const CnotTemplate t = cyclingTemplate(qubits, 7);
        const CMat u = haarUnitary(qubits, 5);
        RandomGenerator random;
        random.fixSeed(11);
        Parameters x(parameterCount(t));
        for (int j = 0; j < x.size(); ++j)
            x(j) = 6.0 * random.drawReal() - 3.0;
        Eigen::VectorXd r, plus, minus;
        Eigen::MatrixXd jacobian, unused;
        residualAndJacobian(t, x, u, r, jacobian);
        ASSERT_EQ(jacobian.cols(), x.size());
        ASSERT_EQ(jacobian.rows(), 2 * u.size());
        EXPECT_LT((r - [&] {
                      const CMat d = templateMatrix(t, x) - u;
                      Eigen::VectorXd v(2 * d.size());
                      for (Eigen::Index k = 0; k < d.size(); ++k) {
                          v(k) = d(k).real();
                          v(d.size() + k) = d(k).imag();
                      }
                      return v;
                  }())
                      .cwiseAbs()
                      .maxCoeff(),
                  1e-14);
        constexpr double h = 1e-6;
        for (int j = 0; j < x.size(); ++j) {
            Parameters up = x, down = x;
            up(j) += h;
            down(j) -= h;
            residualAndJacobian(t, up, u, plus, unused);
            residualAndJacobian(t, down, u, minus, unused);
            const Eigen::VectorXd difference = (plus - minus) / (2.0 * h);
            const double scale = std::max(1.0, difference.norm());
            EXPECT_LT((jacobian.col(j) - difference).norm() / scale, 1e-6) << qubits << " qubits, parameter " << j;
        }
    }
}

TEST(Instantiation, ReachesRandomThreeQubitMatricesAtTheBoundExactly)
{
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        const CMat u = haarUnitary(3, seed);
        const CnotTemplate t = cyclingTemplate(3, cnotLowerBound(3));
        const Instantiation found = instantiate(u, t, {});
        ASSERT_TRUE(found.converged) << "seed " << seed << ", error " << found.maxEntryError;
        EXPECT_LE(found.maxEntryError, 1e-13);
        const GateList gates = templateGates(t, found.x);
        EXPECT_EQ(cnotCount(gates), 14);
        EXPECT_LT(compositionError(gates, 3, u), 1e-12) << "the program's own composition, global phase included";
    }
}

TEST(Instantiation, OneCnotBelowTheBoundDoesNotConverge)
{
    const CMat u = haarUnitary(3, 4);
    InstantiationLimits limits;
    limits.starts = 2;
    const Instantiation found = instantiate(u, cyclingTemplate(3, cnotLowerBound(3) - 1), limits);
    EXPECT_FALSE(found.converged);
    EXPECT_EQ(found.starts, 2);
    EXPECT_GT(found.maxEntryError, 1e-6);
}

TEST(Instantiation, TheSameMatrixGivesTheSameParametersToTheBit)
{
    const CMat u = haarUnitary(3, 6);
    const CnotTemplate t = cyclingTemplate(3, 14);
    const Instantiation first = instantiate(u, t, {});
    const Instantiation second = instantiate(u, t, {});
    ASSERT_EQ(first.x.size(), second.x.size());
    for (int j = 0; j < first.x.size(); ++j)
        EXPECT_EQ(first.x(j), second.x(j)) << j;
    EXPECT_EQ(first.evaluations, second.evaluations);
}

TEST(Instantiation, StopsWhenTheCallerSaysSo)
{
    int asked = 0;
    EXPECT_THROW(instantiate(haarUnitary(3, 7), cyclingTemplate(3, 14), {}, [&] { return ++asked < 3; }),
                 InstantiationCancelled);
    EXPECT_EQ(asked, 3);
}

}  // namespace

namespace {

// The slower one: four qubits at 61 CNOTs, about half a second.
TEST(Instantiation, ReachesARandomFourQubitMatrixAtTheBoundExactly)
{
    const CMat u = haarUnitary(4, 1);
    const CnotTemplate t = cyclingTemplate(4, cnotLowerBound(4));
    const Instantiation found = instantiate(u, t, {});
    ASSERT_TRUE(found.converged) << found.maxEntryError;
    const GateList gates = templateGates(t, found.x);
    EXPECT_EQ(cnotCount(gates), 61);
    EXPECT_LT(compositionError(gates, 4, u), 1e-12);
}

}  // namespace
