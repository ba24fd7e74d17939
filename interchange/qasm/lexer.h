#pragma once
// Tokens of an OpenQASM 2.0 or 3 program, read one at a time with their line numbers.

#include <stdexcept>
#include <string>
#include <string_view>

// `text` with every byte that is not printable ASCII written as \xNN, so that an
// echo of the file can neither be cut by a NUL nor hide or garble a character.
std::string printableText(std::string_view text);

// A refusal of the import: the text is the whole message after "line N: ", echoes of
// the file's text made printable.
struct QasmImportError : std::runtime_error {
    QasmImportError(int line, const std::string& what) : std::runtime_error(printableText(what)), line(line) {}
    int line;  // 0 when no line of the file is to blame
};

enum class TokenKind { name, number, text, symbol, end };

struct Token {
    TokenKind kind = TokenKind::end;
    std::string text;    // a name, a symbol, or a string without its quotes
    double value = 0.0;  // of a number
    bool integer = false;  // a number written without '.' or exponent
    int line = 0;        // 0 for the built-in gate libraries
};

// Longest line a program may have; longer ones are refused, not split.
inline constexpr std::size_t maxQasmLineLength = 100000;

class QasmLexer {
public:
    // `numberLines` false for built-in library text, whose tokens then carry line 0.
    explicit QasmLexer(std::string_view text, bool numberLines = true);

    // The next token; TokenKind::end at the end of the text. Throws QasmImportError.
    Token next();

private:
    void skipSpaceAndComments();
    char peek(std::size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    void advance();
    // Checks the UTF-8 character at the position (a byte from 0x80 up) that a name is to hold.
    void checkNameCharacter() const;
    [[noreturn]] void fail(const std::string& what) const;

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
    bool numberLines_;
};
