// Feeds arbitrary text to the tests' OpenQASM reader. Text outside the exported
// subset must end in a QasmSyntaxError; an accepted program must name only its
// own qubits and compose without a crash or a sanitizer report.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/headlesspresentation.h"
#include "support/qasmreader.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

bool isQubitOf(int qubit, int qubitCount) { return qubit >= 1 && qubit <= qubitCount; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParsedQasm program;
    try {
        program = readQasm(text);
    } catch (const QasmSyntaxError&) {
        return 0;
    }
    if (!isQubitOf(program.qubitCount, maxQubits))
        fail("an accepted program has an unsupported qubit count");
    for (int g = 1; g <= program.gateCount(); ++g) {
        const TGATE1& gate = program.gates[static_cast<std::size_t>(g)];
        if (gate.type > maxQubits - 1 || !isQubitOf(gate.target, program.qubitCount))
            fail("an accepted gate has a bad type or target");
        for (int j = 1; j <= gate.type; ++j)
            if (!isQubitOf(gate.controls[static_cast<std::size_t>(j)], program.qubitCount))
                fail("an accepted gate has a control outside the program's qubits");
    }
    // Composing is linear in the gate count; long programs add nothing but time.
    if (program.gateCount() <= 300) {
        static HeadlessPresentation ui;
        static TMATICA1 m;
        ui.recordEvents = false;
        programMatrix(program, m, ui);
        ui.clearRecords();
    }
    return 0;
}
