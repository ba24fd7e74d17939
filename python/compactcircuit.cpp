#include "python/compactcircuit.h"

namespace {

const TMATICA2 pauliX{{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};

}  // namespace

CompactCircuit compactCircuit(std::span<const TGATE1> gates)
{
    CompactCircuit circuit;
    circuit.gates.reserve(gates.size());
    for (const TGATE1& g : gates) {
        CompactGate c;
        c.type = g.type;
        c.removed = g.removed;
        c.target = g.target;
        for (std::size_t k = 1; k < g.controls.size(); ++k)
            c.controls[k - 1] = g.controls[k];
        if (!isExactPauliX(g.u)) {
            c.matrix = static_cast<std::int32_t>(circuit.matrices.size());
            circuit.matrices.push_back(g.u);
        }
        circuit.gates.push_back(c);
    }
    circuit.matrices.shrink_to_fit();
    return circuit;
}

std::vector<TGATE1> expandedGates(const CompactCircuit& circuit)
{
    std::vector<TGATE1> gates;
    gates.reserve(circuit.gates.size());
    for (const CompactGate& c : circuit.gates) {
        TGATE1 g;
        g.type = c.type;
        g.removed = c.removed;
        g.target = c.target;
        for (std::size_t k = 1; k < g.controls.size(); ++k)
            g.controls[k] = c.controls[k - 1];
        g.u = c.matrix < 0 ? pauliX : circuit.matrices[static_cast<std::size_t>(c.matrix)];
        gates.push_back(g);
    }
    return gates;
}
