#include "engine/numerical/numericalroute.h"

#include <bit>
#include <numeric>
#include <stdexcept>
#include <string>

#include "engine/numerical/instantiation.h"
#include "engine/shannon/blockcircuit.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/fewestcnotsroute.h"
#include "engine/shannon/onequbitmerge.h"
#include "engine/shannon/zxzrecursion.h"

namespace {

// Three qubits cost milliseconds a start, four a few tenths of a second.
InstantiationLimits limitsFor(int qubits)
{
    InstantiationLimits limits;
    limits.starts = qubits <= 3 ? 8 : 4;
    return limits;
}

double compositionError(const GateList& gates, int qubits, const CMat& u)
{
    return largestDifference(toCMat(circuitProduct(gates, qubits)), u);
}

// The circuit for one block of `qubits` qubits on qubits 1..qubits, whose
// fewest-CNOT circuit is `fewest`.
GateList blockCircuit(const CMat& u, int qubits, GateList fewest, const NumericalOptions& options,
                      BlockReport& report, const std::function<bool()>& keepGoing)
{
    report.qubits = qubits;
    report.fewestCnots = cnotCount(fewest);
    report.cnots = report.fewestCnots;
    const int cnots = options.cnotsPerBlock > 0 ? options.cnotsPerBlock : cnotLowerBound(qubits);
    if (report.fewestCnots <= cnots) {
        report.structured = true;
        return fewest;
    }
    const CnotTemplate shape = cyclingTemplate(qubits, cnots);
    const Instantiation found = instantiate(u, shape, limitsFor(qubits), keepGoing);
    report.starts = found.starts;
    report.evaluations = found.evaluations;
    if (!found.converged)
        return fewest;
    GateList gates = templateGates(shape, found.x);
    mergeOneQubitGates(gates, qubits);
    const double error = compositionError(gates, qubits, u);
    if (!(error <= exactCircuitBound) || cnotCount(gates) >= report.fewestCnots)
        return fewest;
    report.converged = true;
    report.error = error;
    report.cnots = cnotCount(gates);
    return gates;
}

TGATE1 onQubits(TGATE1 g, std::span<const int> qubits)
{
    g.target = static_cast<std::uint8_t>(qubits[g.target - 1]);
    for (int c = 1; c <= g.type; ++c)
        g.controls[c] = static_cast<std::uint8_t>(qubits[g.controls[c] - 1]);
    return g;
}

int qubitCountOf(int size)
{
    const auto n = static_cast<unsigned>(size);
    const int qubits = std::countr_zero(n);
    if (!std::has_single_bit(n) || qubits < numericalFewestQubits || qubits > numericalMostQubits)
        throw std::invalid_argument("numericalCircuit takes a matrix of size 4 to 32, a power of 2, not " +
                                    std::to_string(size));
    return qubits;
}

}  // namespace

int numericalBlockCount(int qubitCount)
{
    if (qubitCount <= 2)
        return 0;
    return qubitCount <= 4 ? 1 : 4;
}

NumericalCircuit numericalCircuit(const DenseMatrix& matrix, const BlockProgress& progress,
                                  const NumericalOptions& options)
{
    const int qubits = qubitCountOf(matrix.size);
    const CMat u = toCMat(matrix);
    GateList fewest = fewestCnotsCircuit(u);
    NumericalCircuit result;
    const int blocksToDo = numericalBlockCount(qubits);
    auto keepGoing = [&] { return !progress || progress(static_cast<int>(result.blocks.size()), blocksToDo); };
    if (blocksToDo == 0 || !keepGoing()) {
        if (blocksToDo > 0)
            throw InstantiationCancelled();
        result.gates = std::move(fewest);
        result.fewestCnotsKept = true;
        return result;
    }

    if (qubits <= 4) {
        BlockReport report;
        result.gates = blockCircuit(u, qubits, fewest, options, report, keepGoing);
        result.blocks.push_back(report);
    } else {
        // One level on qubit 1; its four halves on qubits 2..5 are the blocks.
        std::vector<int> allQubits(static_cast<std::size_t>(qubits));
        std::iota(allQubits.begin(), allQubits.end(), 1);
        BlockCircuit level;
        appendZxzLevel(level, u, allQubits, [&](BlockCircuit& circuit, const CMat& half, std::span<const int> rest) {
            BlockReport report;
            const GateList gates =
                blockCircuit(half, static_cast<int>(rest.size()), fewestCnotsCircuit(half), options, report, keepGoing);
            for (const TGATE1& g : gates)
                appendGate(circuit, onQubits(g, rest));
            result.blocks.push_back(report);
        });
        result.gates = synthesizeBlocks(level);
        mergeOneQubitGates(result.gates, qubits);
        if (!(compositionError(result.gates, qubits, u) <= exactCircuitBound))
            result.gates.clear();
    }
    if (result.gates.empty() || cnotCount(fewest) <= cnotCount(result.gates)) {
        result.gates = std::move(fewest);
        result.fewestCnotsKept = true;
    }
    return result;
}
