#include "support/qasmreader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string>

#include "engine/synthesis/circuit.h"

namespace {

class Statement {
public:
    Statement(std::string_view text, int lineNumber) : text_(text), lineNumber_(lineNumber) {}

    [[noreturn]] void fail(const std::string& what) const
    {
        throw QasmSyntaxError("line " + std::to_string(lineNumber_) + ": " + what + " in '" + std::string(text_) +
                              "'");
    }

    void skipSpace()
    {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }

    bool tryLiteral(std::string_view literal)
    {
        skipSpace();
        if (text_.substr(pos_, literal.size()) != literal)
            return false;
        pos_ += literal.size();
        return true;
    }

    void expect(std::string_view literal)
    {
        if (!tryLiteral(literal))
            fail("expected '" + std::string(literal) + "'");
    }

    std::string_view name()
    {
        skipSpace();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        if (pos_ == start)
            fail("expected a name");
        return text_.substr(start, pos_ - start);
    }

    double number()
    {
        skipSpace();
        const std::string rest(text_.substr(pos_));
        char* end = nullptr;
        const double value = std::strtod(rest.c_str(), &end);
        if (end == rest.c_str() || !std::isfinite(value))
            fail("expected a number");
        pos_ += static_cast<std::size_t>(end - rest.c_str());
        return value;
    }

    int integer()
    {
        skipSpace();
        const std::size_t start = pos_;
        int value = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])) && value < 1000)
            value = 10 * value + (text_[pos_++] - '0');
        if (pos_ == start)
            fail("expected an integer");
        return value;
    }

    // "(a, b, c)" with `count` numbers.
    void arguments(double* values, int count)
    {
        expect("(");
        for (int k = 0; k < count; ++k) {
            if (k > 0)
                expect(",");
            values[k] = number();
        }
        expect(")");
    }

    // Comma-separated "q[i]" operands, returned as qubit numbers i + 1.
    std::vector<int> qubits(int qubitCount)
    {
        std::vector<int> result;
        do {
            expect("q");
            expect("[");
            const int index = integer();
            expect("]");
            if (index >= qubitCount)
                fail("qubit index out of range");
            for (int q : result) {
                if (q == index + 1)
                    fail("qubit named twice");
            }
            result.push_back(index + 1);
        } while (tryLiteral(","));
        return result;
    }

    void end()
    {
        expect(";");
        skipSpace();
        if (pos_ != text_.size())
            fail("text after the statement");
    }

private:
    std::string_view text_;
    int lineNumber_;
    std::size_t pos_ = 0;
};

TMATICA2 phaseMatrix(double alpha) { return {{1.0, 0.0}, {}, {}, fromPolar(1.0, alpha)}; }

void addGate(ParsedQasm& program, const TMATICA2& u, const std::vector<int>& qubits)
{
    TGATE1 gate;
    gate.u = u;
    gate.target = static_cast<std::uint8_t>(qubits.back());
    gate.type = static_cast<std::uint8_t>(qubits.size() - 1);
    for (std::size_t c = 0; c + 1 < qubits.size(); ++c)
        gate.controls[c + 1] = static_cast<std::uint8_t>(qubits[c]);
    program.gates.push_back(gate);
}

const TMATICA2 pauliXMatrix{{}, {1.0, 0.0}, {1.0, 0.0}, {}};

void requireOperands(const Statement& s, const std::vector<int>& qubits, std::size_t count)
{
    if (qubits.size() != count)
        s.fail("wrong number of qubits");
}

void readGate3(Statement& s, ParsedQasm& program)
{
    int controls = 0;
    if (s.tryLiteral("ctrl")) {
        s.expect("(");
        controls = s.integer();
        s.expect(")");
        s.expect("@");
        if (controls < 1 || controls > 4)
            s.fail("unsupported control count");
    }
    const std::string_view gateName = s.name();
    double a[3] = {};
    if (gateName == "U") {
        s.arguments(a, 3);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, static_cast<std::size_t>(controls) + 1);
        s.end();
        addGate(program, uMatrix3(a[0], a[1], a[2]), qubits);
        return;
    }
    if (gateName == "gphase") {
        s.arguments(a, 1);
        if (controls == 0) {
            s.end();
            program.globalPhase += a[0];
            return;
        }
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, static_cast<std::size_t>(controls));
        s.end();
        // A phase on all-ones of the controls: a phase gate on the last of them.
        addGate(program, phaseMatrix(a[0]), qubits);
        return;
    }
    if (gateName == "cx" && controls == 0) {
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 2);
        s.end();
        addGate(program, pauliXMatrix, qubits);
        return;
    }
    s.fail("gate outside the exported subset");
}

void readGate2(Statement& s, ParsedQasm& program, Cu3Reading cu3Reading)
{
    const std::string_view gateName = s.name();
    double a[3] = {};
    if (gateName == "u3") {
        s.arguments(a, 3);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 1);
        s.end();
        addGate(program, uMatrix3(a[0], a[1], a[2]), qubits);
        return;
    }
    if (gateName == "u1") {
        s.arguments(a, 1);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 1);
        s.end();
        addGate(program, phaseMatrix(a[0]), qubits);
        return;
    }
    if (gateName == "cx") {
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 2);
        s.end();
        addGate(program, pauliXMatrix, qubits);
        return;
    }
    if (gateName == "cu3") {
        s.arguments(a, 3);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 2);
        s.end();
        if (cu3Reading == Cu3Reading::controlledU) {
            addGate(program, uMatrix3(a[0], a[1], a[2]), qubits);
            return;
        }
        // The body of cu3 in qelib1.inc, gate for gate.
        const double theta = a[0];
        const double phi = a[1];
        const double lambda = a[2];
        const std::vector<int> target{qubits[1]};
        addGate(program, phaseMatrix((lambda - phi) / 2.0), target);
        addGate(program, pauliXMatrix, qubits);
        addGate(program, uMatrix3(-theta / 2.0, 0.0, -(phi + lambda) / 2.0), target);
        addGate(program, pauliXMatrix, qubits);
        addGate(program, uMatrix3(theta / 2.0, phi, 0.0), target);
        return;
    }
    if (gateName == "crz") {
        s.arguments(a, 1);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 2);
        s.end();
        // The body of crz in qelib1.inc, gate for gate.
        addGate(program, phaseMatrix(a[0] / 2.0), {qubits[1]});
        addGate(program, pauliXMatrix, qubits);
        addGate(program, phaseMatrix(-a[0] / 2.0), {qubits[1]});
        addGate(program, pauliXMatrix, qubits);
        return;
    }
    if (gateName == "cu1") {
        s.arguments(a, 1);
        const std::vector<int> qubits = s.qubits(program.qubitCount);
        requireOperands(s, qubits, 2);
        s.end();
        // The body of cu1 in qelib1.inc, gate for gate.
        addGate(program, phaseMatrix(a[0] / 2.0), {qubits[0]});
        addGate(program, pauliXMatrix, qubits);
        addGate(program, phaseMatrix(-a[0] / 2.0), {qubits[1]});
        addGate(program, pauliXMatrix, qubits);
        addGate(program, phaseMatrix(a[0] / 2.0), {qubits[1]});
        return;
    }
    s.fail("gate outside the exported subset");
}

}  // namespace

TMATICA2 uMatrix3(double theta, double phi, double lambda)
{
    const double c = std::cos(theta / 2.0);
    const double s = std::sin(theta / 2.0);
    return {{c, 0.0}, -fromPolar(s, lambda), fromPolar(s, phi), fromPolar(c, phi + lambda)};
}

ParsedQasm readQasm(std::string_view text, Cu3Reading cu3Reading)
{
    ParsedQasm program;
    program.gates.resize(1);
    bool haveInclude = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        if (lineEnd == std::string_view::npos)
            throw QasmSyntaxError("the last line does not end with a newline");
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd + 1);
        ++lineNumber;
        const std::size_t comment = line.find("//");
        if (comment != std::string_view::npos)
            line = line.substr(0, comment);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        Statement s(line, lineNumber);
        if (program.version == 0) {
            s.expect("OPENQASM");
            if (s.tryLiteral("3.0"))
                program.version = 3;
            else if (s.tryLiteral("2.0"))
                program.version = 2;
            else
                s.fail("unknown version");
            s.end();
            continue;
        }
        if (!haveInclude) {
            s.expect("include");
            s.expect(program.version == 3 ? "\"stdgates.inc\"" : "\"qelib1.inc\"");
            s.end();
            haveInclude = true;
            continue;
        }
        if (program.qubitCount == 0) {
            if (program.version == 3) {
                s.expect("qubit");
                s.expect("[");
                program.qubitCount = s.integer();
                s.expect("]");
                s.expect("q");
            } else {
                s.expect("qreg");
                s.expect("q");
                s.expect("[");
                program.qubitCount = s.integer();
                s.expect("]");
            }
            s.end();
            if (program.qubitCount < 1 || program.qubitCount > maxQubits)
                s.fail("unsupported qubit count");
            continue;
        }
        if (program.version == 3)
            readGate3(s, program);
        else
            readGate2(s, program, cu3Reading);
    }
    if (program.qubitCount == 0)
        throw QasmSyntaxError("the program declares no qubits");
    return program;
}

void circuitMatrix(const TGATE1* gates, int count, int qubitCount, TMATICA1& m, Presentation& ui)
{
    composeGateList(std::span<const TGATE1>(gates, static_cast<std::size_t>(count) + 1), count, m, qubitCount, ui);
}

void programMatrix(const ParsedQasm& program, TMATICA1& m, Presentation& ui)
{
    circuitMatrix(program.gates.data(), program.gateCount(), program.qubitCount, m, ui);
    const Complex phase = fromPolar(1.0, program.globalPhase);
    const int n = 1 << program.qubitCount;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            m(r, c) = phase * m(r, c);
    }
}
