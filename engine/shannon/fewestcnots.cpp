#include "engine/shannon/fewestcnots.h"

#include <array>

#include "engine/shannon/blockcircuit.h"
#include "engine/shannon/onequbitmerge.h"
#include "engine/shannon/zxzrecursion.h"

int fewestCnotsCircuit(const TMATICA1& u, int qubitCount, TGATES1& gates)
{
    static constexpr std::array<int, 5> allQubits{1, 2, 3, 4, 5};
    // Room for what a generic matrix needs (more grows as usual): growing item
    // by item would copy into fresh memory at every doubling.
    static constexpr std::array<std::size_t, 6> genericItems{0, 0, 1, 28, 160, 736};
    BlockCircuit circuit;
    circuit.items.reserve(genericItems[static_cast<std::size_t>(qubitCount)]);
    circuit.blocks.reserve(std::size_t{1} << (2 * (qubitCount - 2)));
    appendUnitary(circuit, toCMat(u, 1 << qubitCount),
                  std::span<const int>(allQubits).first(static_cast<std::size_t>(qubitCount)));
    GateList list = synthesizeBlocks(circuit);
    mergeOneQubitGates(list, qubitCount);
    int count = 0;
    for (const TGATE1& g : list)
        gates[++count] = g;
    return count;
}
