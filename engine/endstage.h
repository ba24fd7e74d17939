#pragma once
// The end stages of a decomposition: the one table that the driver, the command
// line, the Python module, the run summary and the window's box read. Adding an
// end stage is one row here.

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/numerical/numericalroute.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/synthesis/gate.h"

// How a run gets from the matrix to its circuit.
enum class Route {
    twoLevel,     // reduction into two-level matrices, then the synthesis stages
    fewestCnots,  // block-ZXZ, straight to one-qubit gates and CNOTs
    numerical,    // blocks instantiated at the lower bound of CNOTs, the fewest-CNOT circuit where it is smaller
};

// Which gates the two-level route goes down to (the fewest-CNOT route always gives basic gates).
enum class Depth { basicGates, l1Gates, toffoliGates };

struct EndStage {
    int boxIndex;                  // item index of the end-stage box; -1 while nothing is chosen
    std::string_view itemText;     // the box's item (for -1 the text the box shows)
    std::string_view commandWord;  // --end-stage WORD
    std::string_view pythonName;   // end_stage= of the Python module
    std::string_view jsonText;     // "endStage" of the run summary
    Route route;
    Depth depth;
    bool finalCheck;  // whether the whole circuit is composed and compared with the input
    int fewestQubits;
    int mostQubits;
};

// The box's items in their order, then the untouched choice; the first row is
// the command line's and Python's default. The two-level route's circuit list
// and bit arrays hold five qubits (maxQubits); the fewest-CNOT route keeps its
// gates in a list of its own.
inline constexpr std::array<EndStage, 6> endStages{{
    {0, "basic gates", "basic", "basic", "basic gates", Route::twoLevel, Depth::basicGates, true, 2, maxQubits},
    {1, "L1(U) gates", "l1", "l1", "L1(U) gates", Route::twoLevel, Depth::l1Gates, true, 2, maxQubits},
    {2, "Generalized Toffoli gates", "toffoli", "toffoli", "Generalized Toffoli gates", Route::twoLevel,
     Depth::toffoliGates, false, 2, maxQubits},
    {3, "basic gates, fewest CNOTs", "shannon", "shannon", "basic gates, fewest CNOTs", Route::fewestCnots,
     Depth::basicGates, true, fewestCnotsFewestQubits, fewestCnotsMostQubits},
    {4, "basic gates, fewest CNOTs, numerical", "numerical", "numerical", "basic gates, fewest CNOTs, numerical",
     Route::numerical, Depth::basicGates, true, numericalFewestQubits, numericalMostQubits},
    // Right after start-up the box shows "basic gates" but no item is chosen:
    // the run goes down to basic gates without the final check.
    {-1, "basic gates", "none", "none", "basic gates", Route::twoLevel, Depth::basicGates, false, 2, maxQubits},
}};

// The box's items: the rows with an index of 0 or more, in their order.
inline constexpr std::size_t boxItemCount = endStages.size() - 1;

inline constexpr int mostQubitsOfAnyEndStage = [] {
    int most = 0;
    for (const EndStage& stage : endStages)
        most = std::max(most, stage.mostQubits);
    return most;
}();

// The row of a box index; the untouched choice's row for an index that is not in the table.
inline const EndStage& endStageOfBox(int boxIndex)
{
    for (const EndStage& stage : endStages)
        if (stage.boxIndex == boxIndex)
            return stage;
    return endStages.back();
}

inline std::optional<EndStage> endStageOfWord(std::string_view commandWord)
{
    for (const EndStage& stage : endStages)
        if (stage.commandWord == commandWord)
            return stage;
    return std::nullopt;
}

inline std::optional<EndStage> endStageOfPythonName(std::string_view pythonName)
{
    for (const EndStage& stage : endStages)
        if (stage.pythonName == pythonName)
            return stage;
    return std::nullopt;
}

// The one size rule: whether `stage` decomposes a matrix of `qubitCount` qubits.
inline bool takesQubits(const EndStage& stage, int qubitCount)
{
    return qubitCount >= stage.fewestQubits && qubitCount <= stage.mostQubits;
}

// The one refusal of a size: names the matrix size and what the end stage takes.
inline std::string sizeRefusal(const EndStage& stage, int matrixSize)
{
    const int fewest = stage.fewestQubits;
    const int most = stage.mostQubits;
    return "A matrix of size " + std::to_string(matrixSize) + " can not be decomposed: the end stage \"" +
           std::string(stage.itemText) + "\" works with " + std::to_string(fewest) + " to " + std::to_string(most) +
           " qubits (matrices of size " + std::to_string(1 << fewest) + " to " + std::to_string(1 << most) + ").";
}

// The command words in the table's order, "a, b, or c" for messages and --help.
inline std::string commandWordList()
{
    std::string list;
    for (std::size_t k = 0; k < endStages.size(); ++k) {
        if (k > 0)
            list += k + 1 == endStages.size() ? ", or " : ", ";
        list += endStages[k].commandWord;
    }
    return list;
}
