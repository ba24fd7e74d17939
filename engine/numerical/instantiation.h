#pragma once
// Numerical instantiation of a CNOT template for a unitary U: Levenberg-
// Marquardt on the residual e^(i alpha) V(x) - U with its exact Jacobian,
// dV/dx_j = S_j dG_j P_j through the suffix and prefix products of gate j
// (the approach of Rakyta and Zimboras, Quantum 6, 710 (2022), and of QFactor,
// Kukliansky et al. 2023, with a least-squares solver in place of theirs).

#include <cstdint>
#include <functional>
#include <limits>

#include <Eigen/Core>

#include "engine/numerical/cnottemplate.h"
#include "engine/numerical/instantiationcancelled.h"
#include "engine/shannon/gatelist.h"
#include "engine/shannon/matrixtypes.h"

using Parameters = Eigen::VectorXd;

// e^(i alpha) V(x): the matrix of the template at x, global phase included.
CMat templateMatrix(const CnotTemplate& t, const Parameters& x);

// The residual, real parts then imaginary parts of e^(i alpha) V(x) - u with the
// entries column by column (2 * 4^n numbers), and its Jacobian, one column per parameter.
void residualAndJacobian(const CnotTemplate& t, const Parameters& x, const CMat& u, Eigen::VectorXd& residual,
                         Eigen::MatrixXd& jacobian);

struct InstantiationLimits {
    int starts = 4;
    int evaluationsPerStart = 400;
    // A start has converged when no entry of e^(i alpha) V - U is larger.
    double exactError = 1e-13;
    std::uint64_t seed = 1;  // start s (0, 1, ...) draws its parameters from seed + s
};

struct Instantiation {
    bool converged = false;
    Parameters x;  // of the converged start, or of the best one
    double maxEntryError = std::numeric_limits<double>::infinity();
    int starts = 0;       // starts made
    int evaluations = 0;  // residual evaluations over all starts
};

// Runs the starts in turn until one converges or the limits are reached.
// keepGoing is asked before every evaluation; when it says no the run throws
// InstantiationCancelled.
Instantiation instantiate(const CMat& u, const CnotTemplate& t, const InstantiationLimits& limits,
                          const std::function<bool()>& keepGoing = {});

// The template at x as the program's gates, gate 0 acting first: a U3 on every
// qubit, then each CNOT with its two U3. The global phase is folded into the
// first gate, so the gates compose to e^(i alpha) V(x).
GateList templateGates(const CnotTemplate& t, const Parameters& x);
