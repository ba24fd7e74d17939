#pragma once
// One decomposition as a Python call makes it: the thread's workspace at its
// start-up state, the settings of the call, no window.

#include <functional>

#include "python/circuitresult.h"
#include "python/inputmatrix.h"

struct DecompositionSettings {
    int endStage = 0;       // item index of the end-stage box
    bool optimize = true;   // "Perform an optimization"
    bool selfCheck = false;  // "Check after each stage of decomposition"
    // Asked while a long run works (the numerical route); true stops it with RunCancelled.
    std::function<bool()> interrupted;
};

// Decomposes `matrix`. Throws Refusal with the driver's line when the matrix is
// not unitary; every other problem is reported in the result's checks and log.
CircuitResult decomposeMatrix(const SquareMatrix& matrix, const DecompositionSettings& settings);
