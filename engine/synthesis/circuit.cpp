// TEMPORARY STUB: replaced by its owner.
#include "engine/synthesis/circuit.h"
bool appendGate(Workspace&, Presentation&) { return false; }
void tobin(int, QubitBits&, int, Presentation&) {}
int todec(const QubitBits&, int, Presentation&) { return 1; }
void gateMatrix(const TGATE1&, TMATICA1& m, int qubitCount, Presentation&) { setIdentity(m, 1 << qubitCount); }
void kompozicia(std::span<const TGATE1>, int, int, int, TMATICA1& m, int qubitCount, Presentation&) { setIdentity(m, 1 << qubitCount); }
