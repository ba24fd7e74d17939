#pragma once
// The circuit shape the numerical route instantiates: a general one-qubit gate
// on every qubit, then K CNOT units, each a CNOT followed by a general one-qubit
// gate on each of its two qubits (the CNOT-unit templates of Madden and
// Simonetto, Best approximate quantum compiling problems, arXiv:2106.05649).

#include <vector>

struct QubitPair {
    int control = 0;  // qubits numbered as in the program, 1 most significant
    int target = 0;
};

struct CnotTemplate {
    int qubitCount = 0;
    std::vector<QubitPair> units;  // the CNOT of each unit, in circuit order
};

// ceil((4^n - 3n - 1) / 4): fewer CNOTs cannot make a generic n-qubit unitary
// (Shende, Markov, Bullock, Phys. Rev. A 69, 062321 (2004)): 3, 14, 61, 252.
int cnotLowerBound(int qubitCount);

// `cnots` units whose pairs cycle in a fixed order that reaches every pair
// evenly: (1,2), (2,3), (1,3) at three qubits; (1,2), (3,4), (2,3), (1,4),
// (1,3), (2,4) at four; all pairs in order elsewhere.
CnotTemplate cyclingTemplate(int qubitCount, int cnots);

// U3 angles for each one-qubit gate (3n + 6K) and one global phase.
inline int parameterCount(const CnotTemplate& t)
{
    return 3 * t.qubitCount + 6 * static_cast<int>(t.units.size()) + 1;
}
