#include "interchange/npyfile.h"

#include "interchange/wholenumber.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/kernel/errors.h"
#include "platform/presentation.h"

namespace {

constexpr std::string_view magic = "\x93NUMPY";

[[noreturn]] void refuse(const std::string& why) { throw FileError("The numpy file cannot be read: " + why + "."); }

std::uint32_t littleEndian(std::string_view bytes)
{
    std::uint32_t value = 0;
    for (std::size_t k = bytes.size(); k-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[k]);
    return value;
}

// What the header dictionary says.
struct NpyHeader {
    std::string descr;
    bool fortranOrder = false;
    std::vector<long long> shape;
    bool haveDescr = false;
    bool haveOrder = false;
    bool haveShape = false;
};

// Reads the Python dictionary literal of the header, e.g.
// {'descr': '<c16', 'fortran_order': False, 'shape': (4, 4), }
class HeaderReader {
public:
    explicit HeaderReader(std::string_view text) : text_(text) {}

    NpyHeader read()
    {
        NpyHeader header;
        expect('{');
        while (!tryChar('}')) {
            const std::string key = quoted();
            expect(':');
            if (key == "descr") {
                header.descr = quoted();
                header.haveDescr = true;
            } else if (key == "fortran_order") {
                header.fortranOrder = boolean();
                header.haveOrder = true;
            } else if (key == "shape") {
                header.shape = tuple();
                header.haveShape = true;
            } else {
                refuse("its header has the unknown key '" + key + "'");
            }
            if (!tryChar(',')) {
                expect('}');
                break;
            }
        }
        skipSpace();
        if (pos_ != text_.size())
            refuse("its header has text after the dictionary");
        if (!header.haveDescr || !header.haveOrder || !header.haveShape)
            refuse("its header lacks 'descr', 'fortran_order' or 'shape'");
        return header;
    }

private:
    void skipSpace()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\t'))
            ++pos_;
    }

    bool tryChar(char c)
    {
        skipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void expect(char c)
    {
        if (!tryChar(c))
            refuse(std::string("its header is not a dictionary (expected '") + c + "')");
    }

    std::string quoted()
    {
        skipSpace();
        if (pos_ >= text_.size() || (text_[pos_] != '\'' && text_[pos_] != '"'))
            refuse("its header is not a dictionary (expected a quoted name)");
        const char quote = text_[pos_++];
        const std::size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos)
            refuse("its header has a name without its closing quote");
        std::string value(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return value;
    }

    bool boolean()
    {
        skipSpace();
        if (text_.substr(pos_, 4) == "True") {
            pos_ += 4;
            return true;
        }
        if (text_.substr(pos_, 5) == "False") {
            pos_ += 5;
            return false;
        }
        refuse("its header has a 'fortran_order' that is neither True nor False");
    }

    std::vector<long long> tuple()
    {
        expect('(');
        std::vector<long long> values;
        while (!tryChar(')')) {
            skipSpace();
            const DigitRun digits = readDigits(text_.substr(pos_), 1000000000);
            pos_ += digits.length;
            if (digits.length == 0 || digits.overflow || values.size() >= 32)
                refuse("its header has a shape that is not a tuple of sizes");
            values.push_back(static_cast<long long>(digits.value));
            if (!tryChar(',')) {
                expect(')');
                break;
            }
        }
        return values;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string shapeText(const std::vector<long long>& shape)
{
    std::string text = "(";
    for (std::size_t k = 0; k < shape.size(); ++k)
        text += (k > 0 ? ", " : "") + std::to_string(shape[k]);
    return text + (shape.size() == 1 ? ",)" : ")");
}

// One stored number of `size` bytes (4 or 8) in the given byte order.
double storedNumber(const char* p, int size, bool bigEndian)
{
    unsigned char b[8];
    std::memcpy(b, p, static_cast<std::size_t>(size));
    if (bigEndian != (std::endian::native == std::endian::big)) {
        for (int k = 0; k < size / 2; ++k)
            std::swap(b[k], b[size - 1 - k]);
    }
    if (size == 4) {
        float f;
        std::memcpy(&f, b, 4);
        return f;
    }
    double d;
    std::memcpy(&d, b, 8);
    return d;
}

}  // namespace

MatrixFileContent parseNpyFile(std::string_view bytes, int mostSize)
{
    if (bytes.substr(0, magic.size()) != magic)
        refuse("it does not start like a .npy file");
    if (bytes.size() < magic.size() + 2)
        refuse("it ends inside its header");
    const int major = static_cast<unsigned char>(bytes[6]);
    const int minor = static_cast<unsigned char>(bytes[7]);
    if ((major != 1 && major != 2 && major != 3) || minor != 0)
        refuse("its format version " + std::to_string(major) + "." + std::to_string(minor) +
               " is not supported: 1.0, 2.0 and 3.0 are");
    const std::size_t lengthBytes = major == 1 ? 2 : 4;
    const std::size_t headerStart = 8 + lengthBytes;
    if (bytes.size() < headerStart)
        refuse("it ends inside its header");
    const std::size_t headerLength = littleEndian(bytes.substr(8, lengthBytes));
    if (headerLength > maxNpyHeaderBytes)
        refuse("its header is longer than " + std::to_string(maxNpyHeaderBytes) + " bytes");
    if (bytes.size() < headerStart + headerLength)
        refuse("it ends inside its header");
    const NpyHeader header = HeaderReader(bytes.substr(headerStart, headerLength)).read();

    const std::string& descr = header.descr;
    const bool knownOrder = descr.size() >= 3 && (descr[0] == '<' || descr[0] == '>' || descr[0] == '=');
    const std::string_view type = knownOrder ? std::string_view(descr).substr(1) : std::string_view();
    int numberSize = 0;
    bool complexEntries = false;
    if (type == "c16" || type == "c8") {
        complexEntries = true;
        numberSize = type == "c16" ? 8 : 4;
    } else if (type == "f8" || type == "f4") {
        numberSize = type == "f8" ? 8 : 4;
    } else {
        refuse("its dtype '" + descr + "' is not supported: complex128, complex64, float64 and float32 are");
    }
    const bool bigEndian = descr[0] == '>' || (descr[0] == '=' && std::endian::native == std::endian::big);

    const std::vector<long long>& shape = header.shape;
    const bool square = shape.size() == 2 && shape[0] == shape[1];
    const long long n = square ? shape[0] : 0;
    const bool powerOfTwo = n >= 4 && n <= mostSize && (n & (n - 1)) == 0;
    if (!powerOfTwo && mostSize <= workspaceNpySize)
        refuse("its array has the shape " + shapeText(shape) +
               ": a square matrix of size 4, 8, 16 or 32 (2 to 5 qubits) is needed");
    if (!powerOfTwo)
        refuse("its array has the shape " + shapeText(shape) + ": a square matrix of size 4 to " +
               std::to_string(mostSize) + ", a power of 2, is needed");
    const std::size_t entrySize = static_cast<std::size_t>(numberSize) * (complexEntries ? 2 : 1);
    const std::size_t dataSize = static_cast<std::size_t>(n * n) * entrySize;
    const std::size_t available = bytes.size() - headerStart - headerLength;
    if (available < dataSize)
        refuse("it ends after " + std::to_string(available) + " of the " + std::to_string(dataSize) +
               " bytes of the matrix");
    if (available > dataSize)
        refuse("it holds " + std::to_string(available - dataSize) + " bytes after the matrix");

    MatrixFileContent content;
    content.verdict = MatrixFileContent::Verdict::matrix;
    content.size = static_cast<int>(n);
    content.entries.resize(static_cast<std::size_t>(n * n));
    const char* data = bytes.data() + headerStart + headerLength;
    for (long long k = 0; k < n * n; ++k) {
        const char* p = data + static_cast<std::size_t>(k) * entrySize;
        const Complex z{storedNumber(p, numberSize, bigEndian),
                        complexEntries ? storedNumber(p + numberSize, numberSize, bigEndian) : 0.0};
        // Element k is (k / n, k % n) in C order and (k % n, k / n) in Fortran order.
        const long long row = header.fortranOrder ? k % n : k / n;
        const long long column = header.fortranOrder ? k / n : k % n;
        if (!std::isfinite(z.re) || !std::isfinite(z.im))
            refuse("the entry in row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1) +
                   " is not a finite number");
        content.entries[static_cast<std::size_t>(row * n + column)] = z;
    }
    return content;
}
