// Feeds arbitrary text to the complex-number reader. An accepted value must be
// finite and survive its own general text form; refused text must end in a
// ConversionError, never a crash or a sanitizer report.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

#include "engine/kernel/complex.h"

namespace {

// 15 significant digits are written; subnormal values may read back as zero.
bool closeEnough(double written, double read)
{
    return std::fabs(written - read) <= 1e-14 * std::fabs(written) + 1e-300;
}

[[noreturn]] void fail(const char* what, std::string_view input)
{
    std::fprintf(stderr, "%s for input '%.*s'\n", what, static_cast<int>(input.size()), input.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Complex z;
    try {
        z = toComplex(text);
    } catch (const ConversionError&) {
        return 0;
    }
    if (!std::isfinite(z.re) || !std::isfinite(z.im))
        fail("accepted a value that is not finite", text);
    Complex back;
    try {
        back = toComplex(complexText(z));
    } catch (const ConversionError&) {
        fail("the general text form of an accepted value is refused", text);
    }
    if (!closeEnough(z.re, back.re) || !closeEnough(z.im, back.im))
        fail("the general text form does not read back", text);
    (void)complexToText(z, 2);
    (void)complexToText(z, 4);
    return 0;
}
