#pragma once
// Helpers of the synthesis stage tests: gate builders and the composed matrix of
// a run of produced gates against the full matrix of the gate it replaces.

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "engine/synthesis/circuit.h"
#include "platform/presentation.h"

inline TGATE1 makeGate(const TMATICA2& u, int target, const std::vector<int>& controls)
{
    TGATE1 g;
    g.u = u;
    g.type = static_cast<std::uint8_t>(controls.size());
    g.target = static_cast<std::uint8_t>(target);
    int j = 1;
    for (const int c : controls)
        g.controls[j++] = static_cast<std::uint8_t>(c);
    return g;
}

// Largest entry difference between the matrix of list[1..count] and the full matrix of `replaced`.
inline double sequenceError(std::span<const TGATE1> list, int count, const TGATE1& replaced, int qubitCount,
                            Presentation& ui)
{
    const auto composed = std::make_unique<TMATICA1>();
    const auto expected = std::make_unique<TMATICA1>();
    kompozicia(list, count, 1, count, *composed, qubitCount, ui);
    gateMatrix(replaced, *expected, qubitCount, ui);
    double worst = 0.0;
    const int n = 1 << qubitCount;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            worst = std::max(worst, modulus((*composed)(r, c) - (*expected)(r, c)));
    return worst;
}
