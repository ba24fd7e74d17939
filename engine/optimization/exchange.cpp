#include "engine/optimization/exchange.h"

#include <string>

#include "engine/optimization/gateshape.h"
#include "engine/optimization/rulecheck.h"
#include "engine/synthesis/circuit.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

using enum ExchangeResult;

struct PairFacts {
    bool cnot1;
    bool cnot2;
    bool w12;  // every control of b1 is a qubit of b2
    bool w21;
};

ExchangeResult sameTargetRules(TGATE1& b1, TGATE1& b2, const PairFacts& facts, std::uint8_t dragDirection)
{
    // Passing unchanged is sound only when the matrices really commute; a pair
    // that commutes merely within the tolerance goes on to the rewrites below,
    // which keep the pair's product.
    if (equalToLastBits2(matMul2(b1.u, b2.u), matMul2(b2.u, b1.u)))
        return exchangeUnchanged;
    // Conjugating the gate with more controls by the other one's matrix is
    // exact only when the other gate's controls are among its own.
    const bool tryB2 = dragDirection == dragLeft || (dragDirection == dragRight && !facts.w21);
    const bool tryB1 = dragDirection == dragRight || (dragDirection == dragLeft && !facts.w12);
    if (tryB2 && facts.w12 && !facts.cnot2) {
        b2.u = matMul2(adjoint2(b1.u), b2.u);
        b2.u = matMul2(b2.u, b1.u);
        return exchangeChangedB2;
    }
    if (tryB1 && facts.w21 && !facts.cnot1) {
        b1.u = matMul2(b2.u, b1.u);
        b1.u = matMul2(b1.u, adjoint2(b2.u));
        return exchangeChangedB1;
    }
    return exchangeRefused;
}

// Every rewrite below conjugates by a diagonal phase: the diagonal entries stay.
ExchangeResult differentTargetRules(TGATE1& b1, TGATE1& b2, const PairFacts& facts)
{
    const bool tb = isControlOf(b1.target, b2);
    const bool tc = isControlOf(b2.target, b1);
    TMATICA2& u1 = b1.u;
    TMATICA2& u2 = b2.u;
    if (tb && !tc) {
        if (isDiagonal2(u1))
            return exchangeUnchanged;
        if (isScalar2(u2) && facts.w21 && !facts.cnot1) {
            const Complex d = u2.u11;
            u1.u12 = u1.u12 * conjugate(d);
            u1.u21 = u1.u21 * d;
            return exchangeChangedB1;
        }
        return exchangeRefused;
    }
    if (tb && tc) {
        if (isDiagonal2(u1)) {
            if (isOne(u1.u22) || isDiagonal2(u2))
                return exchangeUnchanged;
            if (facts.w12 && !facts.cnot2) {
                const Complex e = u1.u22;
                u2.u12 = u2.u12 * e;
                u2.u21 = u2.u21 * conjugate(e);
                return exchangeChangedB2;
            }
            return exchangeRefused;
        }
        if (isDiagonal2(u2)) {
            if (isOne(u2.u22))
                return exchangeUnchanged;
            if (facts.w21 && !facts.cnot1) {
                const Complex e = u2.u22;
                u1.u12 = u1.u12 * conjugate(e);
                u1.u21 = u1.u21 * e;
                return exchangeChangedB1;
            }
        }
        return exchangeRefused;
    }
    if (tc) {
        if (isDiagonal2(u2))
            return exchangeUnchanged;
        if (isScalar2(u1) && facts.w12 && !facts.cnot2) {
            const Complex d = u1.u11;
            u2.u12 = u2.u12 * d;
            u2.u21 = u2.u21 * conjugate(d);
            return exchangeChangedB2;
        }
        return exchangeRefused;
    }
    return exchangeUnchanged;  // neither target controls the other gate
}

// A controlled gate m passes an antidiagonal gate s that controls it: m keeps
// its control on t(s) with the adjoint matrix, and a copy of m without that
// control (the jump gate) goes directly after s.
ExchangeResult jumpRule(Presentation& ui, JumpSlot& jump, TGATE1& b1, TGATE1& b2, int pos1, int pos2,
                        std::uint8_t dragDirection)
{
    if (dragDirection != dragLeft && dragDirection != dragRight)
        return exchangeRefused;
    const bool left = dragDirection == dragLeft;
    const TGATE1& s = left ? b1 : b2;
    TGATE1& m = left ? b2 : b1;
    if (!subsetControls(s, m) || s.target == m.target || !isAntidiagonal2(s.u) || jump.jumpPending)
        return exchangeRefused;

    if (!isControlOf(s.target, m))
        ui.appendLog("!!!Exchange of gates: Bad assumption in one of the conditions!!");
    jump.jumpPending = true;
    jump.jumpPosition = left ? pos1 : pos2;

    TGATE1& t = jump.jumpGate;
    t = TGATE1{};
    t.type = m.type > 0 ? static_cast<std::uint8_t>(m.type - 1) : 0;
    // The qubit bytes run target first, then controls[1..type].
    int copied = 0;
    for (int k = 0; k <= m.type && k <= maxQubits - 1; ++k) {
        const std::uint8_t qubit = k == 0 ? m.target : m.controls[k];
        if (qubit == s.target)
            continue;
        if (copied == 0)
            t.target = qubit;
        else
            t.controls[copied] = qubit;
        ++copied;
    }
    if (copied != m.type)
        ui.appendLog("!!!Exchange of gates: Programator's mistake +-1");
    t.removed = 0;
    t.u = m.u;
    m.u = adjoint2(m.u);
    return exchangeJump;
}

const char* selfTestWord(ExchangeResult result)
{
    switch (result) {
    case exchangeRefused: return "FALSE";
    case exchangeChangedB1: return "Changing the gate b1";
    case exchangeChangedB2: return "Changing the gate b2";
    case exchangeUnchanged: return "TRUE";
    case exchangeJump: return "\"Jump over Lm(.) gate\"";
    }
    return "";
}

// check.before holds F(b2) * F(b1) from before the rules ran.
void selfTest(Workspace& ws, Presentation& ui, RuleCheckMatrices& check, const JumpSlot& jump, int pos1, int pos2,
              std::uint8_t dragDirection, ExchangeResult result)
{
    const TGATE1& b1 = ws.gates[pos1];
    const TGATE1& b2 = ws.gates[pos2];
    if (result != exchangeJump)
        composeInFrame(check.frame, {&b2, &b1}, check.after, ui);
    else if (dragDirection == dragLeft)  // the jump gate follows the stationary b1
        composeInFrame(check.frame, {&b2, &b1, &jump.jumpGate}, check.after, ui);
    else
        composeInFrame(check.frame, {&jump.jumpGate, &b2, &b1}, check.after, ui);
    const int n = 1 << check.frame.qubitCount;
    const bool same = matEqual(check.before, check.after, n, ws.tolerance);
    if (same == (result == exchangeRefused))
        ui.appendLog("Different results for exchange of the gates:" + std::to_string(pos1) + "," +
                     std::to_string(pos2) + ". my algorithm:" + selfTestWord(result) +
                     (same ? "Matrices:TRUE" : "Matrices:FALSE"));
}

// Gates on different targets, neither a control of the other, pass as they are
// (result 3), and their two products are the same matrix to the bit: every
// entry of either is 0 plus one product of the same two finite entries, in
// either order. The self-test would compose both and find them equal, so it
// is left out, unless composing a gate would show a message of its own.
bool commuteToTheBit(const QubitFrame& frame, const TGATE1& b1, const TGATE1& b2)
{
    return b1.target != b2.target && !isControlOf(b1.target, b2) && !isControlOf(b2.target, b1) &&
           hasFiniteEntries2(b1.u) && hasFiniteEntries2(b2.u) && composesQuietly(frame, b1) &&
           composesQuietly(frame, b2);
}

}  // namespace

ExchangeResult prehodbrany(Workspace& ws, Presentation& ui, JumpSlot& jump, int pos1, int pos2,
                           std::uint8_t dragDirection)
{
    return prehodbrany(ws, ui, jump, pos1, pos2, dragDirection, readRuleSettings(ui));
}

ExchangeResult prehodbrany(Workspace& ws, Presentation& ui, JumpSlot& jump, int pos1, int pos2,
                           std::uint8_t dragDirection, const RuleSettings& settings)
{
    if (pos1 >= pos2) {
        ui.appendLog("To procedure \"prehodbrany\" parameter pos1>=pos2 was send!!! That's BAD.");
        return exchangeRefused;
    }
    if (pos1 < 1 || pos2 > maxGates)  // no such slots: nothing to exchange
        return exchangeRefused;
    TGATE1& b1 = ws.gates[pos1];
    TGATE1& b2 = ws.gates[pos2];
    if (!settings.optimize && (b1.type > 0 || b2.type > 0))
        return exchangeRefused;

    RuleCheckMatrices* check = nullptr;
    if (settings.selfCheck) {
        check = &ruleCheckMatrices();
        check->frame = pairFrame(b1, b2, ws.qubitCount);
        if (commuteToTheBit(check->frame, b1, b2))
            check = nullptr;
        else
            composeInFrame(check->frame, {&b1, &b2}, check->before, ui);
    }

    const PairFacts facts{isCnot(b1, ws.pauliX, ws.tolerance), isCnot(b2, ws.pauliX, ws.tolerance),
                          controlsWithin(b1, b2), controlsWithin(b2, b1)};
    ExchangeResult result = b1.target == b2.target ? sameTargetRules(b1, b2, facts, dragDirection)
                                                   : differentTargetRules(b1, b2, facts);
    if (result == exchangeRefused)
        result = jumpRule(ui, jump, b1, b2, pos1, pos2, dragDirection);

    if (check != nullptr)
        selfTest(ws, ui, *check, jump, pos1, pos2, dragDirection, result);
    return result;
}
