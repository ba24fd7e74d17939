#pragma once
// The driver's own log lines and messages that callers and tests look for.
// Every copy of one of these texts is this constant.

#include <cstdio>
#include <string>
#include <string_view>

namespace driverText {

inline constexpr std::string_view runStart = "Decomposition have began.";
inline constexpr std::string_view inputNotUnitary =
    "Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!";
inline constexpr std::string_view offDiagonalLeft = "!! After the reduction, not all off-diagonal elements are zero.";
inline constexpr std::string_view diagonalModulus =
    "!! After the reduction, one of the diagonal elements has modul different from 1.";
inline constexpr std::string_view reductionCancelled =
    ":(( reduction was not correct, so the decomposition is cancelled.";
inline constexpr std::string_view reconstructionNotUnitary =
    "Reconstruction is corrupted, since multiplication of unitary matrices yield non-unitary matrix.";
inline constexpr std::string_view reconstructionPassed = "Matrix Decomposition was successful.";
inline constexpr std::string_view reconstructionFailed = ":(( Matrix Decomposition was unsuccessful.";
inline constexpr std::string_view synthesisStart = "The decomposition of Tpq into Quantum logic circuit has begun.";
// Follows inputNotUnitary: how far the matrix is from unitary, and how far it may be.
inline std::string unitarityDistance(double defect, double tolerance)
{
    char text[120];
    std::snprintf(text, sizeof text, "The largest entry of |A^dagger A - I| is %.3g; the tolerance is %.3g.", defect,
                  tolerance);
    return text;
}

// A matrix unitary only within the tolerance: its nearest unitary matrix is decomposed.
inline std::string nearestUnitaryUsed(double defect)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "The matrix is unitary only within the tolerance (the largest entry of |A^dagger A - I| is %.3g), "
                  "so its nearest unitary matrix is decomposed.",
                  defect);
    return text;
}

// The fewest-CNOT route runs in place of the reduction and the Tpq synthesis.
inline constexpr std::string_view fewestCnotsStart =
    "No reduction into Tpq factors this time: the decomposition into basic gates with fewest CNOTs "
    "(block-ZXZ) has begun.";
// A run cancelled by the user (the numerical route's, while it instantiates).
inline constexpr std::string_view runCancelled =
    "The decomposition was cancelled: the circuit, the matrix and the log stay as they were before it.";
// The numerical route runs in place of the reduction and the Tpq synthesis too.
inline constexpr std::string_view numericalStart =
    "No reduction into Tpq factors this time: the decomposition into basic gates at the lower bound of CNOTs "
    "(numerical instantiation) has begun.";
// A sparse matrix is also decomposed by the two-level route; the circuit with fewer CNOTs is kept.
inline constexpr std::string_view twoLevelComparison =
    "The matrix is sparse, so the two-level route to basic gates is tried as well.";
inline constexpr std::string_view fewestCnotsKept = "The block-ZXZ circuit is kept: ";
inline constexpr std::string_view twoLevelKept = "The two-level circuit is kept, it needs fewer CNOTs: ";
inline constexpr std::string_view optimizationUndone =
    "The optimization dropped a small rotation, so the circuit as synthesized is kept.";
inline constexpr std::string_view circuitListFull =
    "!!! The circuit list is full, so the synthesis of the circuit was stopped.";

// The statistics block that follows every stage.
inline constexpr std::string_view statisticsStart = "Statistics of the circuit:--------";
inline constexpr std::string_view gateCountPrefix = "Overall number of gates: ";
inline constexpr std::string_view statisticsEnd = "------------------------------------";

inline constexpr std::string_view l1CircuitPassed = "Circuit from L1(U) gates correspond to input unitary matrix.";
inline constexpr std::string_view l1CircuitFailed =
    "!!!!!Circuit from L1(U) gates does not correspond to the input unitary matrix.";
inline constexpr std::string_view basicCircuitPassed = "Circuit from Basic gates correspond to input unitary matrix.";
inline constexpr std::string_view basicCircuitFailed =
    "!!!!! Circuit from Basic gates does not correspond to input unitary matrix!!!";
// Followed by the gate number and gateNotUnitaryEnd.
inline constexpr std::string_view gateNotUnitaryStart = "2x2 matrix in definition of gate number:";
inline constexpr std::string_view gateNotUnitaryEnd = " is not unitary.";

}  // namespace driverText
