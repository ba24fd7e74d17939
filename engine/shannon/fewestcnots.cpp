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
    // Synthesized and merged straight in the caller's list: a list of our own
    // would be one more stretch of fresh memory to fill and copy.
    const std::span<TGATE1> out = std::span(gates).subspan(1, synthesizedGateBound(circuit));
    const std::size_t synthesized = synthesizeBlocks(circuit, out);
    return static_cast<int>(mergeOneQubitGates(out.first(synthesized), qubitCount));
}
