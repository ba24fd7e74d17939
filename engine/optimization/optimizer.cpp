// TEMPORARY STUB: replaced by its owner.
#include "engine/optimization/optimizer.h"
void optimizeCircuit(Workspace&, Presentation&) {}
