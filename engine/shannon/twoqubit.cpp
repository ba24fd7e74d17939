// Two-qubit synthesis: Vatan and Williams (2004) for the canonical form,
// Shende, Markov and Bullock (2004) for the CNOT count of a class and the
// two-CNOT criterion up to a diagonal.
#include "engine/shannon/twoqubit.h"

#include <array>
#include <cmath>
#include <numbers>

#include <Eigen/Eigenvalues>
#include <Eigen/LU>

namespace {

constexpr double pi = std::numbers::pi;
const Scalar imagUnit{0.0, 1.0};

// Columns: (|00> + |11>)/r2, i(|01> + |10>)/r2, (|01> - |10>)/r2, i(|00> - |11>)/r2.
// In it XX, YY, ZZ are diagonal with the signs below, and a product of
// one-qubit gates of determinant 1 is a real orthogonal matrix.
Mat4 magicBasis()
{
    const double s = 1.0 / std::sqrt(2.0);
    Mat4 m;
    m << Scalar(s, 0), 0, 0, Scalar(0, s),  //
        0, Scalar(0, s), Scalar(s, 0), 0,   //
        0, Scalar(0, s), Scalar(-s, 0), 0,  //
        Scalar(s, 0), 0, 0, Scalar(0, -s);
    return m;
}

constexpr std::array<double, 4> signXX{1, 1, -1, -1};
constexpr std::array<double, 4> signYY{-1, 1, -1, 1};
constexpr std::array<double, 4> signZZ{1, -1, -1, 1};

Mat2 pauli(char which)
{
    Mat2 p;
    if (which == 'X')
        p << 0, 1, 1, 0;
    else if (which == 'Y')
        p << 0, Scalar(0, -1), Scalar(0, 1), 0;
    else
        p << 1, 0, 0, -1;
    return p;
}

Mat4 kron(const Mat2& x, const Mat2& y)
{
    Mat4 m;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            m.block<2, 2>(2 * i, 2 * j) = x(i, j) * y;
    return m;
}

// v - k pi/2 in (-pi/4, pi/4]; k is returned in `shift`.
double reduceQuarter(double v, int& shift)
{
    shift = static_cast<int>(std::floor((v + pi / 4.0) / (pi / 2.0)));
    double reduced = v - shift * (pi / 2.0);
    if (reduced <= -pi / 4.0) {
        reduced += pi / 2.0;
        --shift;
    }
    return reduced;
}

bool isZero(double v, double tolerance) { return std::fabs(v) <= tolerance; }
bool isQuarter(double v, double tolerance) { return std::fabs(std::fabs(v) - pi / 4.0) <= tolerance; }

// Real orthogonal p of determinant 1 with p^T s p diagonal, for a symmetric
// unitary s: its real and imaginary parts commute, so one real symmetric
// eigenproblem of a generic combination diagonalizes both.
Eigen::Matrix4d jointEigenvectors(const Mat4& s)
{
    const Eigen::Matrix4d re = s.real();
    const Eigen::Matrix4d im = s.imag();
    Eigen::Matrix4d best = Eigen::Matrix4d::Identity();
    double bestOffDiagonal = 1.0 / 0.0;
    // Close eigenvalues of a combination make its eigenvectors inaccurate: keep
    // the weight whose eigenvectors diagonalize s best.
    for (double weight : {0.5772156649015329, 1.4142135623730951, -2.718281828459045, 0.3183098861837907,
                          -0.7071067811865476, 3.141592653589793}) {
        Eigen::SelfAdjointEigenSolver<Eigen::Matrix4d> solver(re + weight * im);
        const Eigen::Matrix4d p = solver.eigenvectors();
        const Mat4 d = p.transpose().cast<Scalar>() * s * p.cast<Scalar>();
        const double offDiagonal = (d - Mat4(d.diagonal().asDiagonal())).cwiseAbs().maxCoeff();
        if (offDiagonal < bestOffDiagonal) {
            best = p;
            bestOffDiagonal = offDiagonal;
        }
        if (bestOffDiagonal <= 1e-15)
            break;
    }
    if (best.determinant() < 0.0)
        best.col(0) = -best.col(0);
    return best;
}

// One step of a core circuit on the two wires (0 = first qubit).
struct CoreStep {
    bool cnot = false;
    int wire = 0;
    Mat2 u = Mat2::Identity();
};
using CoreCircuit = std::vector<CoreStep>;

void addLocal(CoreCircuit& core, int wire, const Mat2& u) { core.push_back({false, wire, u}); }
void addLocalPair(CoreCircuit& core, const Mat2& first, const Mat2& second)
{
    addLocal(core, 0, first);
    addLocal(core, 1, second);
}
void addCnot(CoreCircuit& core) { core.push_back({true, 0, Mat2::Identity()}); }

Mat2 expX(double a) { return std::cos(a) * Mat2::Identity() + imagUnit * std::sin(a) * pauli('X'); }
Mat2 expZ(double c) { return Mat2(Eigen::Vector2cd(std::polar(1.0, c), std::polar(1.0, -c)).asDiagonal()); }
Mat2 phaseS() { return Mat2(Eigen::Vector2cd(1.0, imagUnit).asDiagonal()); }
Mat2 hadamard()
{
    Mat2 h;
    h << 1, 1, 1, -1;
    return h / std::sqrt(2.0);
}
// exp(-i pi/4 X): conjugation by it maps Z to -Y and keeps X.
Mat2 quarterX() { return expX(-pi / 4.0); }

// exp(i (a XX + b YY + c ZZ)) as a circuit; `zeroA` and the like say which
// coordinates are 0 (the circuit leaves them out), `cnots` how many CNOTs to use;
// `tolerance` decides which coordinates are 0 or pi/4, as for the count.
void appendCanonical(CoreCircuit& core, double a, double b, double c, int cnots, double tolerance);

// E(a, b, c) = (S (x) S) E(b, a, c) (S (x) S)^dagger.
void appendSwappedXY(CoreCircuit& core, double a, double b, double c, int cnots, double tolerance)
{
    addLocalPair(core, phaseS().adjoint(), phaseS().adjoint());
    appendCanonical(core, b, a, c, cnots, tolerance);
    addLocalPair(core, phaseS(), phaseS());
}

// E(a, b, c) = (Q (x) Q) E(a, c, b) (Q (x) Q)^dagger with Q = exp(-i pi/4 X).
void appendSwappedYZ(CoreCircuit& core, double a, double b, double c, int cnots, double tolerance)
{
    addLocalPair(core, quarterX().adjoint(), quarterX().adjoint());
    appendCanonical(core, a, c, b, cnots, tolerance);
    addLocalPair(core, quarterX(), quarterX());
}

void appendCanonical(CoreCircuit& core, double a, double b, double c, int cnots, double tolerance)
{
    if (cnots == 3) {
        // CNOT E CNOT = exp(i (a XI - b XZ + c IZ)), exp(-i b XZ) = CZ exp(-i b XI) CZ,
        // and CZ * CNOT = (S (x) S) CNOT (I (x) S^dagger).
        addLocal(core, 1, phaseS().adjoint());
        addCnot(core);
        addLocalPair(core, expX(-b) * phaseS(), phaseS());
        addLocal(core, 1, hadamard());
        addCnot(core);
        addLocal(core, 1, hadamard());
        addLocalPair(core, expX(a), expZ(c));
        addCnot(core);
        return;
    }
    if (cnots == 2) {
        // E(a, 0, c) = CNOT (exp(i a X) (x) exp(i c Z)) CNOT.
        if (isZero(b, tolerance)) {
            addCnot(core);
            addLocalPair(core, expX(a), expZ(c));
            addCnot(core);
        } else if (isZero(a, tolerance)) {
            appendSwappedXY(core, a, b, c, cnots, tolerance);
        } else {
            appendSwappedYZ(core, a, b, c, cnots, tolerance);
        }
        return;
    }
    if (cnots == 1) {
        // exp(+-i pi/4 ZZ) is CZ up to exp(+-i pi/4 Z) on both wires and a phase.
        if (isQuarter(c, tolerance)) {
            const double sign = c > 0.0 ? 1.0 : -1.0;
            addLocal(core, 1, hadamard());
            addCnot(core);
            addLocal(core, 1, hadamard());
            addLocalPair(core, expZ(sign * pi / 4.0), expZ(sign * pi / 4.0));
        } else if (isQuarter(b, tolerance)) {
            appendSwappedYZ(core, a, b, c, cnots, tolerance);
        } else {
            appendSwappedXY(core, a, b, c, cnots, tolerance);
        }
    }
}

Mat4 coreMatrix(const CoreCircuit& core)
{
    Mat4 cnot;
    cnot << 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0;
    Mat4 m = Mat4::Identity();
    for (const CoreStep& step : core) {
        if (step.cnot)
            m = cnot * m;
        else if (step.wire == 0)
            m = kron(step.u, Mat2::Identity()) * m;
        else
            m = kron(Mat2::Identity(), step.u) * m;
    }
    return m;
}

}  // namespace

Mat4 canonicalGate(double a, double b, double c)
{
    const Mat4 m = magicBasis();
    Eigen::Vector4cd phases;
    for (int j = 0; j < 4; ++j)
        phases(j) = std::polar(1.0, a * signXX[j] + b * signYY[j] + c * signZZ[j]);
    return m * phases.asDiagonal() * m.adjoint();
}

Mat4 zzPhase(double theta)
{
    return Mat4(Eigen::Vector4cd(std::polar(1.0, theta), std::polar(1.0, -theta), std::polar(1.0, -theta),
                                 std::polar(1.0, theta))
                    .asDiagonal());
}

LocalPair factorTensorProduct(const Mat4& m)
{
    // m(2i + k, 2j + l) = first(i, j) second(k, l): the largest block is a
    // multiple of `second`; scaled to determinant 1 it fixes first's entries.
    int bestI = 0;
    int bestJ = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (m.block<2, 2>(2 * i, 2 * j).squaredNorm() > m.block<2, 2>(2 * bestI, 2 * bestJ).squaredNorm()) {
                bestI = i;
                bestJ = j;
            }
    const Mat2 block = m.block<2, 2>(2 * bestI, 2 * bestJ);
    LocalPair pair;
    pair.second = block / std::sqrt(block.determinant());
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            pair.first(i, j) = (pair.second.adjoint() * m.block<2, 2>(2 * i, 2 * j)).trace() / 2.0;
    return pair;
}

Canonical canonicalForm(const Mat4& u)
{
    const Mat4 magic = magicBasis();
    const Mat4 inMagic = magic.adjoint() * u * magic;
    const Eigen::Matrix4d p = jointEigenvectors(inMagic.transpose() * inMagic);
    const Mat4 pc = p.cast<Scalar>();
    const Mat4 squares = pc.transpose() * inMagic.transpose() * inMagic * pc;
    std::array<double, 4> phi{};
    for (int j = 0; j < 4; ++j)
        phi[j] = std::arg(squares(j, j)) / 2.0;
    // inMagic = K1 D p^T with K1 = inMagic p D^-1 real orthogonal; its
    // determinant must be +1 for K1 to be a product of one-qubit gates.
    Eigen::Vector4cd dInverse;
    for (int j = 0; j < 4; ++j)
        dInverse(j) = std::polar(1.0, -phi[j]);
    const Mat4 k1 = inMagic * pc * dInverse.asDiagonal();
    if (k1.determinant().real() < 0.0)
        phi[0] += pi;

    Canonical form;
    double a = 0.0, b = 0.0, c = 0.0;
    for (int j = 0; j < 4; ++j) {
        a += phi[j] * signXX[j] / 4.0;
        b += phi[j] * signYY[j] / 4.0;
        c += phi[j] * signZZ[j] / 4.0;
    }
    // exp(i pi/2 PP) = i PP is a product of one-qubit gates and commutes with the rest.
    int shiftA = 0, shiftB = 0, shiftC = 0;
    form.a = reduceQuarter(a, shiftA);
    form.b = reduceQuarter(b, shiftB);
    form.c = reduceQuarter(c, shiftC);
    Mat2 paulis = Mat2::Identity();
    for (int k = 0; k < (shiftA % 2 + 2) % 2; ++k)
        paulis = pauli('X') * paulis;
    for (int k = 0; k < (shiftB % 2 + 2) % 2; ++k)
        paulis = pauli('Y') * paulis;
    for (int k = 0; k < (shiftC % 2 + 2) % 2; ++k)
        paulis = pauli('Z') * paulis;
    form.right = kron(paulis, paulis) * (magic * pc.transpose() * magic.adjoint());
    return form;
}

int cnotCountOfClass(const Canonical& form, double tolerance)
{
    auto zero = [&](double v) { return isZero(v, tolerance) ? 1 : 0; };
    auto quarter = [&](double v) { return isQuarter(v, tolerance); };
    const int zeros = zero(form.a) + zero(form.b) + zero(form.c);
    if (zeros == 3)
        return 0;
    if (zeros == 2)
        return (quarter(form.a) || quarter(form.b) || quarter(form.c)) ? 1 : 2;
    return zeros == 1 ? 2 : 3;
}

int twoQubitCnotCount(const Mat4& u, double tolerance) { return cnotCountOfClass(canonicalForm(u), tolerance); }

int appendTwoQubitCircuit(GateList& out, const Mat4& u, int first, int second, double tolerance)
{
    const Canonical form = canonicalForm(u);
    const int cnots = cnotCountOfClass(form, tolerance);
    CoreCircuit core;
    appendCanonical(core, form.a, form.b, form.c, cnots, tolerance);
    // u = left * core * right; left comes from the residual, so the phase of u
    // and any rounding of the canonical form end in the one-qubit gates.
    const LocalPair right = factorTensorProduct(form.right);
    const Mat4 rightExact = kron(right.first, right.second);
    const LocalPair left = factorTensorProduct(u * (coreMatrix(core) * rightExact).adjoint());

    out.push_back(oneQubitGate(first, toTmatica2(right.first)));
    out.push_back(oneQubitGate(second, toTmatica2(right.second)));
    for (const CoreStep& step : core) {
        if (step.cnot)
            out.push_back(cnotGate(first, second));
        else
            out.push_back(oneQubitGate(step.wire == 0 ? first : second, toTmatica2(step.u)));
    }
    out.push_back(oneQubitGate(first, toTmatica2(left.first)));
    out.push_back(oneQubitGate(second, toTmatica2(left.second)));
    return cnots;
}

std::optional<double> twoCnotHandOverAngle(const Mat4& u, double tolerance)
{
    const double closed = twoCnotDiagonalAngle(u);
    auto reduced = [&](double theta) { return canonicalForm(zzPhase(theta) * u); };
    if (cnotCountOfClass(reduced(closed), tolerance) <= 2)
        return closed;
    // Near a class of two CNOTs (two coordinates a hair from 0) the criterion's
    // imaginary part is a product of two small sines, below rounding, so it
    // cannot pin the angle. The product of the coordinates can: it keeps its
    // sign under the symmetries of the canonical form and changes it where a
    // coordinate passes 0. Bracket such a change on a grid, then bisect.
    auto product = [&](double theta) {
        const Canonical form = reduced(theta);
        return form.a * form.b * form.c;
    };
    constexpr int gridPoints = 96;
    for (int k = 0; k < gridPoints; ++k) {
        double low = closed + pi * k / gridPoints;
        double high = closed + pi * (k + 1) / gridPoints;
        double lowValue = product(low);
        if ((lowValue < 0.0) == (product(high) < 0.0))
            continue;
        for (int halving = 0; halving < 80; ++halving) {
            const double middle = (low + high) / 2.0;
            if (cnotCountOfClass(reduced(middle), tolerance) <= 2)
                return middle;
            const double middleValue = product(middle);
            if ((middleValue < 0.0) == (lowValue < 0.0)) {
                low = middle;
                lowValue = middleValue;
            } else {
                high = middle;
            }
        }
    }
    return std::nullopt;
}

double twoCnotDiagonalAngle(const Mat4& u)
{
    // tr gamma(exp(i t ZZ) u) = cos 2t tr(u Y u^T Y) + i sin 2t tr(u Y u^T ZZ Y), Y = YY;
    // normalized by sqrt(det u) its imaginary part must vanish.
    const Mat4 yy = kron(pauli('Y'), pauli('Y'));
    const Mat4 zz = kron(pauli('Z'), pauli('Z'));
    const Mat4 core = u * yy * u.transpose();
    const Scalar normalization = 1.0 / std::sqrt(u.determinant());
    const Scalar alpha = normalization * (core * yy).trace();
    const Scalar beta = normalization * (core * zz * yy).trace();
    return 0.5 * std::atan2(-alpha.imag(), beta.real());
}
