#include "engine/synthesis/circuit.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/presentation.h"
#include "workspace/workspace.h"

// Basis state b (1-based) is the bit pattern of b - 1 with qubit 1 as the most
// significant of qubitCount bits, so qubit k is the bit of weight 2^(qubitCount - k).

namespace {

// The states a gate touches, as 0-based masks: a state qualifies when its
// target bit is 0 and every control bit is 1; its partner has the target bit set.
struct GateMasks {
    int target = 0;
    int controls = 0;
    int expectedCount = 0;  // 2^(qubitCount - type - 1); -1 for type >= qubitCount, where no count is right
    bool wellFormed = false;  // every qubit number names a bit of the states
};

int qubitMask(int qubit, int qubitCount) { return 1 << (qubitCount - qubit); }

GateMasks gateMasks(const TGATE1& gate, int qubitCount)
{
    GateMasks masks;
    const int type = gate.type;
    if (type > maxQubits - 1)
        return masks;
    // More controls than other qubits: some control repeats or is the target; the
    // states that still qualify are written and the count is reported as wrong.
    masks.expectedCount = type < qubitCount ? 1 << (qubitCount - type - 1) : -1;
    // A qubit number outside 1..qubitCount names no bit of any state, so such a
    // gate qualifies no state (and is reported like any other malformed gate).
    if (gate.target < 1 || gate.target > qubitCount)
        return masks;
    masks.target = qubitMask(gate.target, qubitCount);
    for (int c = 1; c <= type; ++c) {
        const int control = gate.controls[c];
        if (control < 1 || control > qubitCount)
            return masks;
        masks.controls |= qubitMask(control, qubitCount);
    }
    masks.wellFormed = true;
    return masks;
}

bool qualifies(int state, const GateMasks& masks)
{
    return (state & masks.target) == 0 && (state & masks.controls) == masks.controls;
}

void reportMalformedGate(Presentation& ui)
{
    ui.showMessage("The procedure for writing down matrix of the gate has mistake in it!!!",
                   MessageStyle::information);
}

// Multiplies m on the left by the gate's full matrix over the n x n block.
// Only the qualifying rows and their partners change; each new entry is formed
// as 0 + (first term) + (second term), the two terms of the dense product that
// are not products with exact zeros, in the dense order (the qualifying state
// has the smaller index). The dense sum therefore gives the same doubles up to
// the sign of a zero result. Returns the number of qualifying states.
int applyGate(const TGATE1& gate, const GateMasks& masks, TMATICA1& m, int n)
{
    if (!masks.wellFormed)
        return 0;
    int count = 0;
    const Complex zero{};
    const TMATICA2& u = gate.u;
    for (int state = 0; state < n; ++state) {
        if (!qualifies(state, masks))
            continue;
        ++count;
        Complex* low = m.e[state];
        Complex* high = m.e[state | masks.target];
        for (int j = 0; j < n; ++j) {
            const Complex a = low[j];
            const Complex b = high[j];
            low[j] = zero + u.u11 * a + u.u12 * b;
            high[j] = zero + u.u21 * a + u.u22 * b;
        }
    }
    return count;
}

}  // namespace

bool appendGate(Workspace& ws, Presentation& ui)
{
    if (ws.pocetb1 >= maxGates)
        return false;
    ++ws.pocetb1;
    ws.gates[ws.pocetb1].removed = 0;
    if (ws.pocetb1 == maxGates)
        ui.showMessage("The maximum allowed number of gates was attained!!!!", MessageStyle::information);
    return true;
}

void tobin(int number, QubitBits& bits, int qubitCount, Presentation& ui)
{
    if (number > (1 << qubitCount) || number < 1)
        ui.showMessage("The argument of tobin procedure is incorrect:" + std::to_string(number),
                       MessageStyle::information);
    // Below 1 there is no sound conversion; the bits of 0 (state 1) keep the
    // result inside the basis.
    unsigned v = number < 1 ? 0u : static_cast<unsigned>(number - 1);
    for (int k = std::min(qubitCount, maxQubits); k >= 1; --k) {
        bits[k] = static_cast<std::uint8_t>(v % 2);
        v /= 2;
    }
}

int todec(const QubitBits& bits, int qubitCount, Presentation& ui)
{
    int result = 0;
    int weight = 1;
    for (int k = std::min(qubitCount, maxQubits); k >= 1; --k) {
        if (bits[k] == 1) {
            result += weight;
        } else if (bits[k] != 0) {
            ui.showMessage("The argument of todec procedure is incorrect:[" + std::to_string(k) +
                               "]=" + std::to_string(bits[k]),
                           MessageStyle::information);
        }
        weight *= 2;
    }
    return result + 1;
}

void gateMatrix(const TGATE1& gate, TMATICA1& m, int qubitCount, Presentation& ui)
{
    const int n = 1 << qubitCount;
    setIdentity(m, n);
    const GateMasks masks = gateMasks(gate, qubitCount);
    int count = 0;
    if (masks.wellFormed) {
        for (int state = 0; state < n; ++state) {
            if (!qualifies(state, masks))
                continue;
            ++count;
            const int i = state + 1;
            const int e = (state | masks.target) + 1;
            m(i, i) = gate.u.u11;
            m(i, e) = gate.u.u12;
            m(e, i) = gate.u.u21;
            m(e, e) = gate.u.u22;
        }
    }
    if (count != masks.expectedCount || !masks.wellFormed)
        reportMalformedGate(ui);
}

void kompozicia(std::span<const TGATE1> gates, int count, int pzac, int pkon, TMATICA1& m, int qubitCount,
                Presentation& ui)
{
    const int n = 1 << qubitCount;
    // A count beyond the list's slots is the caller's mistake: only the slots that exist are composed.
    const int available = static_cast<int>(gates.size()) - 1;
    count = std::min(count, available);
    const auto report = [&ui](const char* text) { ui.showMessage(text, MessageStyle::information); };
    if (pzac < 1) {
        report("Procedure kompozicia: pzac<1 was sent!!!");
        pzac = 1;
    }
    if (pzac > count) {
        report("Procedure kompozicia: pzac>pocetb1 was sent!!!");
        pzac = count;
    }
    if (pkon < 1) {
        report("Procedure kompozicia: pkon<1 was sent!!!");
        pkon = 1;
    }
    if (pkon > count) {
        report("Procedure kompozicia: pkon>pocetb1 was sent!!!");
        pkon = count;
    }
    if (pzac > pkon) {
        report("Procedure kompozicia: pzac>pkon was sent!!!");
        std::swap(pzac, pkon);
    }
    // Only an empty list leaves gate 0 after the repairs; slot 0 holds no gate,
    // so the empty product is the identity.
    if (pzac < 1) {
        setIdentity(m, n);
        return;
    }

    gateMatrix(gates[pzac], m, qubitCount, ui);
    for (int g = pzac + 1; g <= pkon; ++g) {
        const GateMasks masks = gateMasks(gates[g], qubitCount);
        if (applyGate(gates[g], masks, m, n) != masks.expectedCount || !masks.wellFormed)
            reportMalformedGate(ui);
    }
}
