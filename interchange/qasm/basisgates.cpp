#include "interchange/qasm/basisgates.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>

namespace {

using C = std::complex<double>;
using M2 = std::array<C, 4>;  // row by row

constexpr double pi = 3.14159265358979323846;
// A merged gate this close to a multiple of the identity is left out.
constexpr double identityTolerance = 1e-15;
// A shorter form is taken when it reproduces the gate this closely.
constexpr double formTolerance = 1e-13;

M2 toM2(const TMATICA2& u) { return {C(u.u11.re, u.u11.im), C(u.u12.re, u.u12.im), C(u.u21.re, u.u21.im), C(u.u22.re, u.u22.im)}; }

M2 times(const M2& a, const M2& b)
{
    return {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3], a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3]};
}

M2 rz(double a) { return {std::polar(1.0, -a / 2), 0.0, 0.0, std::polar(1.0, a / 2)}; }
const M2 sx{C(0.5, 0.5), C(0.5, -0.5), C(0.5, -0.5), C(0.5, 0.5)};
const M2 x{0.0, 1.0, 1.0, 0.0};

M2 u3(double theta, double phi, double lambda)
{
    const double c = std::cos(theta / 2), s = std::sin(theta / 2);
    return {c, -std::polar(s, lambda), std::polar(s, phi), std::polar(c, phi + lambda)};
}

// e^(i phase) with u = e^(i phase) v, when v is u up to a phase within formTolerance.
std::optional<double> phaseBetween(const M2& u, const M2& v)
{
    std::size_t k = 0;
    for (std::size_t i = 1; i < 4; ++i)
        if (std::abs(u[i]) > std::abs(u[k]))
            k = i;
    const C ratio = u[k] / v[k];
    for (std::size_t i = 0; i < 4; ++i)
        if (std::abs(u[i] - ratio * v[i]) > formTolerance)
            return std::nullopt;
    return std::arg(ratio);
}

struct OneQubitForm {
    std::vector<BasisOperation> operations;
    double phase = 0.0;
};

// A form: gates in circuit order, and their matrix.
struct Candidate {
    std::vector<BasisOperation> operations;
    M2 matrix;
};

Candidate candidate(int qubit, std::initializer_list<std::pair<const char*, double>> gates)
{
    Candidate c{{}, {1.0, 0.0, 0.0, 1.0}};
    for (const auto& [name, angle] : gates) {
        const std::string gate = name;
        if (gate == "rz") {
            const double a = std::remainder(angle, 2 * pi);
            if (std::abs(a) <= identityTolerance)
                continue;
            c.operations.push_back({"rz", {qubit}, {a}});
            c.matrix = times(rz(a), c.matrix);
        } else {
            c.operations.push_back({gate, {qubit}, {}});
            c.matrix = times(gate == "sx" ? sx : x, c.matrix);
        }
    }
    return c;
}

// u as rz, sx and x: the shortest of the usual forms that reproduces it.
OneQubitForm rzSxForm(const M2& u, const UAngles& a, int qubit)
{
    const double t = a.theta, p = a.phi, l = a.lambda;
    const Candidate forms[] = {
        candidate(qubit, {{"rz", p + l}}),
        candidate(qubit, {{"x", 0.0}, {"rz", p - l + pi}}),
        candidate(qubit, {{"rz", l - pi / 2}, {"sx", 0.0}, {"rz", p + pi / 2}}),
        candidate(qubit, {{"rz", l}, {"sx", 0.0}, {"rz", t + pi}, {"sx", 0.0}, {"rz", p + pi}}),
    };
    for (const Candidate& form : forms)
        if (const auto phase = phaseBetween(u, form.matrix))
            return {form.operations, *phase};
    throw std::logic_error("no rz-sx form reproduces a one-qubit gate");
}

OneQubitForm oneQubitForm(const TMATICA2& gate, int qubit, BasisGates basis)
{
    const M2 u = toM2(gate);
    const UAngles a = uAngles(gate);
    if (basis == BasisGates::u3Cx) {
        const M2 v = u3(a.theta, a.phi, a.lambda);
        const double phase = phaseBetween(u, v).value_or(a.gamma);
        if (std::abs(a.theta) <= identityTolerance && std::abs(std::remainder(a.phi + a.lambda, 2 * pi)) <= identityTolerance)
            return {{}, phase};
        return {{{"u3", {qubit}, {a.theta, a.phi, a.lambda}}}, phase};
    }
    return rzSxForm(u, a, qubit);
}

TMATICA2 product(const TMATICA2& later, const TMATICA2& earlier) { return matMul2(later, earlier); }

constexpr double halfSqrt2 = 0.70710678118654752440;
const TMATICA2 hadamard{{halfSqrt2, 0.0}, {halfSqrt2, 0.0}, {halfSqrt2, 0.0}, {-halfSqrt2, 0.0}};

}  // namespace

std::optional<BasisGates> basisGatesOf(const std::vector<std::string>& names)
{
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    if (sorted == std::vector<std::string>{"cx", "u3"})
        return BasisGates::u3Cx;
    if (sorted == std::vector<std::string>{"cx", "rz", "sx", "x"})
        return BasisGates::rzSxXCx;
    if (sorted == std::vector<std::string>{"cz", "rz", "sx", "x"})
        return BasisGates::rzSxXCz;
    return std::nullopt;
}

std::string basisGatesChoices() { return "u3,cx; rz,sx,x,cx; rz,sx,x,cz"; }

BasisCircuit basisCircuit(std::span<const TGATE1> gates, int qubitCount, BasisGates basis)
{
    BasisCircuit circuit;
    // The one-qubit gate waiting on each wire: merged with the next one there,
    // written out when a CNOT or CZ touches the wire.
    std::vector<std::optional<TMATICA2>> waiting(static_cast<std::size_t>(qubitCount) + 1);
    const auto wait = [&](int qubit, const TMATICA2& u) {
        auto& w = waiting[static_cast<std::size_t>(qubit)];
        w = w ? product(u, *w) : u;
    };
    const auto flush = [&](int qubit) {
        auto& w = waiting[static_cast<std::size_t>(qubit)];
        if (!w)
            return;
        OneQubitForm form = oneQubitForm(*w, qubit, basis);
        circuit.globalPhase += form.phase;
        circuit.operations.insert(circuit.operations.end(), form.operations.begin(), form.operations.end());
        w.reset();
    };
    for (std::size_t index = 0; index < gates.size(); ++index) {
        const TGATE1& g = gates[index];
        if (g.type == 0) {
            wait(g.target, g.u);
            continue;
        }
        if (!isExactCnot(g))
            throw std::invalid_argument("Gate " + std::to_string(index + 1) +
                                        " has controls and is no CNOT: standard gate sets take circuits of one-qubit "
                                        "gates and CNOTs (the end stages basic, shannon, numerical and none).");
        const int control = g.controls[1];
        const int target = g.target;
        if (basis == BasisGates::rzSxXCz) {
            // CNOT = H CZ H on the target.
            wait(target, hadamard);
            flush(control);
            flush(target);
            circuit.operations.push_back({"cz", {control, target}, {}});
            wait(target, hadamard);
            continue;
        }
        flush(control);
        flush(target);
        circuit.operations.push_back({"cx", {control, target}, {}});
    }
    for (int q = 1; q <= qubitCount; ++q)
        flush(q);
    circuit.globalPhase = std::remainder(circuit.globalPhase, 2 * pi);
    return circuit;
}

std::string basisQasmText(const BasisCircuit& circuit, int qubitCount, QasmVersion version)
{
    const bool v3 = version == QasmVersion::v3;
    std::string out = "// " + std::to_string(circuit.operations.size()) + " operations on " +
                      std::to_string(qubitCount) + " qubits; the first acts first. Qubit k is q[k-1], qubit 1 the\n"
                      "// most significant bit. The circuit equals these operations times e^(i * global phase).\n";
    out += v3 ? "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[" + std::to_string(qubitCount) + "] q;\n"
              : "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[" + std::to_string(qubitCount) + "];\n";
    for (const BasisOperation& op : circuit.operations) {
        out += op.name;
        if (!op.params.empty()) {
            out += '(';
            for (std::size_t k = 0; k < op.params.size(); ++k) {
                if (k > 0)
                    out += ", ";
                appendNumber(out, op.params[k]);
            }
            out += ')';
        }
        for (std::size_t k = 0; k < op.qubits.size(); ++k)
            out += (k == 0 ? " q[" : (v3 ? ", q[" : ",q[")) + std::to_string(op.qubits[k] - 1) + "]";
        out += ";\n";
    }
    if (v3) {
        out += "gphase(";
        appendNumber(out, circuit.globalPhase);
        out += ");\n";
    } else {
        out += "// global phase: ";
        appendNumber(out, circuit.globalPhase);
        out += "\n";
    }
    return out;
}
