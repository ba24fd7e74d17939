#pragma once
// All state of a running program: the matrix under decomposition, the results
// of the last decomposition, the tolerance, the drawing's view and constants.
// Created once (about 29 MB, so on the heap) and handed to every routine.

#include <array>
#include <memory>

#include "engine/kernel/matrix.h"
#include "engine/kernel/randomgenerator.h"
#include "engine/reduction/tpqentry.h"
#include "engine/synthesis/gate.h"

class Presentation;

// Rectangle of the drawing surface that the circuit drawing uses, in pixels.
struct DrawArea {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct Workspace {
    TGATES1 gates;
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
};

// Builds the workspace with its start-up defaults (the default matrix
// diag(K, K, K, K), two qubits, tolerance 1e-7) and clears the
// "Show optimization steps" mark.
std::unique_ptr<Workspace> createWorkspace(Presentation& ui);
