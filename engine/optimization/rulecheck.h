#pragma once
// Full matrices for the self-tests of the exchange and merging rules.

#include <array>
#include <cstdint>
#include <initializer_list>

#include "engine/kernel/matrix.h"
#include "engine/synthesis/gate.h"

class Presentation;

// The qubits of a pair of gates renumbered 1..qubitCount. A gate's full
// matrix is its action on these qubits times the identity on the others, so
// two products of the pair's gates are equal within a tolerance on all
// qubits exactly when they are on these: the self-tests compare at most
// 32 x 32 matrices whatever the circuit's size.
struct QubitFrame {
    std::array<std::uint8_t, maxQubits + 1> index{};  // circuit qubit -> frame qubit
    int qubitCount = 0;
    bool renumbered = false;  // false: the gates keep their qubit numbers
};

// The frame of b1 and b2 in a circuit of circuitQubits qubits. A gate naming
// a qubit outside the circuit keeps the circuit's numbering, so that the
// composition reports it as it would report it on the full matrix.
QubitFrame pairFrame(const TGATE1& b1, const TGATE1& b2, int circuitQubits);

// m := F(last) * ... * F(first) over `applied` (applied first to last, at most
// three gates), in the frame; m is 2^frame.qubitCount square.
void composeInFrame(const QubitFrame& frame, std::initializer_list<const TGATE1*> applied, TMATICA1& m,
                    Presentation& ui);

// True when composeInFrame of the gate shows no message: in a renumbered
// frame, a gate on distinct qubits.
bool composesQuietly(const QubitFrame& frame, const TGATE1& g);

struct RuleCheckMatrices {
    QubitFrame frame;
    TMATICA1 before;
    TMATICA1 after;
    TGATE1 firstBefore;  // the pair as it was, for a matrix before composed later
    TGATE1 secondBefore;
};

// Scratch shared by the self-tests; allocated once per thread, on first use,
// so a checked optimization does not allocate per gate.
RuleCheckMatrices& ruleCheckMatrices();
