#include "workspace/numericalrun.h"

#include <atomic>
#include <bit>
#include <exception>
#include <future>

#include "platform/presentation.h"
#include "workspace/besidecaller.h"

namespace {

std::string plural(int count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string blockLine(const BlockReport& block, int number, int blocks)
{
    std::string line = "Block " + std::to_string(number) + " of " + std::to_string(blocks) + " (" +
                       std::to_string(block.qubits) + " qubits): ";
    if (block.structured)
        return line + "the fewest-CNOT circuit of " + plural(block.fewestCnots, "CNOT") +
               " is at or below the bound, so it is kept without instantiation.";
    if (!block.converged)
        return line + "no start of " + std::to_string(block.starts) +
               " converged, so it falls back to the fewest-CNOT circuit of " + plural(block.fewestCnots, "CNOT") + ".";
    return line + plural(block.cnots, "CNOT") + " after " + plural(block.starts, "start") + " (" +
           plural(block.evaluations, "evaluation") + ").";
}

}  // namespace

NumericalCircuit numericalCircuitBeside(const DenseMatrix& u, Presentation& ui)
{
    const int qubits = std::countr_zero(static_cast<unsigned>(u.size));
    const int blocksToDo = numericalBlockCount(qubits);
    std::atomic<bool> stop = false;
    std::atomic<int> blocksDone = 0;
    const BlockProgress progress = [&](int done, int) {
        blocksDone = done;
        return !stop.load();
    };
    std::future<NumericalCircuit> work =
        std::async(std::launch::async, [&] { return numericalCircuit(u, progress); });

    // One block has no steps to count: a bar of maximum 0 moves to show the work goes on.
    try {
        return waitBeside(work, ui, blocksToDo > 1 ? blocksToDo : 0, stop, [&] { return blocksDone.load(); });
    } catch (const InstantiationCancelled&) {
        throw RunCancelled();
    }
}

std::vector<std::string> numericalReportLines(const NumericalCircuit& circuit)
{
    const int blocks = static_cast<int>(circuit.blocks.size());
    if (blocks == 0)
        return {"Two qubits need no instantiation: their circuit is at the bound of 3 CNOTs already."};
    int instantiated = 0;
    for (const BlockReport& block : circuit.blocks)
        instantiated += block.converged ? 1 : 0;
    std::vector<std::string> lines{"Blocks instantiated: " + std::to_string(instantiated) + " of " +
                                   std::to_string(blocks) + "."};
    for (int k = 0; k < blocks; ++k)
        lines.push_back(blockLine(circuit.blocks[static_cast<std::size_t>(k)], k + 1, blocks));
    if (circuit.fewestCnotsKept)
        lines.push_back("The fewest-CNOT circuit of the whole matrix is kept: the blocks give no fewer CNOTs.");
    return lines;
}
