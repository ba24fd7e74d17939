#include "interchange/qasm/importer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <set>
#include <span>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/kernel/densematrix.h"
#include "engine/kernel/errors.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/synthesis/circuit.h"
#include "engine/synthesis/composition.h"
#include "platform/presentation.h"
#include "platform/readfilebytes.h"
#include "interchange/qasm/expression.h"
#include "interchange/qasm/gatelibrary.h"
#include "interchange/wholenumber.h"

namespace {

// Tokens of one statement at most; a longer one is refused rather than stored.
constexpr std::size_t maxStatementTokens = 200000;

struct GateDefinition {
    std::vector<std::string> parameters;
    std::vector<std::string> qubits;
    std::vector<Token> body;
    // Token ranges [first, second) of the body's statements, each ending with ';'.
    std::vector<std::pair<std::size_t, std::size_t>> statements;
    bool fromLibrary = false;
};

using GateTable = std::map<std::string, GateDefinition, std::less<>>;

struct Control {
    int qubit = 0;
    bool negative = false;
};

// What surrounds a gate call: the controls of the modifiers around it and whether it is inverted.
struct CallContext {
    std::array<Control, maxQubits> controls{};
    int controlCount = 0;
    bool inverse = false;
};

struct Register {
    std::string name;
    int first = 0;  // 0-based index of its first qubit in the program
    int size = 0;
};

// Where a statement's qubit operands come from: the registers, or a definition's formal qubits.
struct QubitNames {
    const std::vector<Register>* registers = nullptr;
    const std::vector<std::string>* formals = nullptr;
    const std::vector<int>* formalQubits = nullptr;
};

// An angle in [-pi, pi], the same one for every angle up to pi. The sum of two large
// angles would lose bits or overflow, and the matrix would no longer be unitary.
double reducedAngle(double angle) { return std::remainder(angle, 2.0 * std::numbers::pi); }

TMATICA2 uMatrix(double theta, double phi, double lambda)
{
    const double c = std::cos(theta / 2.0);
    const double s = std::sin(theta / 2.0);
    phi = reducedAngle(phi);
    lambda = reducedAngle(lambda);
    return {{c, 0.0}, -fromPolar(s, lambda), fromPolar(s, phi), fromPolar(c, phi + lambda)};
}

const TMATICA2 pauliXMatrix{{}, {1.0, 0.0}, {1.0, 0.0}, {}};

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    for (const std::string_view n : names) {
        if (n == name)
            return true;
    }
    return false;
}

// Empty when `name` may start a gate statement, else why the statement is refused.
std::string refusalOfKeyword(std::string_view name)
{
    std::string quoted = "'";
    quoted += name;
    quoted += "'";
    std::string reason;
    if (isOneOf(name, {"measure", "reset"})) {
        reason = quoted;
        reason += " is not supported: only unitary circuits can be imported";
    } else if (isOneOf(name, {"creg", "bit", "int", "uint", "float", "angle", "bool", "complex", "duration",
                              "stretch", "const", "array", "input", "output"})) {
        reason = "classical registers and variables are not supported (";
        reason += quoted;
        reason += ")";
    } else if (isOneOf(name, {"if", "else", "for", "while", "switch", "case", "break", "continue", "end",
                              "return"})) {
        reason = "classical control is not supported (";
        reason += quoted;
        reason += ")";
    } else if (name == "opaque") {
        reason = "opaque gates are not supported: their matrix is unknown";
    } else if (isOneOf(name, {"def", "defcal", "defcalgrammar", "cal", "extern", "box", "delay", "let",
                              "pragma"})) {
        reason = quoted;
        reason += " is not supported";
    }
    return reason;
}

class CircuitProduct {
public:
    explicit CircuitProduct(long long gateLimit)
        : gateLimit_(gateLimit), product_(std::make_unique<TMATICA1>()), chunkMatrix_(std::make_unique<TMATICA1>()),
          chunk_(std::make_unique<std::array<TGATE1, chunkSize>>())
    {
    }

    bool started() const { return qubitCount_ > 0; }
    int qubitCount() const { return qubitCount_; }

    void start(int qubitCount)
    {
        qubitCount_ = qubitCount;
        if (isWide())
            return;
        setIdentity(*product_, 1 << qubitCount);
    }

    long long gateLimit() const { return gateLimit_; }

    // False when the circuit would exceed the gate limit.
    bool add(const TGATE1& gate)
    {
        if (++total_ > gateLimit_)
            return false;
        if (isWide()) {
            wideGates_.push_back(gate);
            return true;
        }
        (*chunk_)[static_cast<std::size_t>(inChunk_++)] = gate;
        if (inChunk_ == chunkSize)
            flush();
        return true;
    }

    // The unitary with the global phase, row by row.
    std::vector<Complex> entries()
    {
        const Complex phase = fromPolar(1.0, globalPhase);
        if (isWide()) {
            DenseMatrix product = circuitProduct(wideGates_, qubitCount_);
            for (Complex& z : product.entries)
                z = phase * z;
            return std::move(product.entries);
        }
        flush();
        const int n = 1 << qubitCount_;
        std::vector<Complex> result;
        result.reserve(static_cast<std::size_t>(n * n));
        for (int r = 1; r <= n; ++r)
            for (int c = 1; c <= n; ++c)
                result.push_back(phase * (*product_)(r, c));
        return result;
    }

    double globalPhase = 0.0;  // a sum of angles in [-pi, pi] each, which cannot overflow

private:
    static constexpr int chunkSize = 256;

    // Beyond the workspace's matrices the gates are kept and composed at the end.
    bool isWide() const { return qubitCount_ > maxQubits; }

    void flush()
    {
        if (inChunk_ == 0)
            return;
        // Every gate the importer builds is unitary with finite entries, so the kernel applies them all.
        const GateRunResult run =
            composeGates(std::span<const TGATE1>(chunk_->data(), static_cast<std::size_t>(inChunk_)), *chunkMatrix_,
                         qubitCount_);
        if (run.applied != inChunk_ || run.malformed != 0)
            throw QasmImportError(0, "a gate of the circuit has no finite matrix");
        matMul(*chunkMatrix_, *product_, *product_, 1 << qubitCount_);
        inChunk_ = 0;
    }

    long long gateLimit_;
    std::unique_ptr<TMATICA1> product_;
    std::unique_ptr<TMATICA1> chunkMatrix_;
    std::unique_ptr<std::array<TGATE1, chunkSize>> chunk_;
    int inChunk_ = 0;
    int qubitCount_ = 0;
    long long total_ = 0;
    std::vector<TGATE1> wideGates_;
};

// Tokens of the next statement: up to ';' outside braces, or up to the '}' that
// closes its first '{'. False at the end of the text.
bool collectStatement(QasmLexer& lexer, std::vector<Token>& tokens)
{
    tokens.clear();
    int depth = 0;
    for (;;) {
        Token token = lexer.next();
        if (token.kind == TokenKind::end) {
            if (tokens.empty())
                return false;
            throw QasmImportError(tokens.front().line, "the statement that starts here does not end with ';'");
        }
        if (tokens.size() >= maxStatementTokens)
            throw QasmImportError(tokens.front().line, "the statement that starts here is too long");
        const bool isSymbol = token.kind == TokenKind::symbol;
        const std::string text = isSymbol ? token.text : std::string();
        const int line = token.line;
        tokens.push_back(std::move(token));
        if (text == "{") {
            ++depth;
        } else if (text == "}") {
            if (depth == 0)
                throw QasmImportError(line, "this '}' closes nothing");
            if (--depth == 0)
                return true;
        } else if (text == ";" && depth == 0) {
            return true;
        }
    }
}

class Importer {
public:
    Importer(long long gateLimit, int mostQubits) : product_(gateLimit), mostQubits_(mostQubits) {}

    MatrixFileContent run(std::string_view text)
    {
        QasmLexer lexer(text);
        std::vector<Token> tokens;
        bool first = true;
        while (collectStatement(lexer, tokens)) {
            statementLine_ = tokens.front().line;
            if (tokens.front().kind == TokenKind::name && tokens.front().text == "gate") {
                definitionTokens_ += tokens.size();
                if (definitionTokens_ > maxQasmDefinitionTokens)
                    throw QasmImportError(statementLine_, "the gate definitions hold more than " +
                                                              std::to_string(maxQasmDefinitionTokens) + " tokens");
            }
            TokenCursor cursor(tokens, 0, tokens.size(), statementLine_);
            topLevelStatement(cursor, first);
            first = false;
        }
        if (!product_.started())
            startCircuit(0);
        MatrixFileContent content;
        content.verdict = MatrixFileContent::Verdict::matrix;
        content.size = 1 << product_.qubitCount();
        content.entries = product_.entries();
        return content;
    }

private:
    void topLevelStatement(TokenCursor& c, bool first)
    {
        if (c.isName("OPENQASM")) {
            if (!first)
                c.fail("OPENQASM has to be the first statement");
            c.take();
            const Token& version = c.take();
            const bool known = version.text == "2.0" || version.text == "3" || version.text.starts_with("3.");
            if (version.kind != TokenKind::number || !known)
                c.fail("OpenQASM version " + version.text + " is not supported: 2.0 and 3 are");
            endOfStatement(c);
            return;
        }
        if (c.isName("include")) {
            c.take();
            const Token& file = c.take();
            if (file.kind != TokenKind::text)
                c.fail("include needs a file name in quotes");
            const std::string name = file.text;
            endOfStatement(c);
            if (name == "qelib1.inc")
                loadLibrary(qelib1Gates, qelib1Loaded_);
            else if (name == "stdgates.inc")
                loadLibrary(stdGates, stdGatesLoaded_);
            else
                c.fail("the file \"" + name + "\" cannot be included: only qelib1.inc and stdgates.inc are known");
            return;
        }
        if (c.isName("qreg") || c.isName("qubit")) {
            declareQubits(c);
            return;
        }
        if (c.isName("gate")) {
            defineGate(c);
            return;
        }
        if (c.isName("barrier")) {
            c.take();
            QubitNames names;
            names.registers = &registers_;
            operands(c, names);
            endOfStatement(c);
            return;
        }
        if (c.peek().kind == TokenKind::name) {
            const std::string refusal = refusalOfKeyword(c.peek().text);
            if (!refusal.empty())
                c.fail(refusal);
        }
        if (!product_.started())
            startCircuit(c.line());
        QubitNames names;
        names.registers = &registers_;
        gateStatement(c, {}, names, CallContext{}, 0, false);
    }

    void endOfStatement(TokenCursor& c)
    {
        c.expectSymbol(";");
        if (!c.atEnd())
            c.fail("text after the end of the statement");
    }

    int wholeNumber(TokenCursor& c, std::string_view what)
    {
        const bool negative = c.trySymbol("-");
        const Token& token = c.take();
        if (token.kind != TokenKind::number || !token.integer)
            c.fail(std::string(what) + " has to be a whole number");
        const std::optional<std::uint64_t> value = ::wholeNumber(token.text, 1000000);
        if (negative || !value)
            c.fail(std::string(what) + " " + (negative ? "-" : "") + token.text + " is out of range");
        return static_cast<int>(*value);
    }

    void declareQubits(TokenCursor& c)
    {
        const bool qasm2Style = c.take().text == "qreg";
        int size = 1;
        std::string name;
        if (qasm2Style) {
            name = c.expectName("a register name");
            if (c.trySymbol("[")) {
                size = wholeNumber(c, "the register size");
                c.expectSymbol("]");
            }
        } else {
            if (c.trySymbol("[")) {
                size = wholeNumber(c, "the register size");
                c.expectSymbol("]");
            }
            name = c.expectName("a register name");
        }
        endOfStatement(c);
        if (product_.started())
            c.fail("qubits declared after the first gate are not supported");
        for (const Register& r : registers_) {
            if (r.name == name)
                c.fail("the register '" + name + "' is declared twice");
        }
        if (size < 1)
            c.fail("the register '" + name + "' has no qubits");
        if (declaredQubits_ + size > mostQubits_)
            c.fail("the program declares more than " + std::to_string(mostQubits_) + " qubits: at most " +
                   std::to_string(mostQubits_) + " can be imported");
        registers_.push_back({name, declaredQubits_, size});
        declaredQubits_ += size;
    }

    void startCircuit(int line)
    {
        if (declaredQubits_ < 2)
            throw QasmImportError(line, "the program declares " + std::to_string(declaredQubits_) +
                                            " qubit" + (declaredQubits_ == 1 ? "" : "s") +
                                            ": 2 to " + std::to_string(mostQubits_) + " are needed");
        product_.start(declaredQubits_);
    }

    std::vector<std::string> nameList(TokenCursor& c, std::string_view closing, std::string_view what,
                                      std::size_t largest, std::string_view bound)
    {
        std::vector<std::string> names;
        if (c.isSymbol(closing))
            return names;
        std::unordered_set<std::string> seen;
        do {
            std::string name = c.expectName(what);
            if (!seen.insert(name).second)
                c.fail("'" + name + "' is named twice");
            if (seen.size() > largest)
                c.fail("a gate can have at most " + std::to_string(largest) + " " + std::string(bound));
            names.push_back(std::move(name));
        } while (c.trySymbol(","));
        return names;
    }

    void defineGate(TokenCursor& c)
    {
        c.take();
        const std::string name = c.expectName("the name of the gate");
        GateDefinition definition;
        definition.fromLibrary = loadingLibrary_;
        if (c.trySymbol("(")) {
            definition.parameters = nameList(c, ")", "a parameter name", maxQasmGateParameters, "parameters");
            c.expectSymbol(")");
        }
        // No program has more qubits than can be imported, so neither can a gate that is applied.
        definition.qubits = nameList(c, "{", "a qubit name", maxQubits, "qubits, the most a program can import");
        if (definition.qubits.empty())
            c.fail("the gate '" + name + "' acts on no qubits");
        c.expectSymbol("{");
        std::size_t statementStart = 0;
        while (!c.isSymbol("}")) {
            if (c.atEnd())
                c.fail("the body of the gate '" + name + "' does not end with '}'");
            if (c.isSymbol("{"))
                c.fail("a gate body cannot hold braces");
            if (definition.body.size() == statementStart && c.isName("gate"))
                c.fail("gate definitions cannot be nested");
            const bool ends = c.isSymbol(";");
            if (ends && definition.body.size() == statementStart)
                c.fail("the body of the gate '" + name + "' holds an empty statement");
            definition.body.push_back(c.take());
            if (ends) {
                definition.statements.emplace_back(statementStart, definition.body.size());
                statementStart = definition.body.size();
            }
        }
        if (statementStart != definition.body.size())
            c.fail("the last statement in the body of the gate '" + name + "' does not end with ';'");
        c.take();
        if (!c.atEnd())
            c.fail("text after the end of the gate definition");
        if (isOneOf(name, {"U", "CX", "gphase"}))
            c.fail("the built-in gate '" + name + "' cannot be redefined");
        if (!loadingLibrary_ && stdGateNames_.count(name) > 0)
            c.fail("the gate '" + name + "' is already defined in stdgates.inc");
        GateTable& table = loadingLibrary_ ? libraryGates_ : userGates_;
        if (table.count(name) > 0)
            c.fail("the gate '" + name + "' is defined twice");
        checkBody(definition);
        table.emplace(name, std::move(definition));
    }

    // A definition is checked when it is read, even if it is never applied: each statement
    // calls a gate defined before it with the right shape, on the gate's own qubits, with
    // angles that are finite as far as they do not depend on the parameters.
    void checkBody(const GateDefinition& definition)
    {
        std::vector<Parameter> scope;
        for (const std::string& parameter : definition.parameters)
            scope.push_back({parameter, 0.0, false});
        std::vector<int> qubits;
        for (std::size_t k = 0; k < definition.qubits.size(); ++k)
            qubits.push_back(static_cast<int>(k) + 1);
        QubitNames names;
        names.formals = &definition.qubits;
        names.formalQubits = &qubits;
        checking_ = true;
        for (const auto& range : definition.statements) {
            TokenCursor body(definition.body, range.first, range.second, statementLine_);
            if (body.isName("barrier")) {
                body.take();
                operands(body, names);
                endOfStatement(body);
                continue;
            }
            gateStatement(body, scope, names, CallContext{}, 0, definition.fromLibrary);
        }
        checking_ = false;
    }

    // Reads the library's definitions once, however often it is included.
    void loadLibrary(std::string_view text, bool& loaded)
    {
        if (loaded)
            return;
        loaded = true;
        loadingLibrary_ = true;
        QasmLexer lexer(text, false);
        std::vector<Token> tokens;
        while (collectStatement(lexer, tokens)) {
            TokenCursor cursor(tokens, 0, tokens.size(), statementLine_);
            // A library loaded second keeps the gates of the first.
            const std::string name = tokens.size() > 1 ? tokens[1].text : std::string();
            if (&loaded == &stdGatesLoaded_)
                stdGateNames_.insert(name);
            if (libraryGates_.count(name) == 0)
                defineGate(cursor);
        }
        loadingLibrary_ = false;
    }

    // The qubits of each operand: one qubit, or all of a register.
    std::vector<std::vector<int>> operands(TokenCursor& c, const QubitNames& names)
    {
        std::vector<std::vector<int>> result;
        if (c.isSymbol(";"))
            return result;
        do {
            const std::string name = c.expectName("a qubit");
            std::vector<int> qubits;
            if (names.formals != nullptr) {
                for (std::size_t k = 0; k < names.formals->size(); ++k) {
                    if ((*names.formals)[k] == name)
                        qubits.push_back((*names.formalQubits)[k]);
                }
                if (qubits.empty())
                    c.fail("'" + name + "' is not a qubit of this gate");
            } else {
                const Register* reg = nullptr;
                for (const Register& r : *names.registers) {
                    if (r.name == name)
                        reg = &r;
                }
                if (reg == nullptr)
                    c.fail("'" + name + "' is not a declared qubit register");
                if (c.trySymbol("[")) {
                    const int index = wholeNumber(c, "a qubit index");
                    c.expectSymbol("]");
                    if (index >= reg->size)
                        c.fail("the qubit " + name + "[" + std::to_string(index) + "] does not exist");
                    qubits.push_back(reg->first + index + 1);
                } else {
                    for (int k = 0; k < reg->size; ++k)
                        qubits.push_back(reg->first + k + 1);
                }
            }
            result.push_back(std::move(qubits));
        } while (c.trySymbol(","));
        return result;
    }

    // The modifiers before a gate: controls consume its first qubits in order;
    // inv and pow(k) commute with them and with each other, so they multiply into one exponent.
    struct Modifiers {
        std::vector<bool> controls;  // negative or not, in operand order
        bool controlsKnown = true;   // false while a definition is checked and a count depends on a parameter
        long long exponent = 1;
    };

    Modifiers readModifiers(TokenCursor& c, std::span<const Parameter> scope)
    {
        Modifiers modifiers;
        long long& exponent = modifiers.exponent;
        for (;;) {
            if (c.isName("inv")) {
                c.take();
                c.expectSymbol("@");
                exponent = -exponent;
            } else if (c.isName("pow")) {
                c.take();
                c.expectSymbol("(");
                const std::optional<double> value = evaluateExpressionIfKnown(c, scope);
                c.expectSymbol(")");
                c.expectSymbol("@");
                if (!value)
                    continue;
                const double k = std::round(*value);
                if (std::fabs(*value - k) > 1e-9)
                    c.fail("pow(k) @ is supported for whole numbers k only");
                if (std::fabs(k * static_cast<double>(exponent)) > maxQasmPower)
                    c.fail("the power is larger than " + std::to_string(maxQasmPower));
                exponent *= static_cast<long long>(k);
            } else if (c.isName("ctrl") || c.isName("negctrl")) {
                const bool negative = c.take().text == "negctrl";
                double count = 1.0;
                if (c.trySymbol("(")) {
                    const std::optional<double> value = evaluateExpressionIfKnown(c, scope);
                    c.expectSymbol(")");
                    if (!value) {
                        c.expectSymbol("@");
                        modifiers.controlsKnown = false;
                        continue;
                    }
                    count = *value;
                }
                c.expectSymbol("@");
                if (count != std::round(count) || count < 1.0 || count > maxQubits - 1)
                    c.fail("a gate can have 1 to " + std::to_string(maxQubits - 1) + " controls");
                modifiers.controls.insert(modifiers.controls.end(), static_cast<std::size_t>(count), negative);
            } else {
                break;
            }
        }
        return modifiers;
    }

    // One gate statement: modifiers, name, parameters, operands; then the gate applied
    // once per qubit of register operands.
    void gateStatement(TokenCursor& c, std::span<const Parameter> scope, const QubitNames& names,
                       const CallContext& context, int depth, bool inLibrary)
    {
        const Modifiers modifiers = readModifiers(c, scope);
        const std::string name = c.expectName("a gate name");
        if (const std::string refusal = refusalOfKeyword(name); !refusal.empty())
            c.fail(refusal);
        std::vector<double> arguments;
        if (c.trySymbol("(") && !c.trySymbol(")")) {
            // A value still unknown (a parameter while a definition is checked) is never applied.
            do
                arguments.push_back(evaluateExpressionIfKnown(c, scope).value_or(0.0));
            while (c.trySymbol(","));
            c.expectSymbol(")");
        }
        const std::vector<std::vector<int>> qubitOperands = operands(c, names);
        endOfStatement(c);

        if (qubitOperands.size() > static_cast<std::size_t>(maxQubits))
            c.fail("the gate has more than " + std::to_string(maxQubits) + " qubit operands");
        std::size_t width = 1;
        for (const std::vector<int>& operand : qubitOperands)
            width = std::max(width, operand.size());
        for (const std::vector<int>& operand : qubitOperands) {
            if (operand.size() != 1 && operand.size() != width)
                c.fail("the registers of this gate have different sizes");
        }
        if (!modifiers.controlsKnown) {
            if (!known(name))
                c.fail("unknown gate '" + name + "'");
            return;
        }
        const std::size_t controlCount = modifiers.controls.size();
        if (qubitOperands.size() < controlCount)
            c.fail("the gate has fewer qubits than controls");
        // A global phase is applied once, whatever qubits follow it; only its controls broadcast.
        if (name == "gphase") {
            width = 1;
            for (std::size_t k = 0; k < controlCount; ++k)
                width = std::max(width, qubitOperands[k].size());
        }
        for (std::size_t j = 0; j < width; ++j) {
            std::vector<int> qubits;
            for (const std::vector<int>& operand : qubitOperands)
                qubits.push_back(operand.size() == 1 ? operand[0] : operand[j]);
            CallContext inner = context;
            if (name == "gphase" && width == 1)
                qubits.resize(std::min(qubits.size(), controlCount));
            for (std::size_t k = 0; k < qubits.size(); ++k) {
                bool repeated = false;
                for (std::size_t m = 0; m < k; ++m)
                    repeated = repeated || qubits[m] == qubits[k];
                for (int m = 0; m < context.controlCount; ++m)
                    repeated = repeated || context.controls[static_cast<std::size_t>(m)].qubit == qubits[k];
                if (repeated)
                    c.fail("a gate names one qubit twice");
            }
            for (std::size_t k = 0; k < controlCount; ++k)
                inner.controls[static_cast<std::size_t>(inner.controlCount++)] = {qubits[k], modifiers.controls[k]};
            qubits.erase(qubits.begin(), qubits.begin() + static_cast<std::ptrdiff_t>(controlCount));
            if (modifiers.exponent < 0)
                inner.inverse = !inner.inverse;
            const long long repetitions = checking_ ? 1 : std::llabs(modifiers.exponent);
            for (long long k = 0; k < repetitions; ++k)
                applyGate(c, name, arguments, qubits, inner, depth, inLibrary);
        }
    }

    void requireShape(const TokenCursor& c, const std::string& name, std::size_t parameters,
                      std::size_t wantedParameters, std::size_t qubits, std::size_t wantedQubits)
    {
        if (parameters != wantedParameters)
            c.fail("the gate '" + name + "' takes " + std::to_string(wantedParameters) + " parameters, not " +
                   std::to_string(parameters));
        if (qubits != wantedQubits)
            c.fail("the gate '" + name + "' acts on " + std::to_string(wantedQubits) + " qubits, not " +
                   std::to_string(qubits));
    }

    // Counts one step of the expansion.
    void step(const TokenCursor& c)
    {
        if (checking_)
            return;
        const long long stepLimit = qasmStepsPerGate * product_.gateLimit();
        if (++steps_ > stepLimit)
            c.fail("the circuit takes more than " + std::to_string(stepLimit) +
                   " steps (gate calls, powers and body statements) to expand");
    }

    const GateDefinition* definitionOf(const std::string& name, bool inLibrary) const
    {
        if (!inLibrary) {
            if (const auto found = userGates_.find(name); found != userGates_.end())
                return &found->second;
        }
        if (const auto found = libraryGates_.find(name); found != libraryGates_.end())
            return &found->second;
        return nullptr;
    }

    bool known(const std::string& name) const
    {
        return isOneOf(name, {"U", "CX", "gphase"}) || definitionOf(name, false) != nullptr;
    }

    void applyGate(const TokenCursor& c, const std::string& name, const std::vector<double>& arguments,
                   const std::vector<int>& qubits, const CallContext& context, int depth, bool inLibrary)
    {
        step(c);
        if (name == "U") {
            requireShape(c, name, arguments.size(), 3, qubits.size(), 1);
            if (!checking_)
                emitU(c, uMatrix(arguments[0], arguments[1], arguments[2]), qubits[0], context);
            return;
        }
        if (name == "CX") {
            requireShape(c, name, arguments.size(), 0, qubits.size(), 2);
            if (checking_)
                return;
            CallContext inner = context;
            inner.controls[static_cast<std::size_t>(inner.controlCount++)] = {qubits[0], false};
            emitU(c, pauliXMatrix, qubits[1], inner);
            return;
        }
        if (name == "gphase") {
            // Operands, if any, only say which qubits the phase belongs to.
            requireShape(c, name, arguments.size(), 1, 0, 0);
            if (!checking_)
                emitPhase(c, arguments[0], context);
            return;
        }
        const GateDefinition* definition = definitionOf(name, inLibrary);
        if (definition == nullptr)
            c.fail("unknown gate '" + name + "'");
        requireShape(c, name, arguments.size(), definition->parameters.size(), qubits.size(),
                     definition->qubits.size());
        if (checking_)
            return;
        if (depth >= maxQasmGateNesting)
            c.fail("gate definitions call each other deeper than " + std::to_string(maxQasmGateNesting) + " levels");
        std::vector<Parameter> scope;
        for (std::size_t k = 0; k < arguments.size(); ++k)
            scope.push_back({definition->parameters[k], arguments[k]});
        QubitNames names;
        names.formals = &definition->qubits;
        names.formalQubits = &qubits;
        const auto& statements = definition->statements;
        // The inverse of a product is the product of the inverses in reverse order.
        for (std::size_t k = 0; k < statements.size(); ++k) {
            const auto& range = statements[context.inverse ? statements.size() - 1 - k : k];
            TokenCursor body(definition->body, range.first, range.second, statementLine_);
            step(body);
            if (body.isName("barrier"))
                continue;
            gateStatement(body, scope, names, context, depth + 1, inLibrary || definition->fromLibrary);
        }
    }

    void emitU(const TokenCursor& c, const TMATICA2& u, int target, const CallContext& context)
    {
        emitGate(c, context.inverse ? adjoint2(u) : u, target, context);
    }

    // A phase under controls is the phase gate diag(1, e^(i gamma)) on the last of them.
    void emitPhase(const TokenCursor& c, double gamma, const CallContext& context)
    {
        if (context.inverse)
            gamma = -gamma;
        if (context.controlCount == 0) {
            product_.globalPhase += reducedAngle(gamma);
            return;
        }
        CallContext rest = context;
        const Control last = context.controls[static_cast<std::size_t>(--rest.controlCount)];
        const Complex one{1.0, 0.0};
        const Complex phase = fromPolar(1.0, gamma);
        const TMATICA2 u = last.negative ? TMATICA2{phase, {}, {}, one} : TMATICA2{one, {}, {}, phase};
        emitGate(c, u, last.qubit, rest);
    }

    // A control on 0 is a control on 1 between two X gates.
    void emitGate(const TokenCursor& c, const TMATICA2& u, int target, const CallContext& context)
    {
        for (int k = 0; k < context.controlCount; ++k) {
            if (context.controls[static_cast<std::size_t>(k)].negative)
                addGate(c, pauliXMatrix, context.controls[static_cast<std::size_t>(k)].qubit, {});
        }
        addGate(c, u, target, context);
        for (int k = 0; k < context.controlCount; ++k) {
            if (context.controls[static_cast<std::size_t>(k)].negative)
                addGate(c, pauliXMatrix, context.controls[static_cast<std::size_t>(k)].qubit, {});
        }
    }

    void addGate(const TokenCursor& c, const TMATICA2& u, int target, const CallContext& context)
    {
        TGATE1 gate;
        gate.u = u;
        gate.target = static_cast<std::uint8_t>(target);
        gate.type = static_cast<std::uint8_t>(context.controlCount);
        for (int k = 0; k < context.controlCount; ++k)
            gate.controls[static_cast<std::size_t>(k + 1)] =
                static_cast<std::uint8_t>(context.controls[static_cast<std::size_t>(k)].qubit);
        if (!product_.add(gate))
            c.fail("the circuit has more than " + std::to_string(product_.gateLimit()) +
                   " gates once its gate definitions are expanded");
    }

    CircuitProduct product_;
    GateTable userGates_;
    GateTable libraryGates_;
    std::vector<Register> registers_;
    int declaredQubits_ = 0;
    int statementLine_ = 0;
    std::size_t definitionTokens_ = 0;
    long long steps_ = 0;
    int mostQubits_;
    bool checking_ = false;  // a definition's body is checked, not applied
    std::set<std::string, std::less<>> stdGateNames_;
    bool loadingLibrary_ = false;
    bool qelib1Loaded_ = false;
    bool stdGatesLoaded_ = false;
};

}  // namespace

MatrixFileContent qasmUnitary(std::string_view text, Presentation&, long long gateLimit, int mostQubits)
{
    if (text.size() > maxQasmFileBytes)
        throw QasmImportError(0, "the file is larger than " + std::to_string(maxQasmFileBytes >> 20) + " MB");
    return Importer(gateLimit, std::clamp(mostQubits, 2, largestQasmQubits)).run(text);
}
