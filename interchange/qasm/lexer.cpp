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

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Spaces and marks that show as nothing or as a blank; in a name they would make
// it look like another name.
bool isInvisible(char32_t code)
{
    return code == 0x00A0 || code == 0x00AD || code == 0x034F || code == 0x1680 || code == 0x180E ||
           (code >= 0x2000 && code <= 0x200F) || (code >= 0x2028 && code <= 0x202F) ||
           (code >= 0x205F && code <= 0x206F) || code == 0x3000 || code == 0xFEFF;
}

// The code point of the UTF-8 sequence at the start of `text` and its length; length 0 when invalid.
std::pair<char32_t, std::size_t> decodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return {0, 0};
    }
    if (text.size() < length)
        return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0, 0};
    return {code, length};
}

std::string hexCode(char32_t code, int digits)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        text += hexDigits[(code >> shift) & 0xF];
    return text;
}

}  // namespace

std::string printableText(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            shown += c;
        else
            shown += "\\x" + hexCode(byte, 2);
    }
    return shown;
}

QasmLexer::QasmLexer(std::string_view text, bool numberLines) : text_(text), numberLines_(numberLines)
{
    // Editors on some systems start a UTF-8 file with this mark; it is no part of the program.
    if (text_.starts_with(byteOrderMark)) {
        pos_ = byteOrderMark.size();
        lineStart_ = pos_;
    }
}

void QasmLexer::checkNameCharacter() const
{
    const auto [code, length] = decodeUtf8(text_.substr(pos_));
    if (length == 0)
        fail("the byte 0x" + hexCode(static_cast<unsigned char>(text_[pos_]), 2) + " is not valid UTF-8");
    if (isInvisible(code))
        fail("the invisible character U+" + hexCode(code, 4) + " (a special space) is not part of OpenQASM");
}

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
        while (pos_ < text_.size() && isNamePart(peek())) {
            if (static_cast<unsigned char>(peek()) >= 0x80) {
                checkNameCharacter();
                const std::size_t length = decodeUtf8(text_.substr(pos_)).second;
                for (std::size_t k = 0; k < length; ++k)
                    advance();
                continue;
            }
            advance();
        }
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
