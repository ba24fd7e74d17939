#pragma once
// The circuit the fewest-CNOT route builds: gates in circuit order (the first
// acts first), qubits numbered as in the program (qubit 1 most significant).

#include <cmath>
#include <span>
#include <vector>

#include "engine/synthesis/gate.h"

using GateList = std::vector<TGATE1>;

inline TGATE1 oneQubitGate(int target, const TMATICA2& u)
{
    TGATE1 g;
    g.u = u;
    g.target = static_cast<std::uint8_t>(target);
    return g;
}

// One control, u exactly pauliX.
inline TGATE1 cnotGate(int control, int target)
{
    TGATE1 g;
    g.u = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    g.type = 1;
    g.target = static_cast<std::uint8_t>(target);
    g.controls[1] = static_cast<std::uint8_t>(control);
    return g;
}

// diag(e^(-i theta/2), e^(i theta/2)): a rotation about Z by theta radians.
inline TMATICA2 rzMatrix(double theta)
{
    return {fromPolar(1.0, -theta / 2.0), Complex{}, Complex{}, fromPolar(1.0, theta / 2.0)};
}

inline TMATICA2 hadamardMatrix()
{
    const double s = 1.0 / std::sqrt(2.0);
    return {{s, 0.0}, {s, 0.0}, {s, 0.0}, {-s, 0.0}};
}
