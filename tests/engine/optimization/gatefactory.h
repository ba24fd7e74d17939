#pragma once
// Gates for the optimization tests: built by hand, drawn at random from
// awkward and random matrices, and compared record by record.

#include <algorithm>
#include <initializer_list>
#include <numeric>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "support/unitary2samples.h"
#include "workspace/workspace.h"

inline TGATE1 makeGate(int target, std::initializer_list<int> controls, const TMATICA2& u)
{
    TGATE1 g;
    g.u = u;
    g.target = static_cast<std::uint8_t>(target);
    for (int c : controls)
        g.controls[++g.type] = static_cast<std::uint8_t>(c);
    return g;
}

inline TMATICA2 pauliX2() { return {{}, {1.0, 0.0}, {1.0, 0.0}, {}}; }
inline TMATICA2 diagonal2(Complex a, Complex d) { return {a, {}, {}, d}; }

// realRotation2(angle) times a z rotation by 2 * tilt: commutes with any
// realRotation2 within the tolerance for a small tilt, but not to rounding.
inline TMATICA2 nearlyRealRotation(double angle, double tilt = 1e-9)
{
    return matMul2(realRotation2(angle), diagonal2(fromPolar(1.0, tilt), fromPolar(1.0, -tilt)));
}

// Every field of the records the optimizer reads, compared as bits would be.
inline bool sameGate(const TGATE1& a, const TGATE1& b)
{
    auto same = [](Complex x, Complex y) { return x.re == y.re && x.im == y.im; };
    if (!same(a.u.u11, b.u.u11) || !same(a.u.u12, b.u.u12) || !same(a.u.u21, b.u.u21) || !same(a.u.u22, b.u.u22))
        return false;
    if (a.type != b.type || a.removed != b.removed || a.target != b.target)
        return false;
    return std::equal(a.controls.begin() + 1, a.controls.begin() + 1 + a.type, b.controls.begin() + 1);
}

inline bool sameQubits(const TGATE1& a, const TGATE1& b)
{
    TGATE1 x = a;
    x.u = b.u;
    x.removed = b.removed;
    return sameGate(x, b);
}

// Matrices that make the rules take their special branches, and random ones.
inline TMATICA2 randomAwkwardMatrix(std::mt19937_64& rng)
{
    static const std::vector<NamedUnitary2> awkward = awkwardUnitaries2(1e-9);
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_real_distribution<double> angle(-3.1, 3.1);
    switch (kind(rng)) {
    case 0: return awkward[std::uniform_int_distribution<std::size_t>(0, awkward.size() - 1)(rng)].u;
    case 1: return diagonal2({1.0, 0.0}, fromPolar(1.0, angle(rng)));  // unit phase
    case 2: {
        const Complex d = fromPolar(1.0, angle(rng));
        return diagonal2(d, d);  // scalar
    }
    case 3: return {{}, fromPolar(1.0, angle(rng)), fromPolar(1.0, angle(rng)), {}};  // antidiagonal
    case 4: return pauliX2();
    default: return randomUnitary2(rng);
    }
}

// A gate on `qubits` qubits with 0..maxControls controls in random order.
inline TGATE1 randomGate(std::mt19937_64& rng, int qubits, int maxControls)
{
    std::vector<int> order(qubits);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), rng);
    const int type = std::uniform_int_distribution<int>(0, std::min(maxControls, qubits - 1))(rng);
    TGATE1 g;
    g.u = randomAwkwardMatrix(rng);
    g.target = static_cast<std::uint8_t>(order[0]);
    g.type = static_cast<std::uint8_t>(type);
    for (int k = 1; k <= type; ++k)
        g.controls[k] = static_cast<std::uint8_t>(order[k]);
    return g;
}

// A partner for `g` that shares many of its qubits, so that the rules have
// something to decide: the same gate, its qubits with another target, one
// control more or less, or an unrelated gate.
inline TGATE1 relatedGate(std::mt19937_64& rng, const TGATE1& g, int qubits)
{
    TGATE1 h = g;
    h.u = randomAwkwardMatrix(rng);
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
    case 0:
        break;
    case 1:
        if (g.type > 0) {  // swap the target with a control
            const int k = std::uniform_int_distribution<int>(1, g.type)(rng);
            std::swap(h.target, h.controls[k]);
        }
        break;
    case 2:
        if (g.type + 1 < qubits) {  // g's target becomes a control of a gate on a fresh qubit
            for (int q = 1; q <= qubits; ++q)
                if (q != g.target && std::find(g.controls.begin() + 1, g.controls.begin() + 1 + g.type, q) ==
                                         g.controls.begin() + 1 + g.type) {
                    h.controls[++h.type] = h.target;
                    h.target = static_cast<std::uint8_t>(q);
                    break;
                }
        }
        break;
    case 3:
        if (g.type > 0)  // drop the last control
            --h.type;
        break;
    default:
        return randomGate(rng, qubits, qubits - 1);
    }
    return h;
}

// F(second) * F(first): the first gate applied first.
inline void pairMatrix(const TGATE1& first, const TGATE1& second, TMATICA1& m, int qubits, Presentation& ui)
{
    static thread_local TMATICA1 other;
    gateMatrix(first, m, qubits, ui);
    gateMatrix(second, other, qubits, ui);
    matMul(other, m, m, 1 << qubits);
}

// A workspace of `qubits` qubits (3 to start with) whose circuit is one pair of gates.
class GatePairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = createWorkspace(ui);
        useQubits(3);
    }

    void useQubits(int qubits)
    {
        ws->qubitCount = qubits;
        ws->matrixSize = 1 << qubits;
    }

    void placePair(const TGATE1& b1, const TGATE1& b2)
    {
        ws->gates[1] = b1;
        ws->gates[2] = b2;
        ws->pocetb1 = 2;
    }

    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;
    TMATICA1 before;
    TMATICA1 after;
};
