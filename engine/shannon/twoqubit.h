#pragma once
// Two-qubit unitaries with the fewest CNOTs their class needs: the canonical
// (KAK) decomposition in the magic basis (Vatan and Williams, Phys. Rev. A 69,
// 032315 (2004)) and the CNOT count of a class (Shende, Markov, Bullock,
// Phys. Rev. A 69, 062321 (2004)).

#include <optional>

#include "engine/shannon/gatelist.h"
#include "engine/shannon/matrixtypes.h"
#include "engine/shannon/routetolerances.h"

// u = left * exp(i (a XX + b YY + c ZZ)) * right with left and right products
// of one-qubit gates; a, b, c reduced into (-pi/4, pi/4].
struct Canonical {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    Mat4 right;  // a tensor product; the Pauli factors the reduction took out are in it
};

Canonical canonicalForm(const Mat4& u);

// 0 for a product of one-qubit gates, 1 for the class of a CNOT, 2 when
// one canonical coordinate is 0, else 3 (coordinates within `tolerance` of 0
// or pi/4 count as such).
int cnotCountOfClass(const Canonical& form, double tolerance = canonicalCoordinateTolerance);
int twoQubitCnotCount(const Mat4& u, double tolerance = canonicalCoordinateTolerance);

// exp(i (a XX + b YY + c ZZ)).
Mat4 canonicalGate(double a, double b, double c);

// Appends an exact circuit of u acting on qubits `first` (most significant)
// and `second`, with exactly twoQubitCnotCount(u) CNOTs, each from `first`
// into `second`, and returns that count. The phase of u is in its one-qubit gates.
int appendTwoQubitCircuit(GateList& out, const Mat4& u, int first, int second,
                          double tolerance = canonicalCoordinateTolerance);

// The angle theta for which diag(e^(i theta), e^(-i theta), e^(-i theta), e^(i theta)) * u,
// that is exp(i theta ZZ) * u, needs at most 2 CNOTs.
double twoCnotDiagonalAngle(const Mat4& u);

// An angle theta for which twoQubitCnotCount(exp(i theta ZZ) * u, tolerance) <= 2:
// the closed form, or, where rounding leaves its product a hair from two CNOTs
// (u near a class of two already), the angle Newton's method finds from it that
// drives a canonical coordinate of the product to 0. Empty when neither does.
std::optional<double> twoCnotHandOverAngle(const Mat4& u, double tolerance = canonicalCoordinateTolerance);
Mat4 zzPhase(double theta);

// m = first (x) second for a tensor product m; the nearest such pair otherwise.
struct LocalPair {
    Mat2 first;
    Mat2 second;
};
LocalPair factorTensorProduct(const Mat4& m);
