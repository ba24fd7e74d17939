#include "engine/synthesis/tpqsynthesis.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/synthesis/circuit.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

// One row of the Gray-code chain from q to p: the state's bits and the qubit
// that flips on the way to the next row (0 in the last row).
struct ChainRow {
    std::uint8_t flipQubit = 0;
    QubitBits bits{};
};

// Rows 1..qubitCount+1; row 0 unused.
using TransitionTable = std::array<ChainRow, maxQubits + 2>;

// Opens one gate and fills it; false when the list is full.
bool emitGate(Workspace& ws, Presentation& ui, int type, int target, const TMATICA2& u)
{
    if (!appendGate(ws, ui))
        return false;
    TGATE1& gate = ws.gates[ws.pocetb1];
    gate.type = static_cast<std::uint8_t>(type);
    gate.target = static_cast<std::uint8_t>(target);
    gate.u = u;
    return true;
}

// NOT gates on every qubit but `skip` whose bit is 0, so that a gate
// controlled by all those qubits fires on the state `bits` instead of on 1s.
bool flipZeroBits(Workspace& ws, Presentation& ui, const QubitBits& bits, int skip)
{
    for (int j = 1; j <= ws.qubitCount; ++j)
        if (j != skip && bits[j] == 0 && !emitGate(ws, ui, 0, j, ws.pauliX))
            return false;
    return true;
}

// A gate on `target` controlled by every other qubit, in increasing order.
bool emitFullyControlled(Workspace& ws, Presentation& ui, int target, const TMATICA2& u)
{
    if (!emitGate(ws, ui, ws.qubitCount - 1, target, u))
        return false;
    TGATE1& gate = ws.gates[ws.pocetb1];
    int c = 0;
    for (int j = 1; j <= ws.qubitCount; ++j)
        if (j != target)
            gate.controls[++c] = static_cast<std::uint8_t>(j);
    return true;
}

// Step k of the chain: w acts on the pair of states of rows k and k + 1.
bool transitionGates(Workspace& ws, Presentation& ui, const TransitionTable& chain, int k, const TMATICA2& w)
{
    const int flip = chain[k].flipQubit;
    return flipZeroBits(ws, ui, chain[k].bits, flip) && emitFullyControlled(ws, ui, flip, w) &&
           flipZeroBits(ws, ui, chain[k].bits, flip);
}

// Appends a row that differs from the last one in qubit c; r is the last row.
void extendChain(TransitionTable& chain, int& r, int c, std::uint8_t bit, int qubitCount)
{
    chain[r].flipQubit = static_cast<std::uint8_t>(c);
    ++r;
    for (int j = 1; j <= qubitCount; ++j)
        chain[r].bits[j] = chain[r - 1].bits[j];
    chain[r].bits[c] = bit;
}

}  // namespace

bool synthesizeTpq(Workspace& ws, Presentation& ui, int t)
{
    const int nq = ws.qubitCount;
    if (t < 1 || t > maxTpqEntries || nq < 1 || nq > maxQubits)
        return true;
    const TpqEntry& entry = ws.tpqTable[t];

    TransitionTable chain{};
    QubitBits end{};
    tobin(entry.q, chain[1].bits, nq, ui);
    tobin(entry.p, end, nq, ui);
    int r = 1;
    for (int c = 1; c <= nq; ++c) {
        if (chain[r].bits[c] == 0 && end[c] == 1)
            extendChain(chain, r, c, 1, nq);
        if (chain[r].bits[c] == 1 && end[c] == 0)
            extendChain(chain, r, c, 0, nq);
    }
    for (int c = 1; c <= nq; ++c)
        if (chain[r].bits[c] != end[c]) {
            ui.showMessage("!!! Decomposition of Tpq: Table of transition from q to p is not correctly generated!!!",
                           MessageStyle::information);
            break;
        }

    std::array<int, maxQubits + 2> chainIndex{};
    for (int k = 1; k <= r; ++k)
        chainIndex[k] = todec(chain[k].bits, nq, ui);

    // The parity of the chain's passes over p tells on which side of p the
    // state that started at q ends, and so the order of the block's rows.
    const int p = entry.p;
    int crossings = 0;
    for (int k = 1; k <= r - 2; ++k) {
        const int from = chainIndex[k], to = chainIndex[k + 1];
        if ((from < p && p < to) || (from > p && p > to))
            ++crossings;
    }

    const double s = std::sin(entry.omega);
    const double c = std::cos(entry.omega);
    const Complex se = fromPolar(s, -entry.fi);
    const Complex ce = fromPolar(c, -entry.fi);
    const TMATICA2 v = crossings % 2 == 0 ? TMATICA2{se, toComplex(c), ce, toComplex(-s)}
                                          : TMATICA2{toComplex(-s), ce, toComplex(c), se};

    // p = q makes a chain of one row: there is no pair to act on.
    if (r < 2)
        return true;
    if (r == 2)
        return transitionGates(ws, ui, chain, 1, v);
    for (int k = 1; k <= r - 2; ++k)
        if (!transitionGates(ws, ui, chain, k, ws.pauliX))
            return false;
    if (!transitionGates(ws, ui, chain, r - 1, v))
        return false;
    for (int k = r - 2; k >= 1; --k)
        if (!transitionGates(ws, ui, chain, k, ws.pauliX))
            return false;
    return true;
}

bool synthesizeD(Workspace& ws, Presentation& ui)
{
    const int nq = ws.qubitCount;
    if (nq < 1 || nq > maxQubits)
        return true;
    const int half = (1 << nq) / 2;
    for (int i = 1; i <= half; ++i) {
        const double a = ws.dAngles[2 * i - 1];
        const double b = ws.dAngles[2 * i];
        if (a == 0.0 && b == 0.0)
            continue;
        const TMATICA2 phases{fromPolar(1.0, -a), Complex{}, Complex{}, fromPolar(1.0, -b)};
        // Angles of rounding size (a diagonal entry 1 - 1e-16 i) would emit a
        // gate that is the identity in all but name; the later stages cannot
        // lower such a gate, so it is left out like an exact identity.
        const Complex one{1.0, 0.0};
        if (fuzzyEqual(phases.u11, one) && fuzzyEqual(phases.u22, one))
            continue;
        QubitBits bits{};
        tobin(2 * i - 1, bits, nq, ui);
        if (!flipZeroBits(ws, ui, bits, nq) || !emitFullyControlled(ws, ui, nq, phases) ||
            !flipZeroBits(ws, ui, bits, nq))
            return false;
    }
    return true;
}
