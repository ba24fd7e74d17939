#include "engine/optimization/merge.h"

#include <string>

#include "engine/optimization/gateshape.h"
#include "engine/optimization/rulecheck.h"
#include "engine/synthesis/circuit.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

using enum MergeResult;

// A diag(1, e) gate multiplies by e the states where all its qubits are 1, so
// it may be re-expressed on any of them; a d * I gate multiplies by d the
// states where all its controls are 1, whatever its target.
MergeResult mergeRules(const Workspace& ws, TGATE1& b1, TGATE1& b2)
{
    TMATICA2& u1 = b1.u;
    TMATICA2& u2 = b2.u;
    const bool cnot1 = isCnot(b1, ws.pauliX, ws.tolerance);
    const bool cnot2 = isCnot(b2, ws.pauliX, ws.tolerance);
    const bool r1 = isControlOf(b1.target, b2);
    const bool r2 = isControlOf(b2.target, b1);

    if (r1 && r2) {  // same qubits, different targets
        if (isUnitPhase2(u1) && isUnitPhase2(u2) && isOne(u1.u22 * u2.u22))
            return mergeIdentity;
        if (isUnitPhase2(u1)) {
            u2 = matMul2(u2, u1);
            return mergeIntoB2;
        }
        if (isUnitPhase2(u2)) {
            u1 = matMul2(u2, u1);
            return mergeIntoB1;
        }
        return mergeNone;
    }
    if (r1) {  // b2 has the controls of b1 plus t(b1)
        if (isUnitPhase2(u1)) {
            const Complex e = u1.u22;
            if (isDiagonal2(u2) && isOne(e * u2.u11) && isOne(e * u2.u22))
                return mergeIdentity;
            if (cnot2)
                return mergeNone;
            u2 = matMul2(u2, scalarMatrix2(e));
            return mergeIntoB2;
        }
        if (isScalar2(u2)) {
            u1 = matMul2(unitPhaseMatrix2(u2.u11), u1);
            return mergeIntoB1;
        }
        return mergeNone;
    }
    if (r2) {  // b1 has the controls of b2 plus t(b2)
        if (isUnitPhase2(u2)) {
            const Complex e = u2.u22;
            if (isDiagonal2(u1) && isOne(e * u1.u11) && isOne(e * u1.u22))
                return mergeIdentity;
            if (cnot1)
                return mergeNone;
            u1 = matMul2(scalarMatrix2(e), u1);
            return mergeIntoB1;
        }
        if (isScalar2(u1)) {
            u2 = matMul2(u2, unitPhaseMatrix2(u1.u11));
            return mergeIntoB2;
        }
        return mergeNone;
    }
    if (b1.target == b2.target) {  // same target, same controls
        const TMATICA2 product = matMul2(u2, u1);
        // Dropping both is sound only for a product that is the identity to
        // rounding; otherwise the product itself is kept.
        if (equalToLastBits2(product, ws.identity2))
            return mergeIdentity;
        u1 = product;
        return mergeIntoB1;
    }
    // Different targets, same controls.
    if (isScalar2(u1)) {
        if (isScalar2(u2) && isOne(u1.u11 * u2.u11))
            return mergeIdentity;
        u2 = matMul2(u2, u1);
        return mergeIntoB2;
    }
    if (isScalar2(u2)) {
        u1 = matMul2(u2, u1);
        return mergeIntoB1;
    }
    return mergeNone;
}

// check.before holds F(b2) * F(b1) from before the rules ran.
void selfTest(Workspace& ws, Presentation& ui, RuleCheckMatrices& check, int pos1, int pos2)
{
    const TGATE1& b1 = ws.gates[pos1];
    const TGATE1& b2 = ws.gates[pos2];
    const std::string numbers = std::to_string(pos1) + " , " + std::to_string(pos2);
    const int n = 1 << check.frame.qubitCount;
    if (b1.removed != 0 && b2.removed != 0) {
        setIdentity(check.after, n);
        if (!matEqual(check.before, check.after, n, ws.tolerance))
            ui.appendLog("The gates not forming the identity were removed!!! Gate numbers:" + numbers);
        return;
    }
    if (b1.removed != 0) {
        composeInFrame(check.frame, {&b2}, check.after, ui);
        if (!matEqual(check.before, check.after, n, ws.tolerance))
            ui.appendLog("The gate b1 was removed unequivalently!!! Gate numbers:" + numbers);
        return;
    }
    if (b2.removed != 0) {
        composeInFrame(check.frame, {&b1}, check.after, ui);
        if (!matEqual(check.before, check.after, n, ws.tolerance))
            ui.appendLog("The gate b2 was removed unequivalently!!! Gate numbers:" + numbers);
    }
}

}  // namespace

MergeResult spravid(Workspace& ws, Presentation& ui, int pos1, int pos2)
{
    return spravid(ws, ui, pos1, pos2, readRuleSettings(ui));
}

MergeResult spravid(Workspace& ws, Presentation& ui, int pos1, int pos2, const RuleSettings& settings)
{
    if (pos1 >= pos2) {
        ui.showMessage("Into procedure spravid pos1=" + std::to_string(pos1) + ">=" + std::to_string(pos2) +
                           "=pos2 was sent!!!!",
                       MessageStyle::information);
        return mergeNone;
    }
    if (pos1 < 1 || pos2 > maxGates)  // no such slots: nothing to merge
        return mergeNone;
    TGATE1& b1 = ws.gates[pos1];
    TGATE1& b2 = ws.gates[pos2];
    if (!settings.optimize && (b1.type > 0 || b2.type > 0))
        return mergeNone;

    if (!controlsWithin(b1, b2) || !controlsWithin(b2, b1))
        return mergeNone;
    // Formed only for pairs the rules look at: incompatible pairs are never checked.
    // Only a merge is tested, so the matrix before it waits for one, from copies
    // of the pair, unless composing it would show a message now.
    RuleCheckMatrices* check = nullptr;
    bool beforeComposed = false;
    if (settings.selfCheck) {
        check = &ruleCheckMatrices();
        check->frame = pairFrame(b1, b2, ws.qubitCount);
        check->firstBefore = b1;
        check->secondBefore = b2;
        beforeComposed = !composesQuietly(check->frame, b1) || !composesQuietly(check->frame, b2);
        if (beforeComposed)
            composeInFrame(check->frame, {&b1, &b2}, check->before, ui);
    }
    const MergeResult result = mergeRules(ws, b1, b2);
    if (result == mergeIntoB2 || result == mergeIdentity)
        b1.removed = 1;
    if (result == mergeIntoB1 || result == mergeIdentity)
        b2.removed = 1;

    if (result != mergeNone && check != nullptr) {
        if (!beforeComposed)
            composeInFrame(check->frame, {&check->firstBefore, &check->secondBefore}, check->before, ui);
        selfTest(ws, ui, *check, pos1, pos2);
    }
    return result;
}
