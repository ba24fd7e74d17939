#include "engine/optimization/rulecheck.h"

#include <memory>

#include "engine/synthesis/circuit.h"

namespace {

bool namesOnlyCircuitQubits(const TGATE1& g, int circuitQubits)
{
    if (g.type > maxQubits - 1 || g.target < 1 || g.target > circuitQubits)
        return false;
    for (int k = 1; k <= g.type; ++k)
        if (g.controls[k] < 1 || g.controls[k] > circuitQubits)
            return false;
    return true;
}

void markQubits(const TGATE1& g, std::array<bool, maxQubits + 1>& used)
{
    used[g.target] = true;
    for (int k = 1; k <= g.type; ++k)
        used[g.controls[k]] = true;
}

}  // namespace

QubitFrame pairFrame(const TGATE1& b1, const TGATE1& b2, int circuitQubits)
{
    QubitFrame frame;
    if (circuitQubits < 1 || circuitQubits > maxQubits || !namesOnlyCircuitQubits(b1, circuitQubits) ||
        !namesOnlyCircuitQubits(b2, circuitQubits)) {
        frame.qubitCount = circuitQubits;
        return frame;
    }
    frame.renumbered = true;
    std::array<bool, maxQubits + 1> used{};
    markQubits(b1, used);
    markQubits(b2, used);
    for (int q = 1; q <= circuitQubits; ++q)
        if (used[q])
            frame.index[q] = static_cast<std::uint8_t>(++frame.qubitCount);
    return frame;
}

bool composesQuietly(const QubitFrame& frame, const TGATE1& g)
{
    if (!frame.renumbered || g.type > maxQubits - 1)
        return false;
    std::array<bool, maxQubits + 1> used{};
    for (int k = 0; k <= g.type; ++k) {
        const int qubit = k == 0 ? g.target : g.controls[k];
        if (qubit < 1 || qubit > maxQubits || used[qubit])
            return false;
        used[qubit] = true;
    }
    return true;
}

void composeInFrame(const QubitFrame& frame, std::initializer_list<const TGATE1*> applied, TMATICA1& m,
                    Presentation& ui)
{
    std::array<TGATE1, 4> list;  // slot 0 holds no gate
    int count = 0;
    for (const TGATE1* g : applied) {
        if (count == 3)
            break;
        TGATE1& local = list[++count];
        local = *g;
        if (!frame.renumbered)
            continue;
        // A renumbered frame holds only gates whose qubits lie in 1..maxQubits.
        local.target = frame.index[g->target];
        for (int k = 1; k <= g->type; ++k)
            local.controls[k] = frame.index[g->controls[k]];
    }
    kompozicia(list, count, 1, count, m, frame.qubitCount, ui);
}

RuleCheckMatrices& ruleCheckMatrices()
{
    static thread_local std::unique_ptr<RuleCheckMatrices> scratch = std::make_unique<RuleCheckMatrices>();
    return *scratch;
}
