// TEMPORARY STUB: replaced by its owner.
#include "engine/kernel/randomunitary.h"
void randomUnitary(Workspace&, Presentation&, TMATICA1&, int) {}
