#include "interchange/qasm/expression.h"

#include <cmath>
#include <numbers>

const Token& TokenCursor::take()
{
    if (atEnd())
        return endToken_;
    return tokens_[pos_++];
}

bool TokenCursor::isSymbol(std::string_view symbol) const
{
    return peek().kind == TokenKind::symbol && peek().text == symbol;
}

bool TokenCursor::isName(std::string_view name) const
{
    return peek().kind == TokenKind::name && peek().text == name;
}

bool TokenCursor::trySymbol(std::string_view symbol)
{
    if (!isSymbol(symbol))
        return false;
    take();
    return true;
}

void TokenCursor::expectSymbol(std::string_view symbol)
{
    if (trySymbol(symbol))
        return;
    const Token& found = peek();
    fail("expected '" + std::string(symbol) + "'" +
         (found.kind == TokenKind::end ? std::string(" at the end of the statement")
                                       : " instead of '" + found.text + "'"));
}

std::string TokenCursor::expectName(std::string_view what)
{
    if (peek().kind != TokenKind::name)
        fail("expected " + std::string(what));
    return take().text;
}

int TokenCursor::line() const
{
    if (!atEnd() && tokens_[pos_].line > 0)
        return tokens_[pos_].line;
    if (pos_ > 0 && pos_ - 1 < tokens_.size() && tokens_[pos_ - 1].line > 0)
        return tokens_[pos_ - 1].line;
    return fallbackLine_;
}

void TokenCursor::fail(const std::string& what) const { throw QasmImportError(line(), what); }

namespace {

// A value along the way; one that depends on an unknown parameter is not known.
struct Value {
    double x = 0.0;
    bool known = true;
};

class ExpressionReader {
public:
    ExpressionReader(TokenCursor& cursor, std::span<const Parameter> parameters)
        : cursor_(cursor), parameters_(parameters)
    {
    }

    Value sum(int depth)
    {
        enter(depth);
        Value value = product(depth);
        for (;;) {
            if (cursor_.trySymbol("+"))
                value = checked(combine(value, product(depth), [](double a, double b) { return a + b; }));
            else if (cursor_.trySymbol("-"))
                value = checked(combine(value, product(depth), [](double a, double b) { return a - b; }));
            else
                return value;
        }
    }

private:
    void enter(int depth) const
    {
        if (depth > maxExpressionDepth)
            cursor_.fail("the expression is nested deeper than " + std::to_string(maxExpressionDepth) + " levels");
    }

    template <typename Operation>
    static Value combine(Value a, Value b, Operation operation)
    {
        return {operation(a.x, b.x), a.known && b.known};
    }

    // Every known value along the way has to be finite.
    Value checked(Value value) const
    {
        if (value.known && !std::isfinite(value.x))
            cursor_.fail("an angle is not a finite number (a division by zero, an overflow or a value outside a "
                         "function's domain)");
        return value;
    }

    Value product(int depth)
    {
        Value value = signedPower(depth);
        for (;;) {
            if (cursor_.trySymbol("*"))
                value = checked(combine(value, signedPower(depth), [](double a, double b) { return a * b; }));
            else if (cursor_.trySymbol("/"))
                value = checked(combine(value, signedPower(depth), [](double a, double b) { return a / b; }));
            else
                return value;
        }
    }

    Value signedPower(int depth)
    {
        if (cursor_.trySymbol("-")) {
            enter(depth + 1);
            const Value value = signedPower(depth + 1);
            return {-value.x, value.known};
        }
        if (cursor_.trySymbol("+")) {
            enter(depth + 1);
            return signedPower(depth + 1);
        }
        const Value base = primary(depth);
        if (cursor_.trySymbol("^") || cursor_.trySymbol("**")) {
            enter(depth + 1);
            return checked(combine(base, signedPower(depth + 1), [](double a, double b) { return std::pow(a, b); }));
        }
        return base;
    }

    Value primary(int depth)
    {
        const Token& token = cursor_.take();
        if (token.kind == TokenKind::number)
            return {token.value, true};
        if (token.kind == TokenKind::symbol && token.text == "(") {
            const Value value = sum(depth + 1);
            cursor_.expectSymbol(")");
            return value;
        }
        if (token.kind != TokenKind::name)
            cursor_.fail(token.kind == TokenKind::end ? "an expression is missing"
                                                      : "'" + token.text + "' cannot start an expression");
        const std::string& name = token.text;
        for (const Parameter& p : parameters_) {
            if (p.name == name)
                return {p.value, p.known};
        }
        if (name == "pi" || name == "π")
            return {std::numbers::pi, true};
        if (name == "tau" || name == "τ")
            return {2.0 * std::numbers::pi, true};
        if (name == "euler" || name == "ℇ")
            return {std::numbers::e, true};
        double (*function)(double) = nullptr;
        if (name == "sin")
            function = [](double x) { return std::sin(x); };
        else if (name == "cos")
            function = [](double x) { return std::cos(x); };
        else if (name == "tan")
            function = [](double x) { return std::tan(x); };
        else if (name == "exp")
            function = [](double x) { return std::exp(x); };
        else if (name == "ln" || name == "log")
            function = [](double x) { return std::log(x); };
        else if (name == "sqrt")
            function = [](double x) { return std::sqrt(x); };
        else if (name == "arcsin")
            function = [](double x) { return std::asin(x); };
        else if (name == "arccos")
            function = [](double x) { return std::acos(x); };
        else if (name == "arctan")
            function = [](double x) { return std::atan(x); };
        if (function == nullptr)
            cursor_.fail("'" + name + "' is not a parameter or constant here");
        cursor_.expectSymbol("(");
        const Value argument = sum(depth + 1);
        cursor_.expectSymbol(")");
        return checked({function(argument.x), argument.known});
    }

    TokenCursor& cursor_;
    std::span<const Parameter> parameters_;
};

}  // namespace

std::optional<double> evaluateExpressionIfKnown(TokenCursor& cursor, std::span<const Parameter> parameters)
{
    const Value value = ExpressionReader(cursor, parameters).sum(0);
    if (!value.known)
        return std::nullopt;
    return value.x;
}

double evaluateExpression(TokenCursor& cursor, std::span<const Parameter> parameters)
{
    const std::optional<double> value = evaluateExpressionIfKnown(cursor, parameters);
    if (!value)
        cursor.fail("an angle depends on a parameter whose value is unknown");
    return *value;
}
