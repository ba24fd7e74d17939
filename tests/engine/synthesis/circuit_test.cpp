#include "engine/synthesis/circuit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

// The composition by its definition: full gate matrices multiplied with matMul.
void denseComposition(const Workspace& ws, int pzac, int pkon, TMATICA1& m, int qubitCount, Presentation& ui)
{
    static TMATICA1 g;
    gateMatrix(ws.gates[pzac], m, qubitCount, ui);
    for (int k = pzac + 1; k <= pkon; ++k) {
        gateMatrix(ws.gates[k], g, qubitCount, ui);
        matMul(g, m, m, 1 << qubitCount);
    }
}

// Equal as doubles; a zero may carry either sign.
bool sameDoubles(const TMATICA1& x, const TMATICA1& y, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            if (x(r, c).re != y(r, c).re || x(r, c).im != y(r, c).im)
                return false;
    return true;
}

// Equal bit for bit, signs of zeros and NaN payloads included.
bool sameBits(const TMATICA1& x, const TMATICA1& y, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            if (std::bit_cast<std::uint64_t>(x(r, c).re) != std::bit_cast<std::uint64_t>(y(r, c).re) ||
                std::bit_cast<std::uint64_t>(x(r, c).im) != std::bit_cast<std::uint64_t>(y(r, c).im))
                return false;
    return true;
}

TMATICA2 randomGateMatrix(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> angle(-3.2, 3.2);
    const double t = angle(rng), a = angle(rng), b = angle(rng), c = angle(rng);
    switch (rng() % 7) {
    case 0: return {{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    case 1: return {fromPolar(1.0, a), Complex{}, Complex{}, fromPolar(1.0, b)};
    case 2: return {Complex{}, fromPolar(1.0, a), fromPolar(1.0, b), Complex{}};
    case 3: return identityMatrix2();
    // Negative zeros: a NOT and a phase whose zeros carry the sign.
    case 5: return {{-0.0, -0.0}, {1.0, -0.0}, {1.0, 0.0}, {-0.0, 0.0}};
    case 6: return {{-1.0, -0.0}, {-0.0, 0.0}, {0.0, -0.0}, {-0.0, 1.0}};
    default:
        return {fromPolar(std::cos(t), a), fromPolar(std::sin(t), b), fromPolar(-std::sin(t), c - b + a),
                fromPolar(std::cos(t), c)};
    }
}

// A gate of random type, target and controls (in random order).
TGATE1 randomGate(std::mt19937_64& rng, int qubitCount)
{
    std::vector<int> qubits;
    for (int q = 1; q <= qubitCount; ++q)
        qubits.push_back(q);
    std::shuffle(qubits.begin(), qubits.end(), rng);
    TGATE1 gate;
    gate.type = static_cast<std::uint8_t>(rng() % qubitCount);
    gate.target = static_cast<std::uint8_t>(qubits[0]);
    for (int c = 1; c <= gate.type; ++c)
        gate.controls[c] = static_cast<std::uint8_t>(qubits[c]);
    gate.u = randomGateMatrix(rng);
    return gate;
}

struct CircuitFixture : ::testing::Test {
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void fill(int count, int qubitCount, std::uint64_t seed)
    {
        std::mt19937_64 rng(seed);
        ws->qubitCount = qubitCount;
        ws->matrixSize = 1 << qubitCount;
        ws->pocetb1 = 0;
        for (int g = 0; g < count; ++g) {
            ASSERT_TRUE(appendGate(*ws, ui));
            ws->gates[ws->pocetb1] = randomGate(rng, qubitCount);
        }
    }
};

using Circuit = CircuitFixture;

}  // namespace

TEST_F(Circuit, BasisStatesConvertWithQubitOneMostSignificant)
{
    QubitBits bits{};
    tobin(1, bits, 3, ui);
    EXPECT_EQ((std::vector<int>{bits[1], bits[2], bits[3]}), (std::vector<int>{0, 0, 0}));
    tobin(8, bits, 3, ui);
    EXPECT_EQ((std::vector<int>{bits[1], bits[2], bits[3]}), (std::vector<int>{1, 1, 1}));
    tobin(5, bits, 3, ui);
    EXPECT_EQ((std::vector<int>{bits[1], bits[2], bits[3]}), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(todec(QubitBits{0, 0, 1, 1, 0, 0}, 3, ui), 4);
    for (int qubitCount = 1; qubitCount <= 5; ++qubitCount)
        for (int state = 1; state <= (1 << qubitCount); ++state) {
            tobin(state, bits, qubitCount, ui);
            EXPECT_EQ(todec(bits, qubitCount, ui), state);
        }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Circuit, BadBasisArgumentsAreReportedAndStillConverted)
{
    QubitBits bits{9, 9, 9, 9, 9, 9};
    tobin(9, bits, 3, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The argument of tobin procedure is incorrect:9");
    EXPECT_EQ((std::vector<int>{bits[1], bits[2], bits[3], bits[4]}), (std::vector<int>{0, 0, 0, 9}));

    tobin(0, bits, 3, ui);
    EXPECT_EQ(ui.messages.back().text, "The argument of tobin procedure is incorrect:0");
    EXPECT_EQ(todec(bits, 3, ui), 1);

    EXPECT_EQ(todec(QubitBits{0, 1, 2, 1, 0, 0}, 3, ui), 6);
    EXPECT_EQ(ui.messages.back().text, "The argument of todec procedure is incorrect:[2]=2");
}

TEST_F(Circuit, GateMatrixTouchesOnlyQualifyingStates)
{
    const TMATICA2 u{{1.0, 2.0}, {3.0, 4.0}, {5.0, 6.0}, {7.0, 8.0}};
    TGATE1 gate;
    gate.u = u;
    gate.type = 0;
    gate.target = 1;
    TMATICA1 m;
    gateMatrix(gate, m, 2, ui);
    for (int s : {1, 2}) {
        EXPECT_EQ(m(s, s).re, 1.0);
        EXPECT_EQ(m(s, s + 2).re, 3.0);
        EXPECT_EQ(m(s + 2, s).im, 6.0);
        EXPECT_EQ(m(s + 2, s + 2).im, 8.0);
        EXPECT_EQ(m(s, 3 - s).re, 0.0);
    }

    gate.type = 1;
    gate.target = 2;
    gate.controls[1] = 1;
    gateMatrix(gate, m, 2, ui);
    EXPECT_EQ(m(1, 1).re, 1.0);
    EXPECT_EQ(m(1, 1).im, 0.0);
    EXPECT_EQ(m(2, 2).re, 1.0);
    EXPECT_EQ(m(3, 3).re, 1.0);
    EXPECT_EQ(m(3, 4).re, 3.0);
    EXPECT_EQ(m(4, 3).re, 5.0);
    EXPECT_EQ(m(4, 4).re, 7.0);
    EXPECT_EQ(m(1, 3).re, 0.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Circuit, MalformedGatesLeaveTheIdentityAndAreReported)
{
    TGATE1 gate;
    gate.u = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    TMATICA1 identity;
    setIdentity(identity, 8);
    TMATICA1 m;
    const char* mistake = "The procedure for writing down matrix of the gate has mistake in it!!!";

    gate.type = 1;
    gate.target = 2;
    gate.controls[1] = 2;  // target among the controls
    gateMatrix(gate, m, 3, ui);
    EXPECT_TRUE(sameDoubles(m, identity, 8));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, mistake);

    gate.controls[1] = 6;  // no such qubit
    gateMatrix(gate, m, 3, ui);
    EXPECT_TRUE(sameDoubles(m, identity, 8));
    gate.type = 0;
    gate.target = 0;
    gateMatrix(gate, m, 3, ui);
    EXPECT_TRUE(sameDoubles(m, identity, 8));
    EXPECT_EQ(ui.messages.size(), 3u);

    // As many controls as qubits or more: the states that qualify are still written.
    gate.type = 3;
    gate.target = 2;
    gate.controls = {0, 1, 3, 3, 0};  // state 101 and its partner 111
    gateMatrix(gate, m, 3, ui);
    EXPECT_EQ(ui.messages.size(), 4u);
    TMATICA1 expected = identity;
    expected(6, 6) = expected(8, 8) = {};
    expected(6, 8) = expected(8, 6) = {1.0, 0.0};
    EXPECT_TRUE(sameDoubles(m, expected, 8));
    gate.type = 2;
    gate.target = 1;
    gate.controls = {0, 2, 2, 0, 0};  // on 2 qubits: state 01 and its partner 11
    gateMatrix(gate, m, 2, ui);
    EXPECT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(m(2, 4).re, 1.0);
    EXPECT_EQ(m(2, 2).re, 0.0);
    EXPECT_EQ(m(1, 1).re, 1.0);
    gate.controls = {0, 1, 2, 0, 0};  // the target among them: nothing qualifies
    gateMatrix(gate, m, 2, ui);
    EXPECT_EQ(ui.messages.size(), 6u);
    ui.clearRecords();

    // Repeated controls qualify more states than the gate's type promises.
    gate.type = 2;
    gate.target = 3;
    gate.controls = {0, 1, 1, 0, 0};
    gateMatrix(gate, m, 3, ui);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(m(5, 6).re, 1.0);
    EXPECT_EQ(m(7, 8).re, 1.0);
}

TEST_F(Circuit, CompositionMatchesTheDenseProductExactly)
{
    static TMATICA1 fast, dense;
    for (int qubitCount = 2; qubitCount <= 5; ++qubitCount) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            fill(60, qubitCount, seed * 100 + qubitCount);
            const int n = 1 << qubitCount;
            // Gates that are not finite at the end, in the middle and first; short runs
            // keep the zeros of their first gate in the rows the others leave alone.
            const Complex notFinite[] = {{0.5, 0.5}, {INFINITY, 0.0}, {0.0, NAN}};
            ws->gates[ws->pocetb1].u.u11 = notFinite[seed % 3];
            ws->gates[30].u.u12 = notFinite[(seed + 1) % 3];
            const std::pair<int, int> ranges[] = {{1, ws->pocetb1}, {17, 40}, {31, 60}, {30, 60},
                                                  {30, 33}, {7, 7}, {7, 8}, {44, 46}};
            for (const auto& [pzac, pkon] : ranges) {
                kompozicia(ws->gates, ws->pocetb1, pzac, pkon, fast, qubitCount, ui);
                denseComposition(*ws, pzac, pkon, dense, qubitCount, ui);
                EXPECT_TRUE(sameBits(fast, dense, n))
                    << "qubits " << qubitCount << " seed " << seed << " gates " << pzac << ".." << pkon;
            }
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Circuit, CompositionLeavesEntriesOutsideTheBlockAlone)
{
    fill(10, 2, 7);
    TMATICA1 m;
    m(5, 5) = {42.0, 1.0};
    m(1, 5) = {-3.0, 0.0};
    kompozicia(ws->gates, ws->pocetb1, 1, 10, m, 2, ui);
    EXPECT_EQ(m(5, 5).re, 42.0);
    EXPECT_EQ(m(1, 5).re, -3.0);
}

TEST_F(Circuit, CompositionRepairsItsRangeInOrder)
{
    fill(10, 3, 11);
    static TMATICA1 fast, dense;
    kompozicia(ws->gates, 10, 5, 2, fast, 3, ui);
    denseComposition(*ws, 2, 5, dense, 3, ui);
    EXPECT_TRUE(sameDoubles(fast, dense, 8));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Procedure kompozicia: pzac>pkon was sent!!!");

    ui.clearRecords();
    kompozicia(ws->gates, 10, 0, 12, fast, 3, ui);
    denseComposition(*ws, 1, 10, dense, 3, ui);
    EXPECT_TRUE(sameDoubles(fast, dense, 8));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Procedure kompozicia: pzac<1 was sent!!!");
    EXPECT_EQ(ui.messages[1].text, "Procedure kompozicia: pkon>pocetb1 was sent!!!");

    ui.clearRecords();
    kompozicia(ws->gates, 10, 14, -1, fast, 3, ui);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Procedure kompozicia: pzac>pocetb1 was sent!!!");
    EXPECT_EQ(ui.messages[1].text, "Procedure kompozicia: pkon<1 was sent!!!");
    EXPECT_EQ(ui.messages[2].text, "Procedure kompozicia: pzac>pkon was sent!!!");
    denseComposition(*ws, 1, 10, dense, 3, ui);
    EXPECT_TRUE(sameDoubles(fast, dense, 8));

    ui.clearRecords();
    kompozicia(ws->gates, 10, 4, 4, fast, 3, ui);
    gateMatrix(ws->gates[4], dense, 3, ui);
    EXPECT_TRUE(sameDoubles(fast, dense, 8));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Circuit, EmptyCircuitShowsItsThreeRepairsAndComposesToTheIdentity)
{
    ws->gates[0].type = 0;
    ws->gates[0].target = 1;
    ws->gates[0].u = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    TMATICA1 m, identity;
    m(1, 1) = {5.0, 5.0};
    setIdentity(identity, 4);
    kompozicia(ws->gates, 0, 1, 0, m, 2, ui);
    EXPECT_TRUE(sameDoubles(m, identity, 4)) << "slot 0 holds no gate";
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Procedure kompozicia: pzac>pocetb1 was sent!!!");
    EXPECT_EQ(ui.messages[1].text, "Procedure kompozicia: pkon<1 was sent!!!");
    EXPECT_EQ(ui.messages[2].text, "Procedure kompozicia: pkon>pocetb1 was sent!!!");
}

TEST_F(Circuit, AppendingStopsAtCapacityWithOneMessage)
{
    ws->pocetb1 = maxGates - 2;
    ws->gates[maxGates - 1].removed = 1;
    ASSERT_TRUE(appendGate(*ws, ui));
    EXPECT_EQ(ws->pocetb1, maxGates - 1);
    EXPECT_EQ(ws->gates[maxGates - 1].removed, 0);
    EXPECT_TRUE(ui.messages.empty());

    ASSERT_TRUE(appendGate(*ws, ui));
    EXPECT_EQ(ws->pocetb1, maxGates);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The maximum allowed number of gates was attained!!!!");
    EXPECT_EQ(ui.messages[0].style, MessageStyle::information);

    EXPECT_FALSE(appendGate(*ws, ui));
    EXPECT_FALSE(appendGate(*ws, ui));
    EXPECT_EQ(ws->pocetb1, maxGates);
    EXPECT_EQ(ui.messages.size(), 1u);
}
