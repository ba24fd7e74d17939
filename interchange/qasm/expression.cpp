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

class ExpressionReader {
public:
    ExpressionReader(TokenCursor& cursor, std::span<const Parameter> parameters)
        : cursor_(cursor), parameters_(parameters)
    {
    }

    double sum(int depth)
    {
        enter(depth);
        double value = product(depth);
        for (;;) {
            if (cursor_.trySymbol("+"))
                value += product(depth);
            else if (cursor_.trySymbol("-"))
                value -= product(depth);
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

    double product(int depth)
    {
        double value = signedPower(depth);
        for (;;) {
            if (cursor_.trySymbol("*"))
                value *= signedPower(depth);
            else if (cursor_.trySymbol("/"))
                value /= signedPower(depth);
            else
                return value;
        }
    }

    double signedPower(int depth)
    {
        if (cursor_.trySymbol("-")) {
            enter(depth + 1);
            return -signedPower(depth + 1);
        }
        if (cursor_.trySymbol("+")) {
            enter(depth + 1);
            return signedPower(depth + 1);
        }
        const double base = primary(depth);
        if (cursor_.trySymbol("^") || cursor_.trySymbol("**")) {
            enter(depth + 1);
            return std::pow(base, signedPower(depth + 1));
        }
        return base;
    }

    double primary(int depth)
    {
        const Token& token = cursor_.take();
        if (token.kind == TokenKind::number)
            return token.value;
        if (token.kind == TokenKind::symbol && token.text == "(") {
            const double value = sum(depth + 1);
            cursor_.expectSymbol(")");
            return value;
        }
        if (token.kind != TokenKind::name)
            cursor_.fail(token.kind == TokenKind::end ? "an expression is missing"
                                                      : "'" + token.text + "' cannot start an expression");
        const std::string& name = token.text;
        for (const Parameter& p : parameters_) {
            if (p.name == name)
                return p.value;
        }
        if (name == "pi" || name == "π")
            return std::numbers::pi;
        if (name == "tau" || name == "τ")
            return 2.0 * std::numbers::pi;
        if (name == "euler" || name == "ℇ")
            return std::numbers::e;
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
        const double argument = sum(depth + 1);
        cursor_.expectSymbol(")");
        return function(argument);
    }

    TokenCursor& cursor_;
    std::span<const Parameter> parameters_;
};

}  // namespace

double evaluateExpression(TokenCursor& cursor, std::span<const Parameter> parameters)
{
    const double value = ExpressionReader(cursor, parameters).sum(0);
    if (!std::isfinite(value))
        cursor.fail("an angle is not a finite number");
    return value;
}
