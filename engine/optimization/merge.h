#pragma once
// Merging of two neighbouring gates into one gate, or into nothing, by
// closed-form rules on their qubits and 2 x 2 matrices.

#include <cstdint>

#include "engine/optimization/rulesettings.h"

class Presentation;
struct Workspace;

enum class MergeResult : std::uint8_t {
    mergeNone = 0,      // not merged; nothing changed
    mergeIntoB2 = 1,    // b1 removed; b2 holds the merged gate
    mergeIntoB1 = 2,    // b2 removed; b1 holds the merged gate
    mergeIdentity = 3,  // both removed; their product is the identity
};

// Tries to replace gates pos1 < pos2 of ws.gates (b1 applied first) by one of
// them with a merged matrix, or by nothing; marks the gates that go `removed`.
// Entry tests use fuzzyEqual, matrix tests ws.tolerance. With "Check after each
// stage of decomposition" it compares full matrices and logs a wrong removal.
MergeResult spravid(Workspace& ws, Presentation& ui, int pos1, int pos2);

// The same with the Settings marks already read.
MergeResult spravid(Workspace& ws, Presentation& ui, int pos1, int pos2, const RuleSettings& settings);
