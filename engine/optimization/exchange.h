#pragma once
// Exchange of two neighbouring gates by closed-form commutation rules: may the
// dragged gate pass its neighbour, and which rewrite keeps the pair's matrix.

#include <cstdint>

#include "engine/optimization/rulesettings.h"
#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

enum class ExchangeResult : std::uint8_t {
    exchangeRefused = 0,    // not exchanged; nothing changed
    exchangeChangedB1 = 1,  // exchanged; the matrix of b1 was rewritten
    exchangeChangedB2 = 2,  // exchanged; the matrix of b2 was rewritten
    exchangeUnchanged = 3,  // the gates commute as they are
    exchangeJump = 4,       // the moving gate jumped an antidiagonal gate; see JumpSlot
};

// Drag directions: in a left drag b2 moves, in a right drag b1 moves.
inline constexpr std::uint8_t dragLeft = 1;
inline constexpr std::uint8_t dragRight = 2;

// The gate a jump produces; the optimizer inserts it directly after the gate
// at jumpPosition once the drag has ended in a merge.
struct JumpSlot {
    bool jumpPending = false;
    int jumpPosition = 0;
    TGATE1 jumpGate;
};

// Decides whether gates pos1 < pos2 of ws.gates may be exchanged and rewrites
// them so that b2 then b1 (with the jump gate, for result 4) has the matrix
// that b1 then b2 had. Entry tests use fuzzyEqual, matrix tests ws.tolerance.
// With "Check after each stage of decomposition" it compares full matrices
// and logs any disagreement.
ExchangeResult prehodbrany(Workspace& ws, Presentation& ui, JumpSlot& jump, int pos1, int pos2,
                           std::uint8_t dragDirection);

// The same with the Settings marks already read.
ExchangeResult prehodbrany(Workspace& ws, Presentation& ui, JumpSlot& jump, int pos1, int pos2,
                           std::uint8_t dragDirection, const RuleSettings& settings);
