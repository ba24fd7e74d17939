#include "workspace/matrixfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <ostream>
#include <string>

#include "engine/kernel/errors.h"
#include "platform/presentation.h"
#include "ui/edit1change.h"
#include "platform/readfilebytes.h"
#include "platform/replacefile.h"
#include "interchange/wholenumber.h"
#include "workspace/workspace.h"

namespace {

constexpr int endOfInput = -1;

// Far above anything the writer produces (an entry is at most about 50 characters), and
// small enough that a huge or endless file is refused after a few kilobytes.
constexpr int maxLineOneLength = 300;
constexpr int maxEntryLength = 300;
constexpr int maxRowLineRest = 300;

// Bytes of a file in memory.
class MemorySource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    int next() { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_++]) : endOfInput; }
    int peek() const { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_]) : endOfInput; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// Bytes of an open file, read only as far as the parser needs (the report can be megabytes long).
class FileSource {
public:
    explicit FileSource(std::filebuf& file) : file_(file) {}
    int next()
    {
        const auto c = file_.sbumpc();
        return c == std::filebuf::traits_type::eof() ? endOfInput : static_cast<int>(c);
    }
    int peek()
    {
        const auto c = file_.sgetc();
        return c == std::filebuf::traits_type::eof() ? endOfInput : static_cast<int>(c);
    }

private:
    std::filebuf& file_;
};

bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
bool isBlankOrLineEnd(int c) { return c == ' ' || c == '\t' || isLineEnd(c); }

// Sizes the program writes: 2 to 5 qubits.
bool isSupportedSize(int size) { return size == 4 || size == 8 || size == 16 || size == 32; }

bool isControlByte(unsigned char c) { return c < 0x20 || c == 0x7f; }

// The conversion echoes the entry around the place where it stopped; of a long
// entry (control bytes, shown as \xNN, make it four times longer) it keeps the
// characters next to that place.
std::string withShortEcho(std::string message)
{
    constexpr std::size_t kept = 60;
    const auto open = message.find(" [");
    const auto mark = message.find("<?>", open);
    if (open == std::string::npos || mark == std::string::npos || !message.ends_with(']'))
        return message;
    std::string read = message.substr(open + 2, mark - open - 2);
    std::string rest = message.substr(mark + 3, message.size() - mark - 4);
    if (read.size() > kept)
        read = "..." + read.substr(read.size() - kept);
    if (rest.size() > kept)
        rest = rest.substr(0, kept) + "...";
    return message.substr(0, open + 2) + read + "<?>" + rest + "]";
}

// A control byte (a NUL above all) would cut or garble the message that echoes
// the text. None of them belongs to a number, so the text with each one written
// as \xNN fails at the same place with the same message, which stays printable.
std::string readableMessage(const std::string& text, const ConversionError& error)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!isControlByte(byte)) {
            shown += c;
            continue;
        }
        shown += "\\x";
        shown += hexDigits[byte >> 4];
        shown += hexDigits[byte & 0xf];
    }
    if (shown == text)
        return withShortEcho(error.what());
    try {
        toComplex(shown);
    } catch (const ConversionError& readable) {
        return withShortEcho(readable.what());
    }
    return withShortEcho(error.what());
}

template <typename Source>
class MatrixParser {
public:
    explicit MatrixParser(Source& source) : source_(source) {}

    MatrixFileContent parse()
    {
        MatrixFileContent content;
        content.size = readSize();
        if (content.size > 64) {
            content.verdict = MatrixFileContent::Verdict::tooBig;
            return content;
        }
        if (content.size < 2) {
            content.verdict = MatrixFileContent::Verdict::tooSmall;
            return content;
        }
        if (!isSupportedSize(content.size)) {
            content.verdict = MatrixFileContent::Verdict::unsupportedSize;
            return content;
        }
        const int n = content.size;
        content.entries.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
        expect('{', "the '{' that opens the matrix");
        std::string entryText;
        for (int row = 1; row <= n; ++row) {
            expect('{', "the '{' that opens row " + std::to_string(row));
            for (int column = 1; column <= n; ++column) {
                const int delimiter = readEntryText(entryText, row, column);
                content.entries[static_cast<std::size_t>((row - 1) * n + (column - 1))] =
                    entryValue(entryText, row, column);
                if (column < n && delimiter != ',')
                    throw FileError("Row " + std::to_string(row) + " of the matrix has " + std::to_string(column) +
                                    " entries instead of " + std::to_string(n) + ".");
                if (column == n && delimiter != '}')
                    throw FileError("Row " + std::to_string(row) + " of the matrix has more than " +
                                    std::to_string(n) + " entries.");
            }
            if (row == n) {
                expect('}', "the '}' that closes the matrix");
                break;  // the report after the matrix is not read
            }
            expect(',', "the ',' after row " + std::to_string(row));
            skipRestOfLine(maxRowLineRest, "Row " + std::to_string(row) + " of the matrix is followed by more than " +
                                               std::to_string(maxRowLineRest) + " characters on its line.");
        }
        content.verdict = MatrixFileContent::Verdict::matrix;
        return content;
    }

private:
    Source& source_;

    // Line 1: a decimal integer after optional blanks and line ends; the rest of the line is skipped.
    // A size too long to hold saturates, so it still counts as too big (or too small).
    int readSize()
    {
        int used = 0;
        const auto next = [&] {
            if (++used > maxLineOneLength)
                throw FileError("The file does not start with the matrix size: its first " +
                                std::to_string(maxLineOneLength) + " characters hold no whole line.");
            return source_.next();
        };
        int c = next();
        while (isBlankOrLineEnd(c))
            c = next();
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            c = next();
        }
        if (c < '0' || c > '9')
            throw FileError("Invalid numeric input");
        DigitRun digits;
        while (isDecimalDigit(c)) {
            addDigit(digits, static_cast<char>(c), 1000000);
            c = next();
        }
        const auto value = static_cast<long long>(digits.value);
        if (c != endOfInput && !isBlankOrLineEnd(c))
            throw FileError("Invalid numeric input");
        while (c != endOfInput && !isLineEnd(c))
            c = next();
        if (c == '\r')
            endCarriageReturn();
        return static_cast<int>(negative ? -value : value);
    }

    void expect(char wanted, const std::string& what)
    {
        const int c = source_.next();
        if (c == endOfInput)
            throw FileError("The file ends before " + what + ".");
        if (c != wanted)
            throw FileError("Missing " + what + ".");
    }

    // Collects one entry's text up to its delimiter (',' or '}'), which is returned.
    // Entries never span lines, so a line end means the row is incomplete.
    int readEntryText(std::string& text, int row, int column)
    {
        text.clear();
        for (;;) {
            const int c = source_.next();
            if (c == ',' || c == '}')
                return c;
            const std::string where = "entry " + std::to_string(column) + " of row " + std::to_string(row);
            if (c == endOfInput)
                throw FileError("The file ends inside " + where + ".");
            if (isLineEnd(c))
                throw FileError("The line ends inside " + where + ": missing ',' or '}'.");
            if (text.size() >= static_cast<std::size_t>(maxEntryLength))
                throw FileError("Entry " + std::to_string(column) + " of row " + std::to_string(row) +
                                " is longer than " + std::to_string(maxEntryLength) + " characters.");
            text.push_back(static_cast<char>(c));
        }
    }

    // The conversion's own message, with where in the matrix the entry stands as its detail.
    static Complex entryValue(const std::string& text, int row, int column)
    {
        try {
            return toComplex(text);
        } catch (const ConversionError& e) {
            throw ConversionError(readableMessage(text, e), "The entry in row " + std::to_string(row) +
                                                                ", column " + std::to_string(column) +
                                                                " of the matrix.");
        }
    }

    // Reads up to and including the next line end (LF, CR or CR LF); more than
    // `limit` characters before it are refused with `tooLong`.
    void skipRestOfLine(int limit, const std::string& tooLong)
    {
        for (int count = 0;; ++count) {
            const int c = source_.next();
            if (c == endOfInput || c == '\n')
                return;
            if (c == '\r') {
                endCarriageReturn();
                return;
            }
            if (count >= limit)
                throw FileError(tooLong);
        }
    }

    // A CR ends a line alone or together with the LF after it.
    void endCarriageReturn()
    {
        if (source_.peek() == '\n')
            source_.next();
    }
};

int qubitCountOfSize(int size)
{
    int count = 0;
    for (int s = size; s >= 2; s /= 2)
        ++count;
    return count;
}

}  // namespace

bool applyMatrixContent(Workspace& ws, Presentation& ui, const MatrixFileContent& content)
{
    switch (content.verdict) {
    case MatrixFileContent::Verdict::tooBig:
        ui.appendLog("This matrix is too big,");
        ui.appendLog("I'm stopping it's openning.");
        return false;
    case MatrixFileContent::Verdict::tooSmall:
        return false;
    case MatrixFileContent::Verdict::unsupportedSize:
        ui.appendLog("The matrix size " + std::to_string(content.size) +
                     " is not supported: the size has to be 4, 8, 16 or 32 (2 to 5 qubits).");
        return false;
    case MatrixFileContent::Verdict::matrix:
        break;
    }
    ws.matrixSize = content.size;
    ws.qubitCount = qubitCountOfSize(content.size);
    const std::string fieldText = std::to_string(ws.qubitCount);
    if (ui.qubitFieldText() != fieldText) {
        ui.setQubitFieldText(fieldText);
        Edit1Change(ws, ui);
    }
    const int n = content.size;
    for (int row = 1; row <= n; ++row)
        for (int column = 1; column <= n; ++column)
            ws.matrixA(row, column) = content.entries[static_cast<std::size_t>((row - 1) * n + (column - 1))];
    return true;
}

namespace {

// Fixed notation with 4 decimals in a field of 6; a value that rounds to zero has no sign.
std::string fixed4(double x)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 4);
    std::string text(buffer, result.ptr);
    if (text == "-0.0000")
        text = "0.0000";
    if (text.size() < 6)
        text.insert(0, 6 - text.size(), ' ');
    return text;
}

double degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

// The general text form with '.' as decimal separator whatever the locale.
std::string entryText(Complex z)
{
    std::string text = complexText(z);
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

void writeLine(std::ostream& out, std::string_view text)
{
    out << text << "\r\n";
}

}  // namespace

void writeMatrixFile(const Workspace& ws, std::ostream& out)
{
    const int n = ws.matrixSize;
    writeLine(out, std::to_string(n));
    for (int row = 1; row <= n; ++row) {
        std::string line = row == 1 ? "{{" : "{";
        for (int column = 1; column <= n; ++column) {
            if (column > 1)
                line += ',';
            line += entryText(ws.matrixA(row, column));
        }
        line += row == n ? "}}" : "},";
        writeLine(out, line);
    }
    writeLine(out, "The decomposition of aforementioned matrix yielded: ");
    writeLine(out, "Parameters of matrices Tpq: ");
    writeLine(out, "p    q     omega    fi ; in degrees omega fi");
    for (int k = 1; k <= ws.tpqCount; ++k) {
        const TpqEntry& t = ws.tpqTable[static_cast<std::size_t>(k)];
        writeLine(out, std::to_string(t.p) + "  " + std::to_string(t.q) + "  " + fixed4(t.omega) + "  " +
                           fixed4(t.fi) + "  " + fixed4(degrees(t.omega)) + "  " + fixed4(degrees(t.fi)));
    }
    writeLine(out, "Angles (in RAD, degrees) of complex unities in matrix D: ");
    for (int i = 1; i <= n; ++i) {
        const double a = ws.dAngles[static_cast<std::size_t>(i)];
        writeLine(out, fixed4(a) + "  " + fixed4(degrees(a)));
    }
    writeLine(out, "");
    writeLine(out, "Quantum circuit corresponding to the matrix: ");
    writeLine(out, "Overall number of gates: " + std::to_string(ws.pocetb1));
    writeLine(out, "Number,removed,type,target   ,control qubits , matrix u");
    std::string line;
    for (int g = 1; g <= ws.pocetb1; ++g) {
        const TGATE1& gate = ws.gates[static_cast<std::size_t>(g)];
        line = std::to_string(g);
        line += gate.removed ? " Y " : " N ";
        line += std::to_string(gate.type) + "   " + std::to_string(gate.target) + " ";
        const int controls = std::min<int>(gate.type, maxQubits - 1);
        for (int j = 1; j <= controls; ++j)
            line += std::to_string(gate.controls[static_cast<std::size_t>(j)]) + " ";
        line += "    " + complexText(gate.u.u11) + " " + complexText(gate.u.u12) + " " + complexText(gate.u.u21) +
                " " + complexText(gate.u.u22);
        writeLine(out, line);
    }
}

MatrixFileContent parseMatrixFile(std::string_view bytes)
{
    MemorySource source(bytes);
    return MatrixParser<MemorySource>(source).parse();
}

bool loadMatrixFile(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    std::filebuf file;
    openForReading(file, fileName);
    FileSource source(file);
    const MatrixFileContent content = MatrixParser<FileSource>(source).parse();
    file.close();
    return applyMatrixContent(ws, ui, content);
}

void saveMatrixFile(const Workspace& ws, Presentation& ui, const std::string& fileName)
{
    replaceFile(fileName, [&](std::ostream& out) { writeMatrixFile(ws, out); });
    ui.appendLog("Matrix was saved into the file.");
}
