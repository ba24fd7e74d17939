#include "engine/shannon/onequbitmerge.h"

#include <algorithm>
#include <array>
#include <optional>

#include "engine/shannon/fewestcnots.h"

namespace {

// One pass of merging, in place: every gate written stands for at least one
// gate read before it, so the write position never passes the read position
// and no second list of fresh memory is needed. Returns whether anything changed.
bool mergePass(std::span<TGATE1>& gates, int qubitCount, double identityTolerance)
{
    std::array<std::optional<TMATICA2>, fewestCnotsMostQubits + 1> pending;
    std::array<int, fewestCnotsMostQubits + 1> runLength{};
    std::size_t written = 0;
    bool changed = false;
    auto flush = [&](int qubit) {
        if (!pending[qubit])
            return;
        if (!matEqual2(*pending[qubit], identityMatrix2(), identityTolerance))
            gates[written++] = oneQubitGate(qubit, *pending[qubit]);
        else
            changed = true;
        changed = changed || runLength[qubit] > 1;
        pending[qubit].reset();
        runLength[qubit] = 0;
    };
    for (std::size_t read = 0; read < gates.size(); ++read) {
        const TGATE1 g = gates[read];
        if (g.type == 0) {
            pending[g.target] = pending[g.target] ? matMul2(g.u, *pending[g.target]) : g.u;
            ++runLength[g.target];
            continue;
        }
        flush(g.target);
        for (int k = 1; k <= g.type; ++k)
            flush(g.controls[k]);
        gates[written++] = g;
    }
    for (int qubit = 1; qubit <= qubitCount; ++qubit)
        flush(qubit);
    gates = gates.first(written);
    return changed;
}

// Two equal CNOTs cancel when no gate on their wires stands between them.
bool cancelCnotPairs(std::span<TGATE1>& gates)
{
    bool changed = false;
    for (std::size_t i = 0; i < gates.size(); ++i) {
        if (gates[i].removed || !isExactCnot(gates[i]))
            continue;
        const int control = gates[i].controls[1];
        const int target = gates[i].target;
        for (std::size_t j = i + 1; j < gates.size(); ++j) {
            const TGATE1& g = gates[j];
            if (g.removed)
                continue;
            const bool touches = g.target == control || g.target == target ||
                                 (g.type > 0 && (g.controls[1] == control || g.controls[1] == target));
            if (!touches)
                continue;
            if (isExactCnot(g) && g.controls[1] == control && g.target == target) {
                gates[i].removed = 1;
                gates[j].removed = 1;
                changed = true;
            }
            break;
        }
    }
    if (changed) {
        const auto kept = std::remove_if(gates.begin(), gates.end(), [](const TGATE1& g) { return g.removed != 0; });
        gates = gates.first(static_cast<std::size_t>(kept - gates.begin()));
    }
    return changed;
}

}  // namespace

std::size_t mergeOneQubitGates(std::span<TGATE1> gates, int qubitCount, double identityTolerance)
{
    mergePass(gates, qubitCount, identityTolerance);
    while (cancelCnotPairs(gates))
        mergePass(gates, qubitCount, identityTolerance);
    return gates.size();
}

void mergeOneQubitGates(GateList& gates, int qubitCount, double identityTolerance)
{
    gates.resize(mergeOneQubitGates(std::span(gates), qubitCount, identityTolerance));
}

