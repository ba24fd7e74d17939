#pragma once
// All state of a running program: the matrix under decomposition, the results
// of the last decomposition, the tolerance, the drawing's view and constants.
// Created once (about 29 MB, so on the heap) and handed to every routine.

#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

#include "engine/kernel/matrix.h"
#include "engine/kernel/randomgenerator.h"
#include "engine/reduction/tpqentry.h"
#include "engine/synthesis/gate.h"

class Presentation;
struct Comparison;

// Rectangle of the drawing surface that the circuit drawing uses, in pixels.
struct DrawArea {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// The circuit list lives in memory that the system hands out zeroed, so that
// its pages cost nothing until gates are written into them. Zero bytes are
// the value-initialised list: gate records of doubles and bytes, which may
// start their life in such memory.
static_assert(std::is_aggregate_v<TGATES1> && std::is_aggregate_v<TGATE1> &&
              std::is_trivially_destructible_v<TGATE1> &&
              std::is_trivially_copyable_v<TGATE1>);

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

inline std::unique_ptr<TGATES1, FreeDeleter> zeroedGateList()
{
    void* memory = std::calloc(1, sizeof(TGATES1));
    if (memory == nullptr)
        throw std::bad_alloc();
    return std::unique_ptr<TGATES1, FreeDeleter>(static_cast<TGATES1*>(memory));
}

struct Workspace {
    std::unique_ptr<TGATES1, FreeDeleter> gateList = zeroedGateList();
    TGATES1& gates = *gateList;  // gate g in slot g
    int pocetb1 = 0;
    double zoom = 0.0;
    DrawArea drawArea;
    int firstShownGate = 0;
    int selectedGate = 0;
    TMATICA2 pauliX;
    TMATICA2 pauliZ;
    TMATICA2 identity2;
    // Bound of every modulus test; each stage sets it when it starts.
    double tolerance = 0.0;
    TMATICA1 matrixA;
    std::array<TpqEntry, maxTpqEntries + 1> tpqTable{};  // slots 1..2080
    std::array<double, 65> dAngles{};                   // slots 1..64
    int matrixSize = 0;
    int tpqCount = 0;
    int qubitCount = 0;

    RandomGenerator random;

    // The last comparison of the routes on the matrix, which its window shows.
    std::shared_ptr<Comparison> comparison;
};

// Builds the workspace with its start-up defaults (the default matrix
// diag(K, K, K, K), two qubits, tolerance 1e-7) and clears the
// "Show optimization steps" mark.
std::unique_ptr<Workspace> createWorkspace(Presentation& ui);
