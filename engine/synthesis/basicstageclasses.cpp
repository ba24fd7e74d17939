// The three class routines of the basic-gate stage (declared in basicstage.h):
// rotation angles from the entries of the working matrix and the gate sequences
// built from them.
#include <cmath>

#include "engine/synthesis/basicstage.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

constexpr const char* parametersMessage = "Procedure Rozloz1U: The parameters of matrix are not determined correctly!";

// Fills scratch.n1 from slot 1: the phase gate first when there is one.
class SequenceWriter {
public:
    SequenceWriter(Workspace& ws, BasicScratch& scratch, int target, int control, const std::optional<TGATE1>& phase)
        : ws_(ws), scratch_(scratch), target_(target), control_(control)
    {
        if (phase)
            put(*phase);
    }

    void oneQubit(const TMATICA2& u)
    {
        TGATE1 g;
        g.u = u;
        g.type = 0;
        g.target = static_cast<std::uint8_t>(target_);
        put(g);
    }

    void cnot()
    {
        TGATE1 g;
        g.u = ws_.pauliX;
        g.type = 1;
        g.target = static_cast<std::uint8_t>(target_);
        g.controls[1] = static_cast<std::uint8_t>(control_);
        put(g);
    }

    void finish()
    {
        scratch_.n1First = 1;
        scratch_.n1Last = length_;
        scratch_.n1Ready = true;
    }

private:
    void put(TGATE1 g)
    {
        g.removed = 0;
        ++length_;
        scratch_.n1[length_] = g;
    }

    Workspace& ws_;
    BasicScratch& scratch_;
    int target_;
    int control_;
    int length_ = 0;
};

// Reports when either rebuilt entry differs from its original by more than the tolerance.
void checkEntries(const Workspace& ws, Presentation& ui, Complex entry1, Complex rebuilt1, Complex entry2,
                  Complex rebuilt2)
{
    if (modulus(entry1 - rebuilt1) > ws.tolerance || modulus(entry2 - rebuilt2) > ws.tolerance)
        ui.showMessage(parametersMessage, MessageStyle::information);
}

// The short first cases read only half of the matrix; they are taken when the
// other half is zero to rounding, else the full formulas run (they also cover
// that case exactly), so an entry below the tolerance is never dropped.
bool isZero(Complex z) { return fuzzyEqual(z, Complex{}); }

}  // namespace

void decomposeHermitian(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t, int c,
                        const std::optional<TGATE1>& phase)
{
    SequenceWriter out(ws, scratch, t, c, phase);
    if (isZero(m.u11) && isZero(m.u22)) {
        const double phi = angle(m.u21);
        out.oneQubit(phaseRotation2(phi));
        out.cnot();
        out.oneQubit(phaseRotation2(-phi));
        out.finish();
        return;
    }
    const double phi = angle(m.u21 * m.u21) / 2.0;
    const double theta = 2.0 * angle(timesMinusI(m.u11) + m.u21 * fromPolar(1.0, -phi));
    checkEntries(ws, ui, m.u21, fromPolar(std::cos(theta / 2.0), phi), m.u11, toComplex(-std::sin(theta / 2.0)));
    out.oneQubit(matMul2(realRotation2(theta / 2.0), phaseRotation2(phi)));
    out.cnot();
    out.oneQubit(matMul2(phaseRotation2(-phi), realRotation2(-theta / 2.0)));
    out.finish();
}

void decomposeRealOffDiagonal(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t,
                              int c, const std::optional<TGATE1>& phase)
{
    SequenceWriter out(ws, scratch, t, c, phase);
    if (isZero(m.u12) && isZero(m.u21)) {
        const double phi = angle(m.u11);
        out.cnot();
        out.oneQubit(phaseRotation2(-phi));
        out.cnot();
        out.oneQubit(phaseRotation2(phi));
        out.finish();
        return;
    }
    const double phi = angle(m.u11 * m.u11) / 2.0;
    const double theta = 2.0 * angle(timesI(m.u12) + m.u11 * fromPolar(1.0, -phi));
    checkEntries(ws, ui, m.u11, fromPolar(std::cos(theta / 2.0), phi), m.u12, toComplex(std::sin(theta / 2.0)));
    out.cnot();
    out.oneQubit(matMul2(realRotation2(-theta / 2.0), phaseRotation2(-phi)));
    out.cnot();
    out.oneQubit(matMul2(phaseRotation2(phi), realRotation2(theta / 2.0)));
    out.finish();
}

void decomposeGeneral(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t, int c,
                      const std::optional<TGATE1>& phase)
{
    SequenceWriter out(ws, scratch, t, c, phase);
    const Complex m11m12 = m.u11 * m.u12;
    const double phi = angle(m11m12);
    const double theta =
        angle(timesReal(timesI(m11m12) * fromPolar(1.0, -phi), 2.0) + m.u11 * m.u22 + m.u12 * m.u21);
    // cos(theta/2) is about |m11|, which the dispatcher has made sure is not zero.
    const double psi = 2.0 * angle(timesReal(m.u11 * fromPolar(1.0, -phi / 2.0), 1.0 / std::cos(theta / 2.0)));
    checkEntries(ws, ui, m.u11, fromPolar(std::cos(theta / 2.0), (phi + psi) / 2.0), m.u12,
                 fromPolar(std::sin(theta / 2.0), (phi - psi) / 2.0));
    out.oneQubit(phaseRotation2((psi - phi) / 2.0));
    out.cnot();
    out.oneQubit(matMul2(realRotation2(-theta / 2.0), phaseRotation2(-(phi + psi) / 2.0)));
    out.cnot();
    out.oneQubit(matMul2(phaseRotation2(phi), realRotation2(theta / 2.0)));
    out.finish();
}
