// Feeds arbitrary bytes to the matrix-file reader. Malformed input must end in a
// FileError or ConversionError with a short, printable message; an accepted
// matrix must have a supported size, all its entries, only finite values, and
// must come back from the writer's layout.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "workspace/matrixfile.h"
#include "workspace/workspace.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// 15 significant digits are written; subnormal values may read back as zero.
bool closeEnough(double written, double read)
{
    return std::fabs(written - read) <= 1e-14 * std::fabs(written) + 1e-300;
}

// Writes the matrix in the file layout and reads it back.
void checkRoundTrip(const MatrixFileContent& content)
{
    static HeadlessPresentation ui;
    static const auto ws = createWorkspace(ui);
    const int n = content.size;
    ws->matrixSize = n;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            ws->matrixA(r, c) = content.entries[static_cast<std::size_t>((r - 1) * n + (c - 1))];
    std::ostringstream text;
    writeMatrixFile(*ws, text);
    MatrixFileContent back;
    try {
        back = parseMatrixFile(text.str());
    } catch (const std::exception&) {
        fail("the written layout of an accepted matrix cannot be read back");
    }
    if (back.verdict != MatrixFileContent::Verdict::matrix || back.size != n)
        fail("the written layout reads back with another size");
    for (std::size_t k = 0; k < content.entries.size(); ++k)
        if (!closeEnough(content.entries[k].re, back.entries[k].re) ||
            !closeEnough(content.entries[k].im, back.entries[k].im))
            fail("an entry does not read back from the written layout");
}

// A refusal's message is printable and short: no control byte cuts or garbles it,
// and no huge text of the file is echoed.
void checkMessage(std::string_view message)
{
    if (message.size() > 1000)
        fail("a refusal's message is longer than 1000 characters");
    for (const char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            fail("a refusal's message holds a control byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MatrixFileContent content;
    try {
        content = parseMatrixFile(bytes);
    } catch (const FileError& e) {
        checkMessage(e.what());
        return 0;
    } catch (const ConversionError& e) {
        checkMessage(e.what());
        if (e.detail().empty())
            fail("a refused entry does not say where it stands");
        return 0;
    }
    if (content.verdict != MatrixFileContent::Verdict::matrix) {
        if (!content.entries.empty())
            fail("a refused size came with entries");
        return 0;
    }
    const int n = content.size;
    if (n != 4 && n != 8 && n != 16 && n != 32)
        fail("a matrix of an unsupported size was accepted");
    if (content.entries.size() != static_cast<std::size_t>(n * n))
        fail("an accepted matrix does not have all its entries");
    for (const Complex& z : content.entries)
        if (!std::isfinite(z.re) || !std::isfinite(z.im))
            fail("an accepted entry is not finite");
    checkRoundTrip(content);
    return 0;
}
