#include "workspace/workspace.h"

#include "platform/presentation.h"

std::unique_ptr<Workspace> createWorkspace(Presentation& ui)
{
    auto ws = std::make_unique<Workspace>();
    const Complex zero = toComplex("0+0i");
    const Complex one = toComplex("1+0i");
    const Complex minusOne = toComplex("-1+0i");
    ws->pauliX = {zero, one, one, zero};
    ws->pauliZ = {one, zero, zero, minusOne};
    ws->identity2 = {one, zero, zero, one};
    ws->tolerance = 1e-7;
    ws->qubitCount = 2;
    ws->matrixSize = 1 << ws->qubitCount;
    ws->zoom = 1.25;
    ws->firstShownGate = 1;
    ws->selectedGate = 0;
    ws->pocetb1 = 0;
    ws->drawArea = {10, 10, 1000, 750};
    ui.setChecked(Setting::Zobroptimkroky, false);

    // K has -i at [1,4] and [2,3], i at [3,2] and [4,1]; A starts as diag(K, K, K, K).
    const Complex i = toComplex("0+1i");
    const Complex minusI = toComplex("0-1i");
    for (int block = 0; block < 4; ++block) {
        const int o = 4 * block;
        ws->matrixA(o + 1, o + 4) = minusI;
        ws->matrixA(o + 2, o + 3) = minusI;
        ws->matrixA(o + 3, o + 2) = i;
        ws->matrixA(o + 4, o + 1) = i;
    }
    return ws;
}
