#include "interchange/qasm/exporter.h"
#include "platform/replacefile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

bool isZero(Complex z) { return z.re == 0.0 && z.im == 0.0; }

// The angle with signed zeros read as +0, so that -1 has the angle pi rather than -pi.
double phaseOf(Complex z) { return angle({z.re + 0.0, z.im + 0.0}); }

// Into [-pi, pi]; keeps the printed angles short and comparable.
double wrapAngle(double x) { return std::remainder(x, twoPi); }

std::string qubitText(int qubit) { return "q[" + std::to_string(qubit - 1) + "]"; }

void appendQubit(std::string& out, int qubit) { out += qubitText(qubit); }

void appendAngles(std::string& out, const UAngles& a)
{
    out += '(';
    appendNumber(out, a.theta);
    out += ", ";
    appendNumber(out, a.phi);
    out += ", ";
    appendNumber(out, a.lambda);
    out += ')';
}

std::string gateRefusal(int g, const char* reason)
{
    return "The circuit cannot be exported: gate " + std::to_string(g) + " " + reason + ".";
}

// Empty when every gate can be written: qubits in range and distinct, a unitary matrix.
std::string checkCircuit(const QasmCircuit& circuit, int maxControls)
{
    const int n = circuit.qubitCount;
    for (std::size_t index = 0; index < circuit.gates.size(); ++index) {
        const int g = static_cast<int>(index) + 1;
        const TGATE1& gate = circuit.gates[index];
        if (gate.type > 4 || gate.target < 1 || gate.target > n)
            return gateRefusal(g, "has a qubit outside the circuit");
        unsigned usedQubits = 1u << gate.target;
        for (int c = 1; c <= gate.type; ++c) {
            const int control = gate.controls[c];
            if (control < 1 || control > n)
                return gateRefusal(g, "has a qubit outside the circuit");
            if (usedQubits & (1u << control))
                return gateRefusal(g, "names one qubit twice");
            usedQubits |= 1u << control;
        }
        if (!isUnitary2(gate.u, circuit.tolerance))
            return gateRefusal(g, "has a matrix that is not unitary");
        if (gate.type > maxControls) {
            return "OpenQASM 2.0 cannot express gate " + std::to_string(g) + ": it has " +
                   std::to_string(gate.type) +
                   " controls. Export OpenQASM 3, or decompose to the end stage \"L1(U) gates\" or \"basic gates\".";
        }
    }
    return {};
}

void appendHeader(std::string& out, const QasmCircuit& circuit)
{
    const std::string n = std::to_string(circuit.qubitCount);
    out += "// Circuit of " + std::to_string(circuit.gates.size()) + " gates on " + n + " qubits; gate 1 acts first.\n";
    out += "// Qubit k of the circuit is q[k-1]. Basis state b (1.." + std::to_string(1 << circuit.qubitCount) +
           ") has b - 1 = sum of bit(k) * 2^(" + n + "-k),\n";
    out += "// so qubit 1, q[0], is the most significant bit.\n";
}

}  // namespace

void appendNumber(std::string& out, double x)
{
    if (x == 0.0)
        x = 0.0;  // no "-0"
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 17);
    out.append(buffer, written.ptr);
}

UAngles uAngles(const TMATICA2& u)
{
    const double c = (modulus(u.u11) + modulus(u.u22)) / 2.0;
    const double s = (modulus(u.u12) + modulus(u.u21)) / 2.0;
    UAngles result;
    result.theta = 2.0 * std::atan2(s, c);
    // Three of the four entry phases fix gamma, phi and lambda; the fourth follows by
    // unitarity. Leave out the phase of the smaller pair, which may be rounding noise.
    if (c >= s) {
        const double a = phaseOf(u.u11);
        const double b = phaseOf(u.u22);
        const double q = isZero(u.u12) ? a : phaseOf(-u.u12);
        result.gamma = a;
        result.lambda = q - a;
        result.phi = b - q;
    } else {
        const double p = phaseOf(u.u21);
        const double q = phaseOf(-u.u12);
        const double a = isZero(u.u11) ? p : phaseOf(u.u11);
        result.gamma = a;
        result.phi = p - a;
        result.lambda = q - a;
    }
    result.gamma = wrapAngle(result.gamma);
    result.phi = wrapAngle(result.phi);
    result.lambda = wrapAngle(result.lambda);
    return result;
}

QasmCircuit qasmCircuitOf(const Workspace& ws)
{
    const int count = std::clamp(ws.pocetb1, 0, maxGates);
    return {std::span<const TGATE1>(ws.gates).subspan(1, static_cast<std::size_t>(count)), ws.qubitCount, ws.tolerance};
}

namespace {

QasmExport gateCountRefusal(int count)
{
    return {{}, "The circuit cannot be exported: its gate count " + std::to_string(count) + " is out of range."};
}

bool gateCountInRange(const Workspace& ws) { return ws.pocetb1 >= 0 && ws.pocetb1 <= maxGates; }

}  // namespace

QasmExport qasm3Text(const Workspace& ws)
{
    return gateCountInRange(ws) ? qasm3Text(qasmCircuitOf(ws)) : gateCountRefusal(ws.pocetb1);
}

QasmExport qasm2Text(const Workspace& ws)
{
    return gateCountInRange(ws) ? qasm2Text(qasmCircuitOf(ws)) : gateCountRefusal(ws.pocetb1);
}

QasmExport qasm3Text(const QasmCircuit& circuit)
{
    QasmExport result;
    result.refusal = checkCircuit(circuit, 4);
    if (!result.ok())
        return result;
    std::string& out = result.text;
    appendHeader(out, circuit);
    out += "// Every gate is exact, its phase included: u = e^(i gamma) U(theta, phi, lambda).\n";
    out += "OPENQASM 3.0;\n";
    out += "include \"stdgates.inc\";\n";
    out += "qubit[" + std::to_string(circuit.qubitCount) + "] q;\n";
    for (const TGATE1& gate : circuit.gates) {
        if (isExactCnot(gate)) {
            out += "cx ";
            appendQubit(out, gate.controls[1]);
            out += ", ";
            appendQubit(out, gate.target);
            out += ";\n";
            continue;
        }
        const UAngles a = uAngles(gate.u);
        std::string modifier;
        std::string controls;
        if (gate.type > 0) {
            modifier = "ctrl(" + std::to_string(gate.type) + ") @ ";
            for (int c = 1; c <= gate.type; ++c) {
                appendQubit(controls, gate.controls[c]);
                controls += c < gate.type ? ", " : "";
            }
        }
        out += modifier + "U";
        appendAngles(out, a);
        out += ' ';
        if (!controls.empty())
            out += controls + ", ";
        appendQubit(out, gate.target);
        out += ";\n";
        if (a.gamma == 0.0)
            continue;
        // A phase under controls is physical, so it goes on the same controls.
        out += modifier + "gphase(";
        appendNumber(out, a.gamma);
        out += ")";
        if (!controls.empty())
            out += " " + controls;
        out += ";\n";
    }
    return result;
}

QasmExport qasm2Text(const QasmCircuit& circuit)
{
    QasmExport result;
    result.refusal = checkCircuit(circuit, 1);
    if (!result.ok())
        return result;
    std::string& out = result.text;
    appendHeader(out, circuit);
    out += "// u3, cx, u1, crz and cu3 of qelib1.inc. A controlled gate u = e^(i gamma) U(theta, phi, lambda)\n";
    out += "// is written as crz(lambda), cu3(theta, 0, 0), crz(phi) and u1(gamma + (phi + lambda)/2) on the\n";
    out += "// control: U(theta, phi, lambda) = e^(i (phi + lambda)/2) Rz(phi) Ry(theta) Rz(lambda). Its cu3\n";
    out += "// is a controlled Ry, which tools that take cu3's angles modulo 2 pi read alike. OpenQASM 2.0\n";
    out += "// has no global phase: the phase gamma of an uncontrolled gate u3 follows it as a comment, with\n";
    out += "// U = [[cos(theta/2), -e^(i lambda) sin(theta/2)], [e^(i phi) sin(theta/2), e^(i(phi+lambda)) cos(theta/2)]].\n";
    out += "OPENQASM 2.0;\n";
    out += "include \"qelib1.inc\";\n";
    out += "qreg q[" + std::to_string(circuit.qubitCount) + "];\n";
    for (const TGATE1& gate : circuit.gates) {
        if (isExactCnot(gate)) {
            out += "cx ";
            appendQubit(out, gate.controls[1]);
            out += ",";
            appendQubit(out, gate.target);
            out += ";\n";
            continue;
        }
        const UAngles a = uAngles(gate.u);
        if (gate.type == 0) {
            out += "u3";
            appendAngles(out, a);
            out += ' ';
            appendQubit(out, gate.target);
            out += ";  // gphase(";
            appendNumber(out, a.gamma);
            out += ")\n";
            continue;
        }
        // U(theta, phi, lambda) = e^(i (phi + lambda)/2) Rz(phi) Ry(theta) Rz(lambda), Ry(theta) = U(theta, 0, 0).
        // A cu3 with angles other than 0 is read differently by tools that reduce its angles modulo
        // 2 pi (a sign of the controlled block); crz, a cu3 of a Ry and u1 are read alike everywhere.
        const std::string operands = qubitText(gate.controls[1]) + "," + qubitText(gate.target) + ";\n";
        const auto controlledRz = [&](double angle) {
            if (angle == 0.0)
                return;
            out += "crz(";
            appendNumber(out, angle);
            out += ") " + operands;
        };
        controlledRz(a.lambda);
        if (a.theta != 0.0) {
            out += "cu3";
            appendAngles(out, UAngles{a.theta, 0.0, 0.0, 0.0});
            out += ' ' + operands;
        }
        controlledRz(a.phi);
        const double controlPhase = wrapAngle(a.gamma + (a.phi + a.lambda) / 2.0);
        if (controlPhase != 0.0) {
            out += "u1(";
            appendNumber(out, controlPhase);
            out += ") " + qubitText(gate.controls[1]) + ";\n";
        }
    }
    return result;
}

bool exportQasm(const Workspace& ws, QasmVersion version, const std::string& path, Presentation& ui)
{
    if (!gateCountInRange(ws)) {
        ui.showMessage(gateCountRefusal(ws.pocetb1).refusal, MessageStyle::error);
        return false;
    }
    return exportQasm(qasmCircuitOf(ws), version, path, ui);
}

bool exportQasm(const QasmCircuit& circuit, QasmVersion version, const std::string& path, Presentation& ui)
{
    const QasmExport result = version == QasmVersion::v3 ? qasm3Text(circuit) : qasm2Text(circuit);
    if (!result.ok()) {
        ui.showMessage(result.refusal, MessageStyle::error);
        return false;
    }
    return writeTextFile(path, result.text, ui);
}
