#include "engine/synthesis/circuitdepth.h"

#include <algorithm>
#include <array>

namespace {

// Qubits are numbered up to ten (the fewest-CNOT route's largest circuits).
constexpr int mostQubits = 10;

int layers(std::span<const TGATE1> gates, bool controlledOnly)
{
    std::array<int, mostQubits + 1> reached{};  // the last layer on each qubit
    int depth = 0;
    for (const TGATE1& g : gates) {
        if (controlledOnly && g.type == 0)
            continue;
        auto qubitsOf = [&](auto visit) {
            visit(g.target);
            for (int c = 1; c <= g.type; ++c)
                visit(g.controls[c]);
        };
        int layer = 0;
        qubitsOf([&](int q) {
            if (q >= 1 && q <= mostQubits)
                layer = std::max(layer, reached[q]);
        });
        ++layer;
        qubitsOf([&](int q) {
            if (q >= 1 && q <= mostQubits)
                reached[q] = layer;
        });
        depth = std::max(depth, layer);
    }
    return depth;
}

}  // namespace

int circuitDepth(std::span<const TGATE1> gates) { return layers(gates, false); }

int cnotDepth(std::span<const TGATE1> gates) { return layers(gates, true); }
