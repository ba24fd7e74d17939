#pragma once
// Uniformly controlled rotations about Z with Gray-code CNOTs (Mottonen,
// Vartiainen, Bergholm, Salomaa, Phys. Rev. Lett. 93, 130502 (2004)).

#include <span>
#include <vector>

#include "engine/shannon/gatelist.h"
#include "engine/shannon/routetolerances.h"

// Which CNOT of the full Gray-code chain is left out, handed to a neighbour.
// The chain closes with a CNOT from the first control; leaving it out at the
// end leaves CNOT * R, leaving it out at the start (the chain is then run in
// reverse order) leaves R * CNOT, with R the rotation the angles define.
enum class ChainEnds { full, withoutLast, withoutFirst };

// The angles alpha_i of the single rotations, i = 0..2^m - 1, for the angles
// theta_j of each control state j (first control most significant).
std::vector<double> grayCodeAngles(std::span<const double> theta);

// Appends Rz(theta_j) on `target` for each state j of `controls` (the first
// control most significant; Rz(t) = diag(e^(-it/2), e^(it/2))). With
// ChainEnds::full, controls the angles do not depend on (within
// `sameAngle`) are dropped, halving the CNOTs for each; a rotation of angle 0
// is left out.
void appendUniformlyControlledRz(GateList& out, int target, std::span<const int> controls,
                                 std::span<const double> theta, ChainEnds ends,
                                 double sameAngle = sameAngleTolerance);
