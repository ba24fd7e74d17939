// The fewest-CNOT route as a whole: composition equals the input to 1e-12,
// global phase included, with the CNOT counts of the field's best analytic method.
#include "engine/shannon/fewestcnots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "engine/kernel/nearestunitary.h"
#include "routecheck.h"

namespace {

constexpr std::array<int, 6> genericCnots{0, 0, 3, 19, 95, 423};

TEST(FewestCnots, RandomMatricesAreExactWithinTheGenericCounts)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        std::map<int, int> histogram;
        double worst = 0.0;
        // Half Haar-random, half the program's own random matrices.
        for (int k = 0; k < 200; ++k) {
            const TMATICA1 input =
                k % 2 == 0 ? seededRandomUnitary(qubits, 100 + k) : programRandomUnitary(qubits, 100 + k);
            const RouteResult r = runRoute(input, qubits);
            EXPECT_LE(r.error, 1e-12) << qubits << " qubits, sample " << k;
            EXPECT_LE(r.cnots, genericCnots[qubits]) << qubits << " qubits, sample " << k;
            EXPECT_TRUE(r.wellFormed) << qubits << " qubits, sample " << k;
            EXPECT_TRUE(r.oneGatePerWire) << qubits << " qubits, sample " << k;
            ++histogram[r.cnots];
            worst = std::max(worst, r.error);
        }
        std::cout << "[ counts   ] " << qubits << " qubits:";
        for (const auto& [cnots, times] : histogram)
            std::cout << ' ' << cnots << " x" << times;
        std::cout << "; worst error " << worst << '\n';
    }
}

}  // namespace

namespace {

struct StructuredCase {
    std::string name;
    TMATICA1 matrix;
    int maxCnots;  // the count the structure allows
};

std::vector<StructuredCase> structuredCases(int qubits)
{
    const int generic = genericCnots[qubits];
    const TMATICA2 notGate{{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    const TMATICA2 phase{{1.0, 0.0}, {}, {}, fromPolar(1.0, 0.3)};
    std::vector<StructuredCase> cases;
    for (const NamedUnitary& awkward : awkwardUnitaries(qubits)) {
        int limit = generic;
        if (awkward.name.find("identity") != std::string::npos)
            limit = 0;
        if (awkward.name == "diagonal phases")
            limit = (1 << qubits) - 2;
        cases.push_back({awkward.name, awkward.matrix, limit});
    }
    cases.push_back({"product of one-qubit gates", oneQubitProduct(qubits, 31), 0});
    cases.push_back({"CNOT 1 -> n", singlyControlledGate(qubits, 1, qubits, notGate), 1});
    cases.push_back({"CNOT n -> 1", singlyControlledGate(qubits, qubits, 1, notGate), 1});
    cases.push_back({"controlled phase 2 -> 1", singlyControlledGate(qubits, 2, 1, phase), 2});
    cases.push_back({"tensor of a random qubit and the rest", tensorOfRandoms(qubits, 1, 32), genericCnots[qubits - 1]});
    cases.push_back({"tensor of the rest and a random qubit", tensorOfRandoms(qubits, qubits - 1, 33),
                     genericCnots[qubits - 1]});
    cases.push_back({"Fourier transform", fourierTransform(qubits), generic});
    cases.push_back({"near identity 1e-6", nearIdentity(qubits, 1e-6, 34), generic});
    cases.push_back({"near identity 1e-11", nearIdentity(qubits, 1e-11, 35), generic});
    return cases;
}

TEST(FewestCnots, StructuredMatricesAreExactAndUseTheirStructure)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        std::cout << "[ counts   ] " << qubits << " qubits:";
        for (const StructuredCase& c : structuredCases(qubits)) {
            // A matrix unitary only within the tolerance stands for its nearest unitary.
            TMATICA1 expected = c.matrix;
            replaceByNearestUnitary(expected, 1 << qubits);
            const RouteResult r = runRoute(c.matrix, qubits, expected);
            const std::string what = c.name + ", " + std::to_string(qubits) + " qubits";
            EXPECT_LE(r.error, 1e-12) << what;
            EXPECT_LE(r.cnots, c.maxCnots) << what;
            EXPECT_TRUE(r.wellFormed) << what;
            EXPECT_TRUE(r.oneGatePerWire) << what;
            std::cout << " [" << c.name << "] " << r.cnots;
        }
        std::cout << '\n';
    }
}

}  // namespace

namespace {

// A rounding away from a structure the route saves CNOTs on, its two-qubit
// blocks sit a hair from a cheaper class; they must still cost no more than a
// generic matrix's, and the circuit must stay exact.
TEST(FewestCnots, NearlyStructuredMatricesStayWithinTheGenericCount)
{
    const TMATICA2 v{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    for (int qubits = 3; qubits <= 4; ++qubits) {
        const int n = 1 << qubits;
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            const TMATICA1 structured[] = {blockDiagonalRandom(qubits, seed), hadamardOnFirstTimesRandom(qubits, seed),
                                           singlyControlledGate(qubits, 1, qubits, v), fourierTransform(qubits)};
            for (const TMATICA1& s : structured)
                for (const double d : {1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9}) {
                    TMATICA1 input;
                    matMul(s, nearIdentity(qubits, d, seed * 31 + qubits), input, n);
                    const RouteResult r = runRoute(input, qubits);
                    EXPECT_LE(r.cnots, genericCnots[qubits]) << qubits << " qubits, seed " << seed << ", d " << d;
                    EXPECT_LE(r.error, 1e-12) << qubits << " qubits, seed " << seed << ", d " << d;
                }
        }
    }
}

}  // namespace
