#include "engine/synthesis/basicstage.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "engine/optimization/gateshape.h"
#include "engine/synthesis/rewrite.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

constexpr double pi = std::numbers::pi;
// The bound of fuzzyEqual near zero: a difference no larger is rounding.
constexpr double roundingBound = 1e-12;

// diag(1, e^(i g)) on qubit `control`: a controlled e^(i g) I written on the control alone.
TGATE1 phaseGate(int control, double g)
{
    TGATE1 gate;
    gate.u = {Complex{1.0, 0.0}, Complex{}, Complex{}, fromPolar(1.0, g)};
    gate.type = 0;
    gate.removed = 0;
    gate.target = static_cast<std::uint8_t>(control);
    return gate;
}

TMATICA2 scaled(Complex factor, const TMATICA2& u)
{
    return {factor * u.u11, factor * u.u12, factor * u.u21, factor * u.u22};
}

// u with only its diagonal multiplied by p: equals the identity when u = I / p.
TMATICA2 diagonalScaled(Complex p, const TMATICA2& u) { return {u.u11 * p, u.u12, u.u21, u.u22 * p}; }

void singleResult(BasicScratch& scratch, const TGATE1& gate)
{
    scratch.n1[1] = gate;
    scratch.n1First = 1;
    scratch.n1Last = 1;
    scratch.n1Ready = true;
}

}  // namespace

void Rozloz1U(Workspace& ws, Presentation& ui, BasicScratch& scratch, TGATE1 gate)
{
    scratch.n1Ready = false;
    if (gate.type != 1) {
        ui.showMessage("Procedure Rozloz1U: The gate to be decomposed is not L1(U)!", MessageStyle::information);
        return;
    }
    const TMATICA2& u = gate.u;
    const int t = gate.target;
    const int c = gate.controls[1];
    const double tolerance = ws.tolerance;
    // Only the identity itself is refused. A gate within the tolerance of it,
    // or within rounding (the root of a nearly identity Toffoli gate), is still
    // a unitary that the rows below decompose exactly; refusing it left it in
    // the circuit with two messages per gate.
    if (matEqual2(u, ws.identity2, 0.0)) {
        ui.showMessage("Procedure Rozloz1U: The gate to be decomposed is identity!", MessageStyle::information);
        return;
    }
    if (matEqual2(u, ws.pauliX, tolerance)) {
        ui.showMessage("Procedure Rozloz1U: The gate to be decomposed is basic already!", MessageStyle::information);
        singleResult(scratch, gate);
        return;
    }
    const Complex det = u.u11 * u.u22 - u.u12 * u.u21;
    constexpr const char* determinantMessage =
        "Procedure Rozloz1U: The gate to be decomposed has determinant with modul<>1!!!";
    if (std::fabs(modulus(det) - 1.0) > tolerance) {
        ui.showMessage(determinantMessage, MessageStyle::information);
        return;
    }
    const double delta = angle(det) * 0.5;
    // A class routine reproduces only matrices of its class, and a single phase
    // gate only a multiple of the identity; whatever lies outside is lost. The
    // tests of the rows are therefore made to rounding, not to the tolerance:
    // dropped parts of up to 1e-6 per gate, over the tens of thousands of gates
    // of a five-qubit circuit, broke the final comparison with the input.
    // Everything else reaches decomposeGeneral, which is exact for any unitary.
    auto zero = [](double value) { return std::fabs(value) <= roundingBound; };

    // U = e^(i g) M: the phase goes to the control as diag(1, e^(i g)), which
    // commutes with the controlled M and is written first.
    if (zero(modulus(det + Complex{1.0, 0.0})) && zero(absImag(u.u11)) && zero(absImag(u.u22))) {
        decomposeHermitian(ws, ui, scratch, u, t, c, std::nullopt);
        return;
    }
    if (const Complex p = fromPolar(1.0, pi / 2.0 - delta); zero(absImag(u.u11 * p)) && zero(absImag(u.u22 * p))) {
        decomposeHermitian(ws, ui, scratch, scaled(p, u), t, c, phaseGate(c, delta - pi / 2.0));
        return;
    }
    if (equalToRounding2(diagonalScaled(fromPolar(1.0, -delta), u), ws.identity2)) {
        singleResult(scratch, phaseGate(c, delta));
        return;
    }
    if (equalToRounding2(diagonalScaled(fromPolar(1.0, -(delta + pi)), u), ws.identity2)) {
        singleResult(scratch, phaseGate(c, delta + pi));
        return;
    }
    if (zero(modulus(det - Complex{1.0, 0.0})) && zero(absImag(u.u12)) && zero(absImag(u.u21))) {
        decomposeRealOffDiagonal(ws, ui, scratch, u, t, c, std::nullopt);
        return;
    }
    if (const Complex p = fromPolar(1.0, -delta); zero(absImag(u.u12 * p)) && zero(absImag(u.u21 * p))) {
        decomposeRealOffDiagonal(ws, ui, scratch, scaled(p, u), t, c, phaseGate(c, delta));
        return;
    }
    // decomposeGeneral divides by cos(theta/2), about |u11|; a unitary never
    // gets here with a zero u11 or u12 (rows 2 and 6 take those exactly).
    if (zero(modulus(u.u11)) || zero(modulus(u.u12))) {
        ui.showMessage(determinantMessage, MessageStyle::information);
        return;
    }
    if (zero(modulus(det - Complex{1.0, 0.0}))) {
        decomposeGeneral(ws, ui, scratch, u, t, c, std::nullopt);
        return;
    }
    decomposeGeneral(ws, ui, scratch, scaled(fromPolar(1.0, -delta), u), t, c, phaseGate(c, delta));
}

void Doelementarnych(Workspace& ws, Presentation& ui)
{
    ui.appendLog("The decomposition of L1(U) gates into basic gates has begun");
    ws.tolerance = 1e-6;
    const auto scratch = std::make_unique<BasicScratch>();
    const InPlaceRewrite rewrite = beginInPlaceRewrite(ws, ui);
    int written = 0;
    // Every record the class routines write has removed = 0, so n1 needs no
    // clearing between gates; a gate copied unchanged keeps its own flag.
    for (int r = rewrite.firstUnread; r <= maxGates; ++r) {
        ui.stepProgress();
        const TGATE1& gate = ws.gates[r];
        if (gate.type != 1 || matEqual2(gate.u, ws.pauliX, ws.tolerance)) {
            ++written;
            ws.gates[written] = gate;
            continue;
        }
        Rozloz1U(ws, ui, *scratch, gate);
        if (!scratch->n1Ready) {
            ui.showMessage(
                "!!!!Procedure Doelementarnych(U): There exist a gate for which the decomposition was not cerated.",
                MessageStyle::information);
            singleResult(*scratch, gate);
        }
        if (r < written + scratch->n1Last) {
            ui.showMessage("!!!!Procedure Doelementarnych: The array n1 is not long enough", MessageStyle::information);
            keepUnreadTail(ws, written, r);
            return;
        }
        for (int j = scratch->n1First; j <= scratch->n1Last; ++j)
            ws.gates[written + j] = scratch->n1[j];
        written += scratch->n1Last - scratch->n1First + 1;
    }
    ws.pocetb1 = written;
}
