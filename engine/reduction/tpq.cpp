// TEMPORARY STUB: replaced by its owner.
#include "engine/reduction/tpq.h"
void makeTpq(int, int, double, double, TMATICA1& m, int n, Presentation&) { setIdentity(m, n); }
void makeTpqAdjoint(int, int, double, double, TMATICA1& m, int n, Presentation&) { setIdentity(m, n); }
void adjointInPlace(TMATICA1&, int) {}
bool isUnitary(const TMATICA1&, int, double) { return true; }
