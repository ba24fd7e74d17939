#pragma once
// One gate of a circuit and the circuit list.

#include <array>
#include <cstdint>
#include <span>

#include "engine/kernel/matrix.h"

// A 2 x 2 unitary `u` on qubit `target`, applied when every control qubit is 1.
// Row and column 1 of `u` stand for target bit 0. `type` is the number of
// controls (0..4); controls[1..type] hold them, controls[0] is unused.
struct TGATE1 {
    TMATICA2 u;
    std::uint8_t type = 0;
    std::uint8_t removed = 0;
    std::uint8_t target = 0;
    std::array<std::uint8_t, 5> controls{};
};

// One control, matrix equal to pauliX within `tolerance`.
inline bool isCnot(const TGATE1& g, const TMATICA2& pauliX, double tolerance)
{
    return g.type == 1 && matEqual2(g.u, pauliX, tolerance);
}

// pauliX to the bit.
inline bool isExactPauliX(const TMATICA2& u)
{
    return u.u11.re == 0.0 && u.u11.im == 0.0 && u.u12.re == 1.0 && u.u12.im == 0.0 && u.u21.re == 1.0 &&
           u.u21.im == 0.0 && u.u22.re == 0.0 && u.u22.im == 0.0;
}

// One control and a matrix that is pauliX to the bit, as the fewest-CNOT route writes it.
inline bool isExactCnot(const TGATE1& g) { return g.type == 1 && isExactPauliX(g.u); }

// The one CNOT count of every circuit the program reports: gates that isExactCnot.
inline int cnotCount(std::span<const TGATE1> gates)
{
    int count = 0;
    for (const TGATE1& g : gates)
        count += isExactCnot(g) ? 1 : 0;
    return count;
}

inline constexpr int maxGates = 400000;

// The circuit list: gate g lives in slot g (1..pocetb1); slot 0 holds no gate.
using TGATES1 = std::array<TGATE1, maxGates + 1>;

// Bits of one basis state, indexed 1..5 by qubit (qubit 1 most significant); [0] unused.
using QubitBits = std::array<std::uint8_t, 6>;

inline constexpr int maxQubits = 5;
