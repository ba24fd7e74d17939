// Feeds arbitrary bytes to the .npy reader. Malformed input must end in a FileError;
// an accepted matrix must have a supported size, all its entries and finite values.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/kernel/errors.h"
#include "interchange/npyfile.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MatrixFileContent content;
    try {
        content = parseNpyFile(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const FileError&) {
        return 0;
    }
    const int n = content.size;
    if (n != 4 && n != 8 && n != 16 && n != 32)
        fail("an accepted matrix has an unsupported size");
    if (content.entries.size() != static_cast<std::size_t>(n * n))
        fail("an accepted matrix lacks entries");
    for (const Complex& z : content.entries) {
        if (!std::isfinite(z.re) || !std::isfinite(z.im))
            fail("an accepted matrix has an entry that is not finite");
    }
    return 0;
}
