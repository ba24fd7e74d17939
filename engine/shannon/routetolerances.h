#pragma once
// The absolute tolerances of the fewest-CNOT route, in one place. Each bounds
// rounding, not the input: the route's circuit must equal its matrix within
// exactCircuitBound, so nothing larger than rounding is ever dropped or taken
// for a structure.

// An entry within this of a pattern (a tensor factor, a vanishing off-diagonal
// block) follows it. The tests run on polished factors, whose entries are
// exact to a few 1e-16; a matrix off its pattern by more is treated as generic.
inline constexpr double structureTolerance = 1e-14;
// Two angles of a uniformly controlled rotation this close count as equal, so
// its control is dropped: the rotation then moves by at most this.
inline constexpr double sameAngleTolerance = 1e-14;
// A canonical coordinate of a two-qubit block within this of 0 or pi/4 counts
// as such: the coordinates come from a 4 x 4 eigenproblem, exact to some 1e-15.
inline constexpr double canonicalCoordinateTolerance = 1e-13;
// A merged one-qubit gate within this of the identity is left out.
inline constexpr double identityGateTolerance = 1e-15;
// The circuit must equal its matrix this closely (largest entry difference)
// for the route, or a circuit standing in for it, to be kept.
inline constexpr double exactCircuitBound = 1e-12;

struct RouteTolerances {
    double structure = structureTolerance;
    double sameAngle = sameAngleTolerance;
    double canonicalCoordinate = canonicalCoordinateTolerance;
    double identityGate = identityGateTolerance;
};
