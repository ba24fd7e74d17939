#include "engine/shannon/fewestcnots.h"

#include <array>

#include "engine/shannon/blockcircuit.h"
#include "engine/shannon/onequbitmerge.h"
#include "engine/shannon/zxzrecursion.h"

int fewestCnotsCircuit(const TMATICA1& u, int qubitCount, TGATES1& gates)
{
    static constexpr std::array<int, 5> allQubits{1, 2, 3, 4, 5};
    BlockCircuit circuit;
    appendUnitary(circuit, toCMat(u, 1 << qubitCount),
                  std::span<const int>(allQubits).first(static_cast<std::size_t>(qubitCount)));
    GateList list = synthesizeBlocks(circuit);
    mergeOneQubitGates(list, qubitCount);
    int count = 0;
    for (const TGATE1& g : list)
        gates[++count] = g;
    return count;
}
