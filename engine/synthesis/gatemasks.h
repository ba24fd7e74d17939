#pragma once
// The basis states a gate touches, as 0-based bit masks. Basis state b (1-based)
// is the bit pattern of b - 1 with qubit 1 as the most significant of
// qubitCount bits, so qubit k is the bit of weight 2^(qubitCount - k).

#include "engine/synthesis/gate.h"

// A state qualifies when its target bit is 0 and every control bit is 1; its
// partner has the target bit set.
struct GateMasks {
    int target = 0;
    int controls = 0;
    int expectedCount = 0;    // 2^(qubitCount - type - 1); -1 for type >= qubitCount, where no count is right
    bool wellFormed = false;  // every qubit number names a bit of the states
};

inline int qubitMask(int qubit, int qubitCount) { return 1 << (qubitCount - qubit); }

inline GateMasks gateMasks(const TGATE1& gate, int qubitCount)
{
    GateMasks masks;
    const int type = gate.type;
    if (type > maxQubits - 1)
        return masks;
    // More controls than other qubits: some control repeats or is the target; the
    // states that still qualify are written and the count is reported as wrong.
    masks.expectedCount = type < qubitCount ? 1 << (qubitCount - type - 1) : -1;
    // A qubit number outside 1..qubitCount names no bit of any state, so such a
    // gate qualifies no state (and is reported like any other malformed gate).
    if (gate.target < 1 || gate.target > qubitCount)
        return masks;
    masks.target = qubitMask(gate.target, qubitCount);
    for (int c = 1; c <= type; ++c) {
        const int control = gate.controls[c];
        if (control < 1 || control > qubitCount)
            return masks;
        masks.controls |= qubitMask(control, qubitCount);
    }
    masks.wellFormed = true;
    return masks;
}

inline bool qualifies(int state, const GateMasks& masks)
{
    return (state & masks.target) == 0 && (state & masks.controls) == masks.controls;
}
