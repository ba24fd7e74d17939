#include "engine/synthesis/toffolistage.h"

#include <memory>

#include "engine/kernel/unitaryroot2.h"
#include "engine/optimization/gateshape.h"
#include "engine/synthesis/rewrite.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

// One row of the Gray-code table: bits[1..5] (bits[1] the most significant
// of the k bits) and the number of ones among them.
struct GrayRow {
    std::uint8_t weight = 0;
    std::array<std::uint8_t, 6> bits{};
};

TGATE1 controlledGate(int control, int target, const TMATICA2& u)
{
    TGATE1 g;
    g.u = u;
    g.type = 1;
    g.removed = 0;
    g.target = static_cast<std::uint8_t>(target);
    g.controls[1] = static_cast<std::uint8_t>(control);
    return g;
}

void append(ToffoliScratch& scratch, const TGATE1& gate)
{
    ++scratch.producedCount;
    scratch.n1[scratch.producedCount] = gate;
}

}  // namespace

void easytoffoli(Workspace& ws, Presentation& ui, ToffoliScratch& scratch, const TMATICA2& u, int k)
{
    if (k < 2 || k > 4) {
        ui.showMessage("Procedure easytoffoli: The given gate can be decomposed by less complicated means!!!",
                       MessageStyle::information);
        return;
    }
    const int rows = (1 << k) - 1;
    std::array<GrayRow, 16> gray{};
    for (int i = 1; i <= rows; ++i) {
        int g = i ^ (i / 2);
        for (int j = k; j >= 1; --j) {
            gray[i].bits[j] = static_cast<std::uint8_t>(g % 2);
            g /= 2;
            gray[i].weight = static_cast<std::uint8_t>(gray[i].weight + gray[i].bits[j]);
        }
    }

    TMATICA2 v = u;
    unitaryRoot2(v, 1 << (k - 1), ws.tolerance, ui);
    const TMATICA2 w = adjoint2(v);

    scratch.producedCount = 0;
    append(scratch, controlledGate(k, k + 1, v));
    int base = 1;
    for (int m = 2; m <= k; ++m) {
        const int c = k - m + 1;
        for (int r = 1; r <= (1 << (m - 1)); ++r) {
            const int i = base + r;
            int d = c + 1;
            if (r > 1) {
                for (int j = k; j >= 1; --j) {
                    if (gray[i].bits[j] != gray[i - 1].bits[j]) {
                        d = j;
                        break;
                    }
                }
            }
            append(scratch, controlledGate(d, c, ws.pauliX));
            append(scratch, controlledGate(c, k + 1, gray[i].weight % 2 == 1 ? v : w));
        }
        base += 1 << (m - 1);
    }
}

void decomposeMultiControlled(Workspace& ws, Presentation& ui, ToffoliScratch& scratch, TGATE1 gate)
{
    const int k = gate.type;
    easytoffoli(ws, ui, scratch, gate.u, k);
    for (int i = 1; i <= scratch.producedCount; ++i) {
        TGATE1& produced = scratch.n1[i];
        produced.target = produced.target == k + 1 ? gate.target : gate.controls[produced.target];
        for (int j = 1; j <= produced.type; ++j)
            produced.controls[j] = gate.controls[produced.controls[j]];
    }
}

void DoL1U(Workspace& ws, Presentation& ui)
{
    ws.tolerance = 1e-5;
    const auto scratch = std::make_unique<ToffoliScratch>();
    const InPlaceRewrite rewrite = beginInPlaceRewrite(ws, ui);
    int written = 0;
    for (int r = rewrite.firstUnread; r <= maxGates; ++r) {
        ui.stepProgress();
        // Five qubits allow at most four controls; anything else passes untouched.
        if (ws.gates[r].type < 2 || ws.gates[r].type > 4) {
            ++written;
            ws.gates[written] = ws.gates[r];
            continue;
        }
        // A gate that is the identity to rounding does nothing; decomposed, it
        // would bring 2^(k+1) - 3 gates that do nothing either and that the
        // basic-gate stage refuses one by one, with two messages each.
        if (equalToRounding2(ws.gates[r].u, ws.identity2))
            continue;
        decomposeMultiControlled(ws, ui, *scratch, ws.gates[r]);
        if (r < written + scratch->producedCount) {
            ui.showMessage("!!!!In procedure DoL1(U) the array n1 is not long enough", MessageStyle::information);
            keepUnreadTail(ws, written, r);
            return;
        }
        for (int j = 1; j <= scratch->producedCount; ++j)
            ws.gates[written + j] = scratch->n1[j];
        written += scratch->producedCount;
    }
    ws.pocetb1 = written;
    ui.setProgressPosition(0);
    ui.setProgressVisible(false);
}
