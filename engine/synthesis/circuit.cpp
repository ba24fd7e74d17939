#include "engine/synthesis/circuit.h"

#include <algorithm>
#include <string>
#include <utility>

#include "engine/synthesis/composition.h"
#include "engine/synthesis/gatemasks.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

void reportMalformedGate(Presentation& ui)
{
    ui.showMessage("The procedure for writing down matrix of the gate has mistake in it!!!",
                   MessageStyle::information);
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

    const GateRunResult run = composeGates(gates.subspan(pzac, pkon - pzac + 1), m, qubitCount);
    for (int k = 0; k < run.malformed; ++k)
        reportMalformedGate(ui);
    // Once an entry is infinite or NaN, the plain product decides the rest.
    if (run.applied == 0)
        gateMatrix(gates[pzac], m, qubitCount, ui);
    static thread_local TMATICA1 gate;
    for (int g = pzac + std::max(run.applied, 1); g <= pkon; ++g) {
        gateMatrix(gates[g], gate, qubitCount, ui);
        matMul(gate, m, m, n);
    }
}

void composeGateList(std::span<const TGATE1> gates, int count, TMATICA1& m, int qubitCount, Presentation& ui)
{
    if (count == 0) {
        setIdentity(m, 1 << qubitCount);
        return;
    }
    kompozicia(gates, count, 1, count, m, qubitCount, ui);
}
