#pragma once
// A statement's tokens with a read position, and the value of the angle
// expressions in it (pi, + - * / ^, unary minus, sin cos tan exp ln sqrt).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/qasm/lexer.h"

class TokenCursor {
public:
    // Reads tokens[begin, end); `fallbackLine` names the statement when a token has no line of its own.
    TokenCursor(const std::vector<Token>& tokens, std::size_t begin, std::size_t end, int fallbackLine)
        : tokens_(tokens), pos_(begin), end_(end), fallbackLine_(fallbackLine)
    {
    }

    bool atEnd() const { return pos_ >= end_; }
    // The current token; an end token past the last one.
    const Token& peek() const { return atEnd() ? endToken_ : tokens_[pos_]; }
    const Token& take();
    bool isSymbol(std::string_view symbol) const;
    bool isName(std::string_view name) const;
    bool trySymbol(std::string_view symbol);
    void expectSymbol(std::string_view symbol);
    std::string expectName(std::string_view what);
    std::size_t position() const { return pos_; }
    int line() const;
    [[noreturn]] void fail(const std::string& what) const;

private:
    const std::vector<Token>& tokens_;
    std::size_t pos_;
    std::size_t end_;
    int fallbackLine_;
    Token endToken_;
};

// A gate parameter bound to its value; unknown while a definition is only checked.
struct Parameter {
    std::string name;
    double value = 0.0;
    bool known = true;
};

// Deepest nesting of parentheses, functions and unary signs in one expression.
inline constexpr int maxExpressionDepth = 64;

// Reads one expression at the cursor and returns its value; refuses (QasmImportError)
// an unknown name, a nesting deeper than maxExpressionDepth or any value along the way
// that is not finite (1/(1/0) is refused, though its end value is 0).
double evaluateExpression(TokenCursor& cursor, std::span<const Parameter> parameters);

// The same, where a value that depends on an unknown parameter is null and is not checked.
std::optional<double> evaluateExpressionIfKnown(TokenCursor& cursor, std::span<const Parameter> parameters);
