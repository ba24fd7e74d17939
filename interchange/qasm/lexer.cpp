#include "interchange/qasm/lexer.h"

#include <charconv>
#include <cmath>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Names may hold UTF-8 letters such as the Greek ones the libraries use.
bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool isNamePart(char c) { return isNameStart(c) || isDigit(c); }

}  // namespace

QasmLexer::QasmLexer(std::string_view text, bool numberLines) : text_(text), numberLines_(numberLines) {}

void QasmLexer::fail(const std::string& what) const { throw QasmImportError(numberLines_ ? line_ : 0, what); }

void QasmLexer::advance()
{
    if (text_[pos_] == '\n') {
        ++line_;
        lineStart_ = pos_ + 1;
    }
    ++pos_;
    if (pos_ - lineStart_ > maxQasmLineLength)
        fail("the line is longer than " + std::to_string(maxQasmLineLength) + " characters");
}

void QasmLexer::skipSpaceAndComments()
{
    for (;;) {
        const char c = peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            advance();
        } else if (c == '/' && peek(1) == '/') {
            while (pos_ < text_.size() && peek() != '\n')
                advance();
        } else if (c == '/' && peek(1) == '*') {
            const int startLine = line_;
            advance();
            advance();
            while (pos_ < text_.size() && !(peek() == '*' && peek(1) == '/'))
                advance();
            if (pos_ >= text_.size())
                throw QasmImportError(numberLines_ ? startLine : 0, "the comment that starts here never ends");
            advance();
            advance();
        } else {
            return;
        }
    }
}

Token QasmLexer::next()
{
    skipSpaceAndComments();
    Token token;
    token.line = numberLines_ ? line_ : 0;
    if (pos_ >= text_.size())
        return token;
    const std::size_t start = pos_;
    const char c = peek();
    if (isNameStart(c)) {
        while (pos_ < text_.size() && isNamePart(peek()))
            advance();
        token.kind = TokenKind::name;
        token.text = std::string(text_.substr(start, pos_ - start));
        return token;
    }
    if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
        token.integer = true;
        while (isDigit(peek()))
            advance();
        if (peek() == '.') {
            token.integer = false;
            advance();
            while (isDigit(peek()))
                advance();
        }
        if ((peek() == 'e' || peek() == 'E') &&
            (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
            token.integer = false;
            advance();
            advance();
            while (isDigit(peek()))
                advance();
        }
        const std::string_view digits = text_.substr(start, pos_ - start);
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), token.value);
        if (result.ec != std::errc() || !std::isfinite(token.value))
            fail("the number " + std::string(digits) + " is out of range");
        token.kind = TokenKind::number;
        token.text = std::string(digits);
        return token;
    }
    if (c == '"') {
        advance();
        while (pos_ < text_.size() && peek() != '"' && peek() != '\n')
            advance();
        if (peek() != '"')
            fail("the string that starts here never ends");
        advance();
        token.kind = TokenKind::text;
        token.text = std::string(text_.substr(start + 1, pos_ - start - 2));
        return token;
    }
    static constexpr std::string_view twoCharacterSymbols[] = {"**", "->", "==", "!=", "<=", ">=", "&&", "||",
                                                               "<<", ">>", "++", "+=", "-=", "*=", "/="};
    for (const std::string_view symbol : twoCharacterSymbols) {
        if (text_.substr(pos_, 2) == symbol) {
            advance();
            advance();
            token.kind = TokenKind::symbol;
            token.text = std::string(symbol);
            return token;
        }
    }
    static constexpr std::string_view oneCharacterSymbols = "()[]{};,@+-*/^=<>!~&|%:.$#?";
    if (oneCharacterSymbols.find(c) == std::string_view::npos) {
        const unsigned code = static_cast<unsigned char>(c);
        fail("the character with code " + std::to_string(code) + " is not part of OpenQASM");
    }
    advance();
    token.kind = TokenKind::symbol;
    token.text = std::string(1, c);
    return token;
}
