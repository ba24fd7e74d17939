#pragma once
// Full matrices for the self-tests of the exchange and merging rules.

#include "engine/kernel/matrix.h"

struct RuleCheckMatrices {
    TMATICA1 first;
    TMATICA1 second;
    TMATICA1 before;
    TMATICA1 after;
};

// Scratch shared by the self-tests; allocated once per thread, on first use,
// so a checked optimization does not allocate per gate.
RuleCheckMatrices& ruleCheckMatrices();
