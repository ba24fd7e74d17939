#include "interchange/qasm/importer.h"
#include "workspace/matriximport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>
#include <vector>

#include "engine/kernel/errors.h"
#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "support/files.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "interchange/qasm/exporter.h"
#include "interchange/qasm/expression.h"
#include "workspace/workspace.h"

namespace {

constexpr double pi = std::numbers::pi;

// One gate of an expected circuit: u on `target` when every control is 1.
struct Step {
    TMATICA2 u;
    int target;
    std::vector<int> controls;
};

TMATICA2 scaled(Complex z, const TMATICA2& u) { return {z * u.u11, z * u.u12, z * u.u21, z * u.u22}; }
TMATICA2 diagonal(Complex a, Complex b) { return {a, {}, {}, b}; }
Complex phase(double x) { return fromPolar(1.0, x); }

const TMATICA2 X{{}, {1, 0}, {1, 0}, {}};
const TMATICA2 Y{{}, {0, -1}, {0, 1}, {}};
const TMATICA2 Z = diagonal({1, 0}, {-1, 0});
const TMATICA2 H = scaled({std::sqrt(0.5), 0}, {{1, 0}, {1, 0}, {1, 0}, {-1, 0}});
const TMATICA2 SX{{0.5, 0.5}, {0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}};

TMATICA2 P(double a) { return diagonal({1, 0}, phase(a)); }
TMATICA2 Rz(double a) { return diagonal(phase(-a / 2), phase(a / 2)); }
TMATICA2 Rx(double a)
{
    const double c = std::cos(a / 2);
    const double s = std::sin(a / 2);
    return {{c, 0}, {0, -s}, {0, -s}, {c, 0}};
}

TMATICA2 Ry(double a)
{
    const double c = std::cos(a / 2);
    const double s = std::sin(a / 2);
    return {{c, 0}, {-s, 0}, {s, 0}, {c, 0}};
}
TMATICA2 U(double t, double p, double l)
{
    return {{std::cos(t / 2), 0}, -fromPolar(std::sin(t / 2), l), fromPolar(std::sin(t / 2), p),
            fromPolar(std::cos(t / 2), p + l)};
}

// The matrix of the steps built entry by entry, without the program's kernel; qubit 1 is the top bit.
std::vector<Complex> expectedMatrix(int qubits, const std::vector<Step>& steps, double globalPhase = 0.0)
{
    const int n = 1 << qubits;
    auto bit = [&](int state, int qubit) { return (state >> (qubits - qubit)) & 1; };
    std::vector<Complex> m(static_cast<std::size_t>(n * n));
    for (int k = 0; k < n; ++k)
        m[static_cast<std::size_t>(k * n + k)] = phase(globalPhase);
    for (const Step& s : steps) {
        std::vector<Complex> next(m.size());
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < n; ++k) {
                bool active = true;
                for (int c : s.controls)
                    active = active && bit(r, c) == 1 && bit(k, c) == 1;
                const int others = (1 << (qubits - s.target)) ^ (n - 1);
                Complex g{};
                if ((r & others) == (k & others)) {
                    if (!active)
                        g = r == k ? Complex{1, 0} : Complex{};
                    else {
                        const int a = bit(r, s.target);
                        const int b = bit(k, s.target);
                        g = a == 0 ? (b == 0 ? s.u.u11 : s.u.u12) : (b == 0 ? s.u.u21 : s.u.u22);
                    }
                    bool controlsMatch = true;
                    for (int c : s.controls)
                        controlsMatch = controlsMatch && bit(r, c) == bit(k, c);
                    if (!controlsMatch)
                        g = {};
                }
                for (int j = 0; j < n; ++j)
                    next[static_cast<std::size_t>(r * n + j)] =
                        next[static_cast<std::size_t>(r * n + j)] + g * m[static_cast<std::size_t>(k * n + j)];
            }
        }
        m = next;
    }
    return m;
}

double difference(const std::vector<Complex>& x, const std::vector<Complex>& y, bool upToPhase)
{
    if (x.size() != y.size())
        return 1e300;
    Complex overlap{};
    for (std::size_t k = 0; k < x.size(); ++k)
        overlap = overlap + conjugate(x[k]) * y[k];
    const Complex p = upToPhase ? phase(angle(overlap)) : Complex{1, 0};
    double largest = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k)
        largest = std::max(largest, modulus(y[k] - p * x[k]));
    return largest;
}

std::vector<Complex> entriesOf(const TMATICA1& m, int n)
{
    std::vector<Complex> result;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            result.push_back(m(r, c));
    return result;
}

std::string program3(int qubits, const std::string& body)
{
    return "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[" + std::to_string(qubits) + "] q;\n" + body + "\n";
}

std::string program2(int qubits, const std::string& body)
{
    return "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[" + std::to_string(qubits) + "];\n" + body + "\n";
}

HeadlessPresentation& quietUi()
{
    static HeadlessPresentation ui;
    ui.recordEvents = false;
    return ui;
}

std::vector<Complex> unitaryOf(const std::string& text) { return qasmUnitary(text, quietUi()).entries; }

// g0 with `body`, then g1..g4 each pow(1000) of the one before.
std::string powerChain(const std::string& body)
{
    std::string text = "gate g0 a { " + body + " }\n";
    for (int k = 1; k <= 4; ++k)
        text += "gate g" + std::to_string(k) + " a { pow(1000) @ g" + std::to_string(k - 1) + " a; }\n";
    return text;
}

// g0 with `body`, then g1..g30 each calling the one before twice.
std::string doublingChain(const std::string& body)
{
    std::string text = "gate g0 a { " + body + " }\n";
    for (int k = 1; k <= 30; ++k) {
        std::string previous = "g";
        previous += std::to_string(k - 1);
        previous += " a; ";
        text += "gate g";
        text += std::to_string(k);
        text += " a { ";
        text += previous;
        text += previous;
        text += "}\n";
    }
    return text;
}

// `count` empty definitions of 5 tokens each.
std::string manyDefinitions(std::size_t count)
{
    std::string text;
    for (std::size_t k = 0; k < count; ++k)
        text += "gate e" + std::to_string(k) + " a{}\n";
    return text;
}

// "prefix0,prefix1,..." with `count` names.
std::string names(const std::string& prefix, int count)
{
    std::string text;
    for (int k = 0; k < count; ++k)
        text += (k == 0 ? "" : k % 100 == 0 ? ",\n" : ",") + prefix + std::to_string(k);
    return text;
}

// The largest entry of M^dagger M - I.
double unitarityDefect(const std::vector<Complex>& m)
{
    const auto n = static_cast<std::size_t>(std::lround(std::sqrt(static_cast<double>(m.size()))));
    double largest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            Complex sum{};
            for (std::size_t k = 0; k < n; ++k)
                sum = sum + conjugate(m[k * n + i]) * m[k * n + j];
            largest = std::max(largest, modulus(sum - Complex{i == j ? 1.0 : 0.0, 0.0}));
        }
    }
    return largest;
}

struct GateCase {
    const char* body;
    int qubits;
    std::vector<Step> steps;
    double globalPhase = 0.0;
};

}  // namespace

TEST(QasmImport, StandardGatesOfOpenQasm3HaveTheirExactMatrices)
{
    const double a = 0.3;
    const double b = -1.1;
    const double c = 2.5;
    const std::vector<GateCase> cases = {
        {"x q[1];", 2, {{X, 2, {}}}},
        {"y q[0]; z q[1];", 2, {{Y, 1, {}}, {Z, 2, {}}}},
        {"h q[0]; s q[1]; t q[0];", 2, {{H, 1, {}}, {P(pi / 2), 2, {}}, {P(pi / 4), 1, {}}}},
        {"sdg q[0]; tdg q[1];", 2, {{P(-pi / 2), 1, {}}, {P(-pi / 4), 2, {}}}},
        {"sx q[1];", 2, {{SX, 2, {}}}},
        {"rx(0.3) q[0]; ry(-1.1) q[1]; rz(2.5) q[0];", 2, {{Rx(a), 1, {}}, {Ry(b), 2, {}}, {Rz(c), 1, {}}}},
        {"p(0.3) q[0]; phase(-1.1) q[1]; u1(2.5) q[1]; id q[0];", 2, {{P(a), 1, {}}, {P(b), 2, {}}, {P(c), 2, {}}}},
        {"u3(0.3, -1.1, 2.5) q[1];", 2, {{U(a, b, c), 2, {}}}, -(b + c) / 2},
        {"u2(-1.1, 2.5) q[0];", 2, {{U(pi / 2, b, c), 1, {}}}, -(b + c) / 2},
        {"cx q[0], q[1]; cx q[1], q[0]; CX q[0], q[1];", 2, {{X, 2, {1}}, {X, 1, {2}}, {X, 2, {1}}}},
        {"cy q[1], q[0]; cz q[0], q[1]; ch q[0], q[1];", 2, {{Y, 1, {2}}, {Z, 2, {1}}, {H, 2, {1}}}},
        {"cp(0.3) q[0], q[1]; cphase(-1.1) q[1], q[0];", 2, {{P(a), 2, {1}}, {P(b), 1, {2}}}},
        {"crx(0.3) q[0], q[1]; cry(-1.1) q[1], q[0]; crz(2.5) q[0], q[1];", 2,
         {{Rx(a), 2, {1}}, {Ry(b), 1, {2}}, {Rz(c), 2, {1}}}},
        {"cu(0.3, -1.1, 2.5, 0.7) q[1], q[0];", 2, {{scaled(phase(0.7), U(a, b, c)), 1, {2}}}},
        {"swap q[0], q[1];", 2, {{X, 2, {1}}, {X, 1, {2}}, {X, 2, {1}}}},
        {"ccx q[0], q[2], q[1]; cswap q[2], q[0], q[1];", 3,
         {{X, 2, {1, 3}}, {X, 2, {3, 1}}, {X, 1, {3, 2}}, {X, 2, {3, 1}}}},
        {"U(0.3, -1.1, 2.5) q[2]; gphase(0.7);", 3, {{U(a, b, c), 3, {}}}, 0.7},
        {"ctrl @ h q[1], q[0]; ctrl(2) @ x q[0], q[1], q[2];", 3, {{H, 1, {2}}, {X, 3, {1, 2}}}},
        {"negctrl @ x q[0], q[1];", 2, {{X, 1, {}}, {X, 2, {1}}, {X, 1, {}}}},
        {"ctrl(2) @ gphase(0.3) q[1], q[0];", 3, {{P(a), 1, {2}}}},
        {"negctrl @ gphase(0.3) q[0];", 2, {{diagonal(phase(a), {1, 0}), 1, {}}}},
        {"inv @ s q[0]; pow(2) @ t q[1]; pow(-3) @ t q[0]; pow(0) @ x q[1];", 2,
         {{P(-pi / 2), 1, {}}, {P(pi / 2), 2, {}}, {P(-3 * pi / 4), 1, {}}}},
        {"inv @ ctrl @ rz(0.3) q[0], q[1]; ctrl @ inv @ u3(0.3, -1.1, 2.5) q[1], q[0];", 2,
         {{Rz(-a), 2, {1}}, {scaled(phase((b + c) / 2), adjoint2(U(a, b, c))), 1, {2}}}},
        {"gate g(x, y) a, b { rz(x) a; cx a, b; ry(2 * y) b; }\ninv @ g(0.3, -1.1) q[1], q[0];", 2,
         {{Ry(-2 * b), 1, {}}, {X, 1, {2}}, {Rz(-a), 2, {}}}},
        {"gate g(x) a, b { cx a, b; gphase(x); }\nctrl @ g(0.3) q[2], q[0], q[1];", 3, {{X, 2, {3, 1}}, {P(a), 3, {}}}},
        {"ctrl(4) @ x q[4], q[0], q[1], q[2], q[3];", 5, {{X, 4, {5, 1, 2, 3}}}},
    };
    for (const GateCase& gateCase : cases) {
        SCOPED_TRACE(gateCase.body);
        EXPECT_LE(difference(expectedMatrix(gateCase.qubits, gateCase.steps, gateCase.globalPhase),
                             unitaryOf(program3(gateCase.qubits, gateCase.body)), false),
                  1e-14);
    }
}

TEST(QasmImport, Qelib1GatesFollowTheirDefinitionsUpToAGlobalPhase)
{
    const double a = 0.3;
    const double b = -1.1;
    const double c = 2.5;
    const std::vector<GateCase> cases = {
        {"u3(0.3,-1.1,2.5) q[0]; u2(-1.1,2.5) q[1]; u1(0.3) q[0]; u0(1) q[1]; id q[0];", 2,
         {{U(a, b, c), 1, {}}, {U(pi / 2, b, c), 2, {}}, {P(a), 1, {}}}},
        {"x q[0]; y q[1]; z q[0]; h q[1]; s q[0]; sdg q[1]; t q[0]; tdg q[1];", 2,
         {{X, 1, {}}, {Y, 2, {}}, {Z, 1, {}}, {H, 2, {}}, {P(pi / 2), 1, {}}, {P(-pi / 2), 2, {}},
          {P(pi / 4), 1, {}}, {P(-pi / 4), 2, {}}}},
        {"rx(0.3) q[0]; ry(-1.1) q[1]; rz(2.5) q[0]; p(0.3) q[1]; sx q[0]; sxdg q[1];", 2,
         {{Rx(a), 1, {}}, {Ry(b), 2, {}}, {Rz(c), 1, {}}, {P(a), 2, {}}, {SX, 1, {}}, {adjoint2(SX), 2, {}}}},
        {"cu3(0.3,-1.1,2.5) q[0],q[1]; cu1(0.3) q[1],q[0]; cp(-1.1) q[0],q[1];", 2,
         {{U(a, b, c), 2, {1}}, {P(a), 1, {2}}, {P(b), 2, {1}}}},
        {"crz(0.3) q[0],q[1]; crx(-1.1) q[1],q[0]; cry(2.5) q[0],q[1];", 2,
         {{Rz(a), 2, {1}}, {Rx(b), 1, {2}}, {Ry(c), 2, {1}}}},
        {"cz q[0],q[1]; cy q[1],q[0]; ch q[0],q[1]; csx q[1],q[0];", 2,
         {{Z, 2, {1}}, {Y, 1, {2}}, {H, 2, {1}}, {SX, 1, {2}}}},
        {"cu(0.3,-1.1,2.5,0.7) q[1],q[0];", 2, {{scaled(phase(0.7), U(a, b, c)), 1, {2}}}},
        {"rzz(0.3) q[0],q[1];", 2, {{P(a), 1, {}}, {P(a), 2, {}}, {P(-2 * a), 2, {1}}}},
        {"rxx(0.3) q[0],q[1];", 2,
         {{H, 1, {}}, {H, 2, {}}, {P(a), 1, {}}, {P(a), 2, {}}, {P(-2 * a), 2, {1}}, {H, 1, {}}, {H, 2, {}}}},
        {"swap q[0],q[1]; ccx q[2],q[0],q[1]; cswap q[0],q[1],q[2];", 3,
         {{X, 2, {1}}, {X, 1, {2}}, {X, 2, {1}}, {X, 2, {3, 1}}, {X, 2, {1, 3}}, {X, 3, {1, 2}}, {X, 2, {1, 3}}}},
        {"c3x q[3],q[0],q[1],q[2]; c3sqrtx q[0],q[1],q[2],q[3];", 4, {{X, 3, {4, 1, 2}}, {SX, 4, {1, 2, 3}}}},
        {"c4x q[0],q[1],q[2],q[3],q[4];", 5, {{X, 5, {1, 2, 3, 4}}}},
    };
    for (const GateCase& gateCase : cases) {
        SCOPED_TRACE(gateCase.body);
        EXPECT_LE(difference(expectedMatrix(gateCase.qubits, gateCase.steps),
                             unitaryOf(program2(gateCase.qubits, gateCase.body)), true),
                  1e-14);
    }
}

TEST(QasmImport, RegistersAreConcatenatedAndWholeRegistersBroadcast)
{
    const std::string head = "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg a[1];\nqreg b[2];\n";
    EXPECT_LE(difference(unitaryOf(head + "cx a[0], b[1];\nh b;\ncx a, b;\nbarrier a, b;\n"),
                         expectedMatrix(3, {{X, 3, {1}}, {H, 2, {}}, {H, 3, {}}, {X, 2, {1}}, {X, 3, {1}}}), true),
              1e-14);
    const std::string head3 = "OPENQASM 3;\ninclude \"stdgates.inc\";\nqubit c;\nqubit[2] d;\n";
    EXPECT_LE(difference(unitaryOf(head3 + "/* a\ncomment */ cx d[1], c; // and one more\n"),
                         expectedMatrix(3, {{X, 1, {3}}}), false),
              1e-14);
}

TEST(QasmImport, ExpressionsFollowTheUsualPrecedence)
{
    const std::vector<Parameter> parameters = {{"θ", 0.5}, {"x", 3.0}};
    const std::pair<const char*, double> cases[] = {
        {"-pi^2", -pi * pi},      {"2^3^2", 512.0},           {"1-2-3", -4.0},
        {"8/2/2", 2.0},           {"-(1+2)*3", -9.0},         {"2**-1", 0.5},
        {"sin(pi/2)+cos(0)", 2.0}, {"tan(0) + exp(ln(3))", 3.0}, {"sqrt(16)*θ", 2.0},
        {"1e-3 + .5", 0.501},     {"x*-x", -9.0},             {"π - tau/2", 0.0},
    };
    for (const auto& [text, value] : cases) {
        QasmLexer lexer(text);
        std::vector<Token> tokens;
        for (Token t = lexer.next(); t.kind != TokenKind::end; t = lexer.next())
            tokens.push_back(t);
        TokenCursor cursor(tokens, 0, tokens.size(), 1);
        EXPECT_NEAR(evaluateExpression(cursor, parameters), value, 1e-13) << text;
        EXPECT_TRUE(cursor.atEnd()) << text;
    }
}

TEST(QasmImport, RefusesWhatIsNotAUnitaryCircuitAndNamesTheLine)
{
    const std::string deep = "U(" + std::string(70, '(') + "1" + std::string(70, ')') + ", 0, 0) q[0];";
    std::string chain = "gate g0 a { x a; }\n";
    for (int k = 1; k <= 40; ++k)
        chain += "gate g" + std::to_string(k) + " a { g" + std::to_string(k - 1) + " a; }\n";
    const std::pair<std::string, const char*> cases[] = {
        {program3(2, "measure q[0];"), "'measure'"},
        {program3(2, "reset q[1];"), "'reset'"},
        {program2(2, "creg c[2];"), "classical"},
        {program3(2, "bit[2] c;"), "classical"},
        {program3(2, "if (c == 1) x q[0];"), "classical control"},
        {program3(2, "foo q[0];"), "unknown gate 'foo'"},
        {program3(2, "cx q[0], q[0];"), "twice"},
        {program3(2, "x q[2];"), "does not exist"},
        {program3(2, "rx q[0];"), "parameters"},
        {program3(2, "cx q[0];"), "qubits"},
        {program3(2, "pow(0.5) @ x q[0];"), "whole numbers"},
        {program3(2, "x q[0];\nqubit r;"), "after the first gate"},
        {program3(2, deep), "nested deeper"},
        {program3(2, chain + "g40 q[0];"), "deeper than 32"},
        {program3(2, "pow(1000) @ pow(1000) @ x q[0];"), "larger than"},
        {program3(2, "/* never closed"), "never ends"},
        {program3(2, "x q[0]"), "does not end with ';'"},
        {program3(6, "x q[0];"), "more than 5 qubits"},
        {program3(1, "x q[0];"), "2 to 5 are needed"},
        {"OPENQASM 3;\ninclude \"other.inc\";\n", "cannot be included"},
        {"OPENQASM 4.0;\n", "version"},
        {program3(2, "rx(1/0) q[0];"), "finite"},
        {program3(2, "gate g a { U(0,0,0) a; }\ngate g a { U(0,0,0) a; }"), "defined twice"},
        {program3(2, "x q[0];" + std::string(maxQasmLineLength, ' ')), "longer than"},
        // What a file may store, and names checked without comparing every pair.
        {program3(2, "gate g a {" + std::string(1000, ';') + "}"), "empty statement"},
        {program3(2, "gate g a { x a;; }"), "empty statement"},
        {program3(2, manyDefinitions(maxQasmDefinitionTokens / 5 + 1)), "more than 1000000 tokens"},
        {program3(2, "gate g " + names("a", 99000) + " { }"), "at most 5 qubits"},
        {program3(2, "gate g(" + names("p", 99000) + ") a { }"), "at most 64 parameters"},
        {program3(2, "gate g(t, u, t) a { }"), "'t' is named twice"},
        {program3(2, "gate g a, b, a { }"), "'a' is named twice"},
        // Indices that cannot exist are out of range, not malformed.
        {program3(2, "x q[99999999999999999999];"), "a qubit index 99999999999999999999 is out of range"},
        {program3(2, "x q[-1];"), "a qubit index -1 is out of range"},
        {"OPENQASM 3;\nqubit[-2] q;\n", "the register size -2 is out of range"},
        // Characters that show as nothing or are no UTF-8 are refused, not taken into names.
        {program3(2, "x\u200b q[0];"), "invisible character U+200B"},
        {program3(2, "x\u00a0q[0];"), "invisible character U+00A0"},
        {program3(2, "x\xff q[0];"), "the byte 0xFF is not valid UTF-8"},
        {program3(2, "x\xce q[0];"), "the byte 0xCE is not valid UTF-8"},
        // What OpenQASM calls an error is one, even in a gate that is never applied.
        {program3(2, "barrier ))((garbage;"), "expected a qubit"},
        {program3(2, "gate g a { nope a; }"), "unknown gate 'nope'"},
        {program3(2, "gate g a { g a; }"), "unknown gate 'g'"},
        {program3(2, "gate g a { cx a, a; }"), "names one qubit twice"},
        {program3(2, "gate g a { U(1/0, 0, 0) a; }"), "finite"},
        {program3(2, "gate g(t) a { U(t + ln(0), 0, 0) a; }"), "finite"},
        {program3(2, "gate g a { ctrl @ x a; }"), "acts on 1 qubits, not 0"},
        {program3(2, "gate g a { ctrl(2) @ x a; }"), "fewer qubits than controls"},
        {program3(2, "gate g a { barrier b; }"), "'b' is not a qubit of this gate"},
        {program3(2, "rx(1/(1/0)) q[0];"), "finite"},
        {program3(2, "rx(sqrt(-1) * 0) q[0];"), "finite"},
        {program3(2, "gate h a { U(0,0,0) a; }"), "already defined in stdgates.inc"},
    };
    for (const auto& [text, reason] : cases) {
        try {
            qasmUnitary(text, quietUi());
            ADD_FAILURE() << "accepted: " << text;
        } catch (const QasmImportError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
            EXPECT_GT(e.line, 0) << e.what();
        }
    }
    // Work that emits nothing is bounded like gates (a small limit keeps the test short).
    for (const std::string& body : {powerChain("") + "g4 q[0];", doublingChain("gphase(0);") + "g30 q[0];",
                                    doublingChain("barrier a;") + "g30 q[0];"}) {
        try {
            qasmUnitary(program3(2, body), quietUi(), 10000);
            ADD_FAILURE() << "accepted: " << body;
        } catch (const QasmImportError& e) {
            EXPECT_NE(std::string(e.what()).find("more than 60000 steps"), std::string::npos) << e.what();
            EXPECT_GT(e.line, 0);
        }
    }
    EXPECT_NO_THROW(qasmUnitary(program3(2, "pow(10) @ x q[0];"), quietUi(), 10));
    EXPECT_THROW(qasmUnitary(program3(2, "pow(10) @ x q[0]; x q[1];"), quietUi(), 10), QasmImportError);
    try {
        qasmUnitary(program3(2, "x q[0];\n\nmeasure q[1];"), quietUi());
        ADD_FAILURE() << "measure accepted";
    } catch (const QasmImportError& e) {
        EXPECT_EQ(e.line, 6);
    }
}

TEST(QasmImport, RefusalsEchoTheFileOnlyAsPrintableText)
{
    const char nulInName[] = "OPENQASM 3;\ninclude \"std\0gates.inc\";\n";
    const std::string withNul(nulInName, sizeof nulInName - 1);
    const std::pair<std::string, std::string> cases[] = {
        {withNul, "\"std\\x00gates.inc\" cannot be included"},
        {program3(2, "gate \xce\xb8x a { nope\x01 a; }"), "the character with code 1"},
        {program3(2, "\xce\xb8 q[0];"), "unknown gate '\\xCE\\xB8'"},
    };
    for (const auto& [text, reason] : cases) {
        try {
            qasmUnitary(text, quietUi());
            ADD_FAILURE() << "accepted: " << text;
        } catch (const QasmImportError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(reason), std::string::npos) << message;
            for (const char c : message)
                EXPECT_TRUE(c >= 0x20 && c < 0x7f) << message;
        }
    }
}

TEST(QasmImport, AcceptedProgramsGiveUnitaryMatricesWhateverTheirAngles)
{
    const std::pair<std::string, std::vector<Complex>> cases[] = {
        // A global phase is applied once, however many qubits follow it.
        {program3(3, "gphase(pi/3) q;"), expectedMatrix(3, {}, pi / 3)},
        {program3(3, "gphase(pi/3) q[0], q[1], q[2];"), expectedMatrix(3, {}, pi / 3)},
        {program3(3, "inv @ gphase(pi/3) q;"), expectedMatrix(3, {}, -pi / 3)},
        // Its controls still broadcast: one controlled phase per qubit of the register.
        {program3(2, "ctrl @ gphase(pi/3) q;"), expectedMatrix(2, {{P(pi / 3), 1, {}}, {P(pi / 3), 2, {}}})},
        {program3(2, "gphase(2 * pi + 0.5); gphase(-6 * pi);"), expectedMatrix(2, {}, 0.5)},
        {"\xef\xbb\xbfOPENQASM 3;\ninclude \"stdgates.inc\";\nqubit[2] q;\nx q[1];\n", expectedMatrix(2, {{X, 2, {}}})},
        {program3(2, "U(0.8, 1e12, 0.3) q[0];"), {}},
        {program3(2, "gphase(1e308); gphase(1e308); U(1, 1e308, 1e308) q[0];"), {}},
        {program3(2, "ctrl(1) @ U(0.824, 3.141-926535897931, -1.481) q[1], q[0];"), {}},
        // Bodies are checked without their parameters' values: a value that depends on them passes.
        {program3(2, "gate g(t) a { U(1/t, 0, ln(t)) a; pow(t) @ x a; }\nx q[0];"), expectedMatrix(2, {{X, 1, {}}})},
        {program3(2, "gate g(n) a, b { ctrl(n) @ x a, b; }\ng(1) q[0], q[1];"), expectedMatrix(2, {{X, 2, {1}}})},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const std::vector<Complex> m = unitaryOf(text);
        EXPECT_LE(unitarityDefect(m), 1e-14);
        if (!expected.empty()) {
            EXPECT_LE(difference(expected, m, false), 1e-14);
        }
    }
}

TEST(QasmImport, ExportedDecompositionsComeBackAsTheDecomposedMatrix)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    auto circuit = std::make_unique<TMATICA1>();
    for (int qubits = 2; qubits <= 5; ++qubits) {
        for (int endStage : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(qubits) + " qubits, end stage " + std::to_string(endStage));
            ui.endStageIndex = endStage;
            loadUnitary(*ws, seededRandomUnitary(qubits, 70 + qubits), qubits);
            decompose(*ws, ui);
            ASSERT_TRUE(ui.messages.empty());
            kompozicia(std::span<const TGATE1>(ws->gates.data(), static_cast<std::size_t>(ws->pocetb1) + 1),
                       ws->pocetb1, 1, ws->pocetb1, *circuit, qubits, ui);
            const std::vector<Complex> expected = entriesOf(*circuit, 1 << qubits);
            EXPECT_LE(difference(expected, unitaryOf(qasm3Text(*ws).text), false), 1e-12);
            const QasmExport exported2 = qasm2Text(*ws);
            if (exported2.ok()) {
                EXPECT_LE(difference(expected, unitaryOf(exported2.text), true), 1e-12);
            }
        }
    }
}

TEST(QasmImport, AFileChangesTheWorkspaceOnlyWhenItIsAccepted)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    const TemporaryDirectory folder;
    writeBytes(folder / "bad.qasm", program3(3, "x q[0];\nmeasure q[1];"));
    writeBytes(folder / "good.qasm", program3(3, "x q[0];"));
    ws->pocetb1 = 7;
    const Complex before = ws->matrixA(1, 1);
    EXPECT_THROW(importQasmFile(*ws, ui, (folder / "bad.qasm").string()), FileError);
    EXPECT_THROW(importQasmFile(*ws, ui, (folder / "missing.qasm").string()), FileError);
    EXPECT_EQ(ws->qubitCount, 2);
    EXPECT_EQ(ws->pocetb1, 7);
    EXPECT_EQ(ws->matrixA(1, 1).re, before.re);
    EXPECT_TRUE(ui.log.empty());

    importQasmFile(*ws, ui, (folder / "good.qasm").string());
    EXPECT_EQ(ws->qubitCount, 3);
    EXPECT_EQ(ws->matrixSize, 8);
    EXPECT_EQ(ws->pocetb1, 0);
    EXPECT_EQ(ui.qubitFieldText(), "3");
    EXPECT_NEAR(ws->matrixA(5, 1).re, 1.0, 1e-15);
    EXPECT_NEAR(modulus(ws->matrixA(1, 1)), 0.0, 1e-15);
    ASSERT_FALSE(ui.log.empty());
    EXPECT_EQ(ui.log.back(), qasmImportedLine);
}

TEST(QasmImport, AgreesWithAnotherSimulatorOnTheCircuitsItWrites)
{
    const std::string folder = std::string(UDECOMP_SOURCE_DIR) + "/tests/data/quantum-circuit/";
    for (const char* name : {"bell", "paulis", "rotations", "u", "controlled", "cu3", "swaps", "wide"}) {
        SCOPED_TRACE(name);
        std::istringstream matrixText(readBytes(folder + name + ".matrix"));
        int n = 0;
        matrixText >> n;
        std::vector<Complex> expected(static_cast<std::size_t>(n * n));
        for (Complex& z : expected)
            matrixText >> z.re >> z.im;
        ASSERT_TRUE(matrixText) << "a short matrix file";
        EXPECT_LE(difference(expected, unitaryOf(readBytes(folder + name + ".qasm")), true), 1e-12);
    }
}
