#include "engine/synthesis/tpqsynthesis.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/reduction/tpq.h"
#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/workspace.h"

namespace {

struct GateShape {
    int type;
    int target;
    std::vector<int> controls;
    bool operator==(const GateShape&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GateShape& g)
{
    out << "L" << g.type << " t" << g.target << " c";
    for (int c : g.controls)
        out << c;
    return out;
}

bool sameMatrix(const TMATICA2& x, const TMATICA2& y)
{
    const auto same = [](Complex a, Complex b) { return a.re == b.re && a.im == b.im; };
    return same(x.u11, y.u11) && same(x.u12, y.u12) && same(x.u21, y.u21) && same(x.u22, y.u22);
}

struct TpqSynthesisFixture : ::testing::Test {
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void useQubits(int qubits)
    {
        ws->qubitCount = qubits;
        ws->matrixSize = 1 << qubits;
        ws->pocetb1 = 0;
        ws->tolerance = 1e-7;
    }

    void setEntry(int t, int p, int q, double omega, double fi) { ws->tpqTable[t] = {omega, fi, p, q}; }

    std::vector<GateShape> shapes() const
    {
        std::vector<GateShape> list;
        for (int g = 1; g <= ws->pocetb1; ++g) {
            const TGATE1& gate = ws->gates[g];
            GateShape shape{gate.type, gate.target, {}};
            for (int c = 1; c <= gate.type; ++c)
                shape.controls.push_back(gate.controls[c]);
            list.push_back(shape);
        }
        return list;
    }

    bool isNot(int g) const { return sameMatrix(ws->gates[g].u, ws->pauliX); }
};

using TpqSynthesis = TpqSynthesisFixture;

}  // namespace

TEST_F(TpqSynthesis, NeighbouringLevelsNeedOneTransition)
{
    useQubits(2);
    const double omega = 0.3, fi = 0.7;
    setEntry(1, 2, 1, omega, fi);
    ASSERT_TRUE(synthesizeTpq(*ws, ui, 1));
    const std::vector<GateShape> expected{{0, 1, {}}, {1, 2, {1}}, {0, 1, {}}};
    EXPECT_EQ(shapes(), expected);
    EXPECT_TRUE(isNot(1) && isNot(3));
    const double s = std::sin(omega), c = std::cos(omega);
    const TMATICA2 evenForm{fromPolar(s, -fi), toComplex(c), fromPolar(c, -fi), toComplex(-s)};
    EXPECT_TRUE(sameMatrix(ws->gates[2].u, evenForm));
}

TEST_F(TpqSynthesis, ChainsFollowTheGrayCodeAndPickTheBlockOrder)
{
    useQubits(2);
    const double omega = 1.1, fi = -2.0;
    const double s = std::sin(omega), c = std::cos(omega);

    // 00 -> 10 -> 11: p = 4 is never passed, so the even form.
    setEntry(1, 4, 1, omega, fi);
    ASSERT_TRUE(synthesizeTpq(*ws, ui, 1));
    const std::vector<GateShape> expected{{0, 2, {}}, {1, 1, {2}}, {0, 2, {}}, {1, 2, {1}},
                                          {0, 2, {}}, {1, 1, {2}}, {0, 2, {}}};
    EXPECT_EQ(shapes(), expected);
    for (int g : {1, 2, 3, 5, 6, 7})
        EXPECT_TRUE(isNot(g)) << "gate " << g;
    EXPECT_TRUE(sameMatrix(ws->gates[4].u, {fromPolar(s, -fi), toComplex(c), fromPolar(c, -fi), toComplex(-s)}));

    // 01 -> 11 -> 10: the chain passes p = 3 once, so the odd form.
    ws->pocetb1 = 0;
    setEntry(2, 3, 2, omega, fi);
    ASSERT_TRUE(synthesizeTpq(*ws, ui, 2));
    // No qubit outside the flip is 0 in rows 01 and 11, so no NOTs at all.
    const std::vector<GateShape> crossing{{1, 1, {2}}, {1, 2, {1}}, {1, 1, {2}}};
    EXPECT_EQ(shapes(), crossing);
    EXPECT_TRUE(sameMatrix(ws->gates[2].u, {toComplex(-s), fromPolar(c, -fi), toComplex(c), fromPolar(s, -fi)}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TpqSynthesis, EveryEntryComposesToTheAdjointOfItsFactor)
{
    TMATICA1 adjoint;
    for (int qubits = 1; qubits <= 5; ++qubits) {
        const int n = 1 << qubits;
        int t = 0;
        for (int p = 2; p <= n; ++p)
            for (int q = 1; q < p; ++q) {
                // Every pair for up to 4 qubits; a spread of pairs for 5.
                if (qubits == 5 && (p * 7 + q) % 5 != 0 && !(p == 32 && q == 1))
                    continue;
                useQubits(qubits);
                ++t;
                const double omega = 0.05 + 1.4 * ((p * 13 + q * 7) % 17) / 17.0;
                const double fi = -3.0 + 6.0 * ((p * 5 + q * 11) % 19) / 19.0;
                setEntry(t, p, q, omega, fi);
                ASSERT_TRUE(synthesizeTpq(*ws, ui, t));
                makeTpqAdjoint(p, q, omega, fi, adjoint, n, ui);
                EXPECT_LT(compositionError(*ws, ui, adjoint), 1e-14) << "p " << p << " q " << q;

                // (2r - 3) transitions of at most 2 nq - 1 gates, r - 1 = Hamming distance.
                const int r = std::popcount(static_cast<unsigned>((p - 1) ^ (q - 1))) + 1;
                EXPECT_LE(ws->pocetb1, (2 * r - 3) * (2 * qubits - 1));
                for (int g = 1; g <= ws->pocetb1; ++g)
                    ASSERT_TRUE(ws->gates[g].type == qubits - 1 || (ws->gates[g].type == 0 && isNot(g)));
            }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TpqSynthesis, LongestChainOnFiveQubitsRunsNineTransitions)
{
    useQubits(5);
    setEntry(1, 32, 1, 0.9, 0.4);
    ASSERT_TRUE(synthesizeTpq(*ws, ui, 1));
    int fullyControlled = 0;
    for (int g = 1; g <= ws->pocetb1; ++g)
        fullyControlled += ws->gates[g].type == 4;
    EXPECT_EQ(fullyControlled, 9);
}

TEST_F(TpqSynthesis, DiagonalIsBuiltPairwiseOnTheLastQubit)
{
    useQubits(2);
    ASSERT_TRUE(synthesizeD(*ws, ui));
    EXPECT_EQ(ws->pocetb1, 0);

    ws->dAngles[2] = 0.8;
    ASSERT_TRUE(synthesizeD(*ws, ui));
    const std::vector<GateShape> expected{{0, 1, {}}, {1, 2, {1}}, {0, 1, {}}};
    EXPECT_EQ(shapes(), expected);
    const TMATICA2& u = ws->gates[2].u;
    EXPECT_TRUE(sameMatrix(u, {fromPolar(1.0, -0.0), Complex{}, Complex{}, fromPolar(1.0, -0.8)}));
    EXPECT_TRUE(u.u12.re == 0.0 && u.u12.im == 0.0 && u.u21.re == 0.0 && u.u21.im == 0.0);

    // Angles left by rounding give no gate; a small but real phase does.
    useQubits(2);
    ws->dAngles = {};
    ws->dAngles[3] = 1.7e-16;
    ws->dAngles[4] = -1.2e-16;
    ASSERT_TRUE(synthesizeD(*ws, ui));
    EXPECT_EQ(ws->pocetb1, 0);
    ws->dAngles[4] = 1e-9;
    ASSERT_TRUE(synthesizeD(*ws, ui));
    EXPECT_EQ(shapes(), (std::vector<GateShape>{{1, 2, {1}}}));

    for (int qubits = 1; qubits <= 5; ++qubits) {
        useQubits(qubits);
        const TMATICA1 phases = diagonalPhases(qubits, 30 + qubits);
        TMATICA1 expectedMatrix = phases;
        for (int i = 1; i <= ws->matrixSize; ++i)
            ws->dAngles[i] = -angle(phases(i, i));
        ASSERT_TRUE(synthesizeD(*ws, ui));
        EXPECT_LT(compositionError(*ws, ui, expectedMatrix), 1e-15) << qubits << " qubits";
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TpqSynthesis, FullListStopsTheSynthesisAfterTheCapacityMessage)
{
    useQubits(2);
    setEntry(1, 4, 1, 0.5, 0.5);
    ws->pocetb1 = maxGates - 2;
    EXPECT_FALSE(synthesizeTpq(*ws, ui, 1));
    EXPECT_EQ(ws->pocetb1, maxGates);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The maximum allowed number of gates was attained!!!!");
    // The two gates that fitted are complete: a NOT and the first transition's gate.
    EXPECT_EQ(ws->gates[maxGates - 1].type, 0);
    EXPECT_EQ(ws->gates[maxGates - 1].target, 2);
    EXPECT_EQ(ws->gates[maxGates].type, 1);
    EXPECT_EQ(ws->gates[maxGates].controls[1], 2);

    ws->dAngles[1] = 1.0;
    EXPECT_FALSE(synthesizeD(*ws, ui));
    EXPECT_EQ(ws->pocetb1, maxGates);
    EXPECT_EQ(ui.messages.size(), 1u);
}
