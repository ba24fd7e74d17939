// Feeds arbitrary text to the OpenQASM import. Anything refused must end in a
// QasmImportError; an accepted program must give a unitary of 2 to 5 qubits.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/headlesspresentation.h"
#include "interchange/qasm/importer.h"
#include "interchange/qasm/lexer.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Enough for every seed; a larger expansion only costs time.
constexpr long long fuzzGateLimit = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static HeadlessPresentation ui;
    ui.recordEvents = false;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MatrixFileContent content;
    try {
        content = qasmUnitary(text, ui, fuzzGateLimit);
    } catch (const QasmImportError&) {
        return 0;
    }
    const int n = content.size;
    if (n != 4 && n != 8 && n != 16 && n != 32)
        fail("an accepted program has an unsupported size");
    if (content.entries.size() != static_cast<std::size_t>(n * n))
        fail("an accepted program lacks entries");
    if (!ui.messages.empty())
        fail("the kernel reported a malformed gate");
    // Columns of a unitary have norm 1; angles of any size keep each gate unitary.
    for (int c = 0; c < n; ++c) {
        double norm = 0.0;
        for (int r = 0; r < n; ++r)
            norm += absSqr(content.entries[static_cast<std::size_t>(r * n + c)]);
        if (!(std::fabs(norm - 1.0) < 1e-6))
            fail("an accepted program gives a matrix that is not unitary");
    }
    return 0;
}
