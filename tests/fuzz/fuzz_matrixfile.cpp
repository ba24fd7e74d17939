// Feeds arbitrary bytes to the matrix-file reader. Malformed input must end in a
// FileError or ConversionError; an accepted matrix must have a supported size,
// all its entries, and only finite values.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/kernel/errors.h"
#include "workspace/matrixfile.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MatrixFileContent content;
    try {
        content = parseMatrixFile(bytes);
    } catch (const FileError&) {
        return 0;
    } catch (const ConversionError&) {
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
    return 0;
}
