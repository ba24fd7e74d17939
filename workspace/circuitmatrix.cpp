#include "workspace/circuitmatrix.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "engine/kernel/matrix.h"
#include "engine/synthesis/circuit.h"
#include "workspace/workspace.h"

void composeCircuit(const Workspace& ws, TMATICA1& m, Presentation& ui)
{
    composeGateList(std::span<const TGATE1>(ws.gates), ws.pocetb1, m, ws.qubitCount, ui);
}

double largestEntryDifference(const TMATICA1& x, const TMATICA1& y, int n)
{
    double largest = 0.0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            const double difference = modulus(x(r, c) - y(r, c));
            if (std::isnan(difference))
                return difference;  // a NaN entry makes the whole difference NaN
            largest = std::max(largest, difference);
        }
    return largest;
}
